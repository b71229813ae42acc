// The icons of the programs a window's menus name. They are read on a thread of their own, so
// that no menu ever waits for a disk or a share: a menu opens at once, and each icon shows as
// soon as it is read (a program on a share when the share answers). Nothing on the
// user-interface thread touches a program's path. Programs on removable and optical drives,
// and files whose data is not there (kept offline, cloud placeholders), are not read. Icons are
// kept between openings, at the size the shell uses for small icons at the window's DPI, and
// read again only when a line changes, the program's file changes or the DPI changes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace td::win32 {

class MenuIcons {
public:
    // The window is posted the message: with kWake as the menu opens (the thread is woken
    // once the menu is on screen), with kArrived when icons have been read.
    static constexpr WPARAM kWake = 0, kArrived = 1;
    MenuIcons(HWND window, UINT message);
    // Ends the thread: a read under way is cancelled, and an icon it still waits for is not
    // waited for long.
    ~MenuIcons();
    MenuIcons(const MenuIcons&) = delete;
    MenuIcons& operator=(const MenuIcons&) = delete;

    // As a menu is about to open: the icons of the programs these command lines start, at the
    // size for the DPI. What no line names any more is freed.
    void request(const std::vector<std::wstring>& commandLines, UINT dpi);
    // The posted message: wakes the thread, or takes the icons it read; true when an icon
    // changed.
    bool receive(WPARAM what);
    // The icon of a line's program, or null while there is none.
    HICON iconOf(const std::wstring& commandLine) const;
    // The size icons are drawn at, in pixels.
    int size() const { return size_; }

    struct Shared;  // between the two threads

private:
    HWND window_;
    UINT message_;
    int size_ = 0;
    bool wakePosted_ = false;
    std::map<std::wstring, UniqueIcon> icons_;
    std::shared_ptr<Shared> shared_;
    UniqueHandle thread_;
};

}  // namespace td::win32
