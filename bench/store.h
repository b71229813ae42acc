// The settings store the programs start with: Tillerdock's key in the registry.
#pragma once

#include <string>

namespace bench {

// Empty: a first start, which shows the window. Full: all 32 keys, which start in the tray.
// Menu: the 32 keys and the global shortcut, each slot naming a program of its own.
enum class Store { Empty, Full, Menu };

// The shortcut the menu store holds, as a hot-key control's value: Ctrl+Alt+F8, which types
// nothing on any keyboard layout.
inline constexpr unsigned kMenuHotKey = (2 + 4) * 256 + 0x77;

// A program on a share whose host never answers (an address kept for documentation, which
// nothing routes).
inline constexpr wchar_t kUnreachableProgram[] = L"\\\\192.0.2.1\\tools\\launch_target.exe";

// Empties the store, or fills it: start in the tray, the group switched on with slot 1 in it
// (a group launch starts one program). In the full store every slot is this target program
// (which carries an icon, so every slot has one to show); in the menu store, slots 1 to 9 start
// it with the slot's number, so that each line's icon is read, and slot 10 names the program
// on the unreachable share.
void prepareStore(Store store, const std::wstring& target);

}  // namespace bench
