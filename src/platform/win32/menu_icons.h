// The icons of programs beside the items of a window's menus. They are found and drawn off the
// user-interface thread when a menu is about to open, so that a program on a network share or
// a missing drive never delays a menu; nothing happens before the first menu opens. They are
// kept per program file at the size the shell uses for small icons at the window's DPI, and
// freed when no item names that program any more or the DPI changes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace td::win32 {

class MenuIcons {
public:
    // The icons found are posted to the window as this message, for receive().
    MenuIcons(HWND window, UINT resultMessage);
    ~MenuIcons();
    MenuIcons(const MenuIcons&) = delete;
    MenuIcons& operator=(const MenuIcons&) = delete;

    // Asks for the icons of the programs these command lines start, at the size for the DPI.
    // What is known or asked for already is not asked again; what no line names is freed.
    void request(const std::vector<std::wstring>& commandLines, UINT dpi);
    // Takes an icon the finder posted; true when an item now has its icon.
    bool receive(LPARAM result);
    // The bitmap for an item showing this command line's program: its icon, or while there is
    // none (not found, or not there yet) a blank of the same size, which keeps the item's
    // caption in line with the others. Null for a line never asked for.
    HBITMAP bitmapOf(const std::wstring& commandLine);

    struct Finder;  // the thread that finds and draws the icons

private:
    struct Line {
        std::wstring program;  // empty until found, or when there is none
    };
    int size_ = 0;
    bool finding_ = false;
    std::map<std::wstring, Line> lines_;
    std::map<std::wstring, UniqueBitmap> icons_;  // by program file
    UniqueBitmap blank_;
    std::shared_ptr<Finder> finder_;
};

}  // namespace td::win32
