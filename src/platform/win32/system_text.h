// Texts the system holds: its wording for an error code, and a window's text.
#pragma once

#include <string>

#include "platform/win32/win32.h"

namespace td::win32 {

// The system's text for an error code, without the trailing line break.
std::wstring errorText(DWORD error);

// The text of a window or control.
std::wstring windowText(HWND hwnd);

}  // namespace td::win32
