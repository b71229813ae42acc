// Where Tillerdock keeps its settings and in what text form: 32 keys in one section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// "True" or "False".
std::wstring truthText(bool value);
// "True"/"False" in any letter case, or a decimal number (0 false, anything else true),
// with optional surrounding blanks. Any other text converts to nothing.
std::optional<bool> toTruthValue(std::wstring_view text);
// Optional surrounding blanks, an optional sign and decimal digits, within -32768..32767.
std::optional<std::int16_t> toInteger16(std::wstring_view text);

// Reads one of the program's keys.
std::wstring read(SettingsStore& store, const Key& key, const std::wstring& defaultValue);

// A setting that could not be written: what it is, and the system's reason.
struct SaveFailure {
    std::wstring what;
    std::wstring reason;
};

// Writes a group of keys, each by itself: a failing write is collected and the next one is
// still made, so that one refused value never costs the others.
class Saver {
public:
    explicit Saver(SettingsStore& store) : store_(store) {}
    void write(const Key& key, const std::wstring& value);
    const std::vector<SaveFailure>& failures() const { return failures_; }
    // The message that names each failure: the heading, the failures, then what happens now.
    std::wstring report(const std::wstring& heading, const std::wstring& outcome) const;

private:
    SettingsStore& store_;
    std::vector<SaveFailure> failures_;
};

}  // namespace td::settings
