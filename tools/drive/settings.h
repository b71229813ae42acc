// Tillerdock's settings key, HKCU\Software\Brackenfold\Quaymaster, as a driver prepares and
// reads it around a run of the program.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace drive {

using Settings = std::map<std::wstring, std::wstring>;

inline constexpr wchar_t kSettingsKey[] = L"Software\\Brackenfold\\Quaymaster";
// Where Group Policy sets them, under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
inline constexpr wchar_t kPolicyKey[] = L"Software\\Policies\\Brackenfold\\Quaymaster";

// Removes the key with every value in it, and both policy keys: the store of a first start.
void clearSettings();
// Writes one policy value as text (REG_SZ) for the computer or the user, creating the key when
// it is missing, or removes it (no value).
bool setPolicy(bool computer, const std::wstring& name, const std::optional<std::wstring>& value);
// Writes one value as text (REG_SZ), creating the key when it is missing.
bool setSetting(const std::wstring& name, const std::wstring& value);
// Every value under the key, by name; empty when the key does not exist.
Settings readSettings();

}  // namespace drive
