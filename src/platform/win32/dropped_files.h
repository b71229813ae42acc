// Files dropped from Explorer onto a window.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/win32.h"
// The shell's drop handle builds on windows.h.
#include <shellapi.h>

namespace td::win32 {

// The first of the files dropped, where in the window's client area, and whether it was
// dropped there at all (not on the title bar or a border); the drop is finished (its memory
// freed) either way.
struct Drop {
    std::wstring file;
    POINT at;
    bool inClientArea;
};
std::optional<Drop> takeDrop(HDROP drop);

// The command line that starts a dropped file: a shortcut (.lnk) stands for its target,
// quoted when it holds a blank, and its arguments; any other file for itself, as Browse
// gives it.
std::wstring commandLineOfDropped(const std::wstring& file);

}  // namespace td::win32
