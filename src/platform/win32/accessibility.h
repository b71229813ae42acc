// Names and roles for screen readers and UI Automation clients, where a control's own text,
// label or class does not say what it is for or what it is.
#pragma once

#include <string>

#include "platform/win32/win32.h"

namespace td::win32 {

// Gives the control the name a screen reader announces for it, for Active Accessibility and
// UI Automation clients alike, through the accessibility property services of oleacc, started
// on first use. Returns the system's answer: S_OK, or an error where it has no such service.
HRESULT nameForScreenReaders(HWND control, const std::wstring& name);

// Gives the control the description a screen reader reads after its name; an empty one takes
// it away again.
HRESULT describeForScreenReaders(HWND control, const std::wstring& description);

// Announces a label that opens an address as a link, not as plain text.
HRESULT announceAsLink(HWND control);

}  // namespace td::win32
