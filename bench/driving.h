// Driving Tillerdock as its user would: the launch menu from the tray icon and the menu
// commands that start programs; and the same start without Tillerdock, to compare.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace bench {

class Instance;

// The program's pop-up menu (#32768) while it is visible, or null.
HWND visiblePopupMenu(DWORD pid);

// What opens the launch menu: the global shortcut (the WM_HOTKEY the system posts the window
// that registered it) or a right click on the tray icon (the icon's callback message, in the
// layout of the shell's version 4 for a program that asks for it, else the classic one).
enum class Press { HotKey, Tray };
void postPress(const Instance& app, Press press, unsigned hotKey);

// Closes an open menu as Esc does, and waits until the program is back in its own loop.
bool closeMenu(const Instance& app, HWND popup);

// The program the user works in when they press: a small window of the benchmark's own, brought
// to the front before each press. Each program then takes the foreground from another program
// at each press, and Tillerdock gives it back to this window after a menu opened by the
// shortcut closes, as it does for a user (without it, the program pressed second would find
// itself or the other program in front).
class UserWindow {
public:
    UserWindow();
    ~UserWindow();
    UserWindow(const UserWindow&) = delete;
    UserWindow& operator=(const UserWindow&) = delete;

    // In front, with what the change sent this thread handled.
    void toFront();
    // Handles what was sent to the window.
    static void pump();

private:
    HWND window_ = nullptr;
};

// One opening of the launch menu as the user makes it: a right click on the tray icon opens
// the pop-up (its WM_INITMENUPOPUP runs the menu's refresh), Esc closes it.
bool openLaunchMenu(const Instance& app);

// A menu command that starts programs: the time until the (first) launch target runs, which
// sets the event `started`.
std::optional<double> commandLaunch(const Instance& app, HANDLE started, int command);

// The same start without Tillerdock: CreateProcessW as Tillerdock calls it.
std::optional<double> bareLaunch(const std::wstring& target, HANDLE started);

}  // namespace bench
