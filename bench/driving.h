// Driving Tillerdock as its user would: the launch menu from the tray icon and the menu
// commands that start programs; and the same start without Tillerdock, to compare.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace bench {

class Instance;

// One opening of the launch menu as the user makes it: a right click on the tray icon opens
// the pop-up (its WM_INITMENUPOPUP runs the menu's refresh), Esc closes it.
bool openLaunchMenu(const Instance& app);

// A menu command that starts programs: the time until the (first) launch target runs, which
// sets the event `started`.
std::optional<double> commandLaunch(const Instance& app, HANDLE started, int command);

// The same start without Tillerdock: CreateProcessW as Tillerdock calls it.
std::optional<double> bareLaunch(const std::wstring& target, HANDLE started);

}  // namespace bench
