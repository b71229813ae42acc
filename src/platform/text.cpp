#include "platform/text.h"

namespace td {

std::wstring decimalText(long value) {
    wchar_t digits[24];
    wchar_t* end = digits + 24;
    wchar_t* at = end;
    unsigned long magnitude =
        value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        *--at = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--at = L'-';
    return std::wstring(at, end);
}

}  // namespace td
