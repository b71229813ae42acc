// The icons of the programs a window's menus name. They are read on a thread of their own, so
// that no menu ever waits for a disk or a share: a menu opens at once, and each icon shows as
// soon as it is read (a program on a share when the share answers). Nothing on the
// user-interface thread touches a program's path. Programs on removable and optical drives,
// and files whose data is not there (kept offline, cloud placeholders), are not read. Icons are
// kept between openings, at the size the shell uses for small icons at the window's DPI, as
// pictures ready to draw (made on the reading thread), and read again only when a line
// changes, the program's file changes or the DPI changes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace td::win32 {

class MenuIcons {
public:
    // The message the window is posted when pictures have been read.
    MenuIcons(HWND window, UINT message);
    // Ends the thread: a read under way is cancelled, and an icon it still waits for is not
    // waited for long.
    ~MenuIcons();
    MenuIcons(const MenuIcons&) = delete;
    MenuIcons& operator=(const MenuIcons&) = delete;

    // As a menu is about to open: the icons of the programs these command lines start, at the
    // size for the DPI. What no line names any more is freed.
    void request(const std::vector<std::wstring>& commandLines, UINT dpi);
    // Once the menu is on screen (its loop has nothing left to do): the thread reads what was
    // asked, made the first time.
    void start();
    // The posted message: takes the pictures the thread read; true when one shows or went.
    bool receive();
    // A memory DC holding the picture of a line's program (a premultiplied 32-bit bitmap the
    // size of an icon), ready to blend from; null while there is none.
    HDC pictureOf(const std::wstring& commandLine) const;
    // Whether the line's program was read and has no picture (not found, or on a drive that is
    // not read); a line not read yet may still get one.
    bool without(const std::wstring& commandLine) const;
    // The size pictures are drawn at, in pixels.
    int size() const { return size_; }

    struct Shared;  // between the two threads

private:
    int size_ = 0;
    // A request the thread has not been given yet, and the lines last asked for.
    bool asked_ = false;
    std::vector<std::wstring> lines_;
    // The pictures read, by line, each kept selected into a DC of its own, so that drawing one
    // is a single call; a null bitmap for a line read without one.
    struct Picture {
        UniqueBitmap bitmap;
        UniqueDC dc;  // goes first, letting go of the bitmap
    };
    std::map<std::wstring, Picture> pictures_;
    std::shared_ptr<Shared> shared_;
    UniqueHandle thread_;
};

}  // namespace td::win32
