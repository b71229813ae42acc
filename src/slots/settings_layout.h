// Where Tillerdock keeps its settings and in what text form: 32 keys in one section, and the
// shortcut's value beside them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/services.h"

namespace td::settings {

inline const std::wstring kAppName = L"Brackenfold";
inline const std::wstring kSection = L"Quaymaster";

// One stored value: its key, and how the program names it to the user.
struct Key {
    std::wstring name;
    std::wstring what;
};

// "Startup": the "Minimize on Startup" option.
Key startupKey();
// "App1" to "App10": the program path of a slot.
Key appKey(int slot);
// "Caption1" to "Caption10": the menu caption of a slot.
Key captionKey(int slot);
// "chkGroupE": whether the group launch is offered.
Key groupSwitchKey();
// "chkGApp1" to "chkGApp10": whether a slot belongs to the group.
Key groupKey(int slot);
// "Hotkey": the shortcut that opens the Launch menu from any program.
Key hotKeyKey();

// "True" or "False".
std::wstring truthText(bool value);
// "True"/"False" in any letter case, or a decimal number (0 false, anything else true),
// with optional surrounding blanks. Any other text converts to nothing.
std::optional<bool> toTruthValue(std::wstring_view text);
// Optional surrounding blanks, an optional sign and decimal digits, within -32768..32767.
std::optional<std::int16_t> toInteger16(std::wstring_view text);
// Optional surrounding blanks and decimal digits, within 0..65535.
std::optional<std::uint16_t> toUnsigned16(std::wstring_view text);

}  // namespace td::settings
