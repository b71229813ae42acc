// Text helpers every layer uses.
#pragma once

#include <string>

namespace td {

// The decimal text of an integer ("7", "-3"), without the C library's formatted printing.
std::wstring decimalText(long value);

}  // namespace td
