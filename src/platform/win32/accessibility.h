// Names for screen readers and UI automation, where a control's own text or label does not
// say what it is for.
#pragma once

#include <string>

#include "platform/win32/win32.h"

namespace td::win32 {

// Gives the control the name a screen reader announces for it, through the accessibility
// property services of oleacc, started on first use. Returns the system's answer: S_OK, or
// an error where it has no such service.
HRESULT nameForScreenReaders(HWND control, const std::wstring& name);

}  // namespace td::win32
