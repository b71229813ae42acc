// Where Tillerdock keeps its settings and in what text form: 32 keys in one section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace td {

// A setting that could not be written, and the system's reason.
struct SaveFailure {
    std::wstring key;
    std::wstring reason;
};

}  // namespace td

namespace td::settings {

inline const std::wstring kAppName = L"Brackenfold";
inline const std::wstring kSection = L"Quaymaster";

inline const std::wstring kStartupKey = L"Startup";
inline const std::wstring kGroupSwitchKey = L"chkGroupE";

// "App1" to "App10": the program path of a slot.
std::wstring appKey(int slot);
// "Caption1" to "Caption10": the menu caption of a slot.
std::wstring captionKey(int slot);
// "chkGApp1" to "chkGApp10": whether a slot belongs to the group.
std::wstring groupKey(int slot);

// The decimal text of an integer ("7", "-3"), without the C library's formatted printing.
std::wstring decimalText(long value);

// "True" or "False".
std::wstring truthText(bool value);
// "True"/"False" in any letter case, or a decimal number (0 false, anything else true),
// with optional surrounding blanks. Any other text converts to nothing.
std::optional<bool> toTruthValue(std::wstring_view text);
// Optional surrounding blanks, an optional sign and decimal digits, within -32768..32767.
std::optional<std::int16_t> toInteger16(std::wstring_view text);

// Reads one of the program's keys.
std::wstring read(SettingsStore& store, const std::wstring& key, const std::wstring& defaultValue);

// Writes a group of keys, each by itself: a failing write is collected and the next one is
// still made, so that one refused value never costs the others.
class Saver {
public:
    explicit Saver(SettingsStore& store) : store_(store) {}
    void write(const std::wstring& key, const std::wstring& value);
    const std::vector<SaveFailure>& failures() const { return failures_; }

private:
    SettingsStore& store_;
    std::vector<SaveFailure> failures_;
};

}  // namespace td::settings
