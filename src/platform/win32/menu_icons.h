// The icons of programs beside the items of a window's menus. Nothing happens before the first
// menu opens. As a menu is about to open, the icons it lacks are asked for; the menu opens at
// once, and each icon is then found and drawn in a message of its own, which the menu's loop
// handles while it is open, so that each shows as it is ready. A program on a share or on a
// drive that is not a local one (a network drive, a missing one) is not looked at, so that it
// never delays a menu. (A thread of its own to find them would cost more memory under Wine
// than the program has besides.) Icons are kept per program file at the size the shell uses
// for small icons at the window's DPI, and freed when no item names that program any more or
// the DPI changes.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace td::win32 {

class MenuIcons {
public:
    // The window is sent this message, posted, for each icon to find, for receive().
    MenuIcons(HWND window, UINT findMessage);
    ~MenuIcons();
    MenuIcons(const MenuIcons&) = delete;
    MenuIcons& operator=(const MenuIcons&) = delete;

    // Asks for the icons of the programs these command lines start, at the size for the DPI.
    // What is known or asked for already is not asked again; what no line names is freed.
    void request(const std::vector<std::wstring>& commandLines, UINT dpi);
    // Finds the next icon asked for; the command line whose items now have their icon, if any.
    std::optional<std::wstring> receive(LPARAM);
    // The bitmap for an item showing this command line's program: its icon, or while there is
    // none (not found, or not there yet) a blank of the same size, which keeps the item's
    // caption in line with the others. Null for a line never asked for.
    HBITMAP bitmapOf(const std::wstring& commandLine);

private:
    struct Line {
        std::wstring program;  // empty until found, or when there is none
    };
    int size_ = 0;
    bool finding_ = false;  // a message to find the next icon is on its way
    std::map<std::wstring, Line> lines_;
    std::map<std::wstring, UniqueBitmap> icons_;  // by program file
    UniqueBitmap blank_;
    HWND window_;
    UINT message_;
    std::deque<std::wstring> waiting_;
};

}  // namespace td::win32
