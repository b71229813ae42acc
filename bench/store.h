// The settings store the programs start with: Tillerdock's key in the registry.
#pragma once

#include <string>

namespace bench {

// Empty: a first start, which shows the window. Full: all 32 keys, which start in the tray.
enum class Store { Empty, Full };

// Empties the store, or fills it with all 32 keys: start in the tray, every slot on this
// target program (which carries an icon, so every slot has one to show), the group switched
// on with slot 1 in it (a group launch starts one program).
void prepareStore(Store store, const std::wstring& target);

}  // namespace bench
