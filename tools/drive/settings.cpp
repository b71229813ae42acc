#include "drive/settings.h"

#include <windows.h>

#include <memory>

namespace drive {

void clearSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kPolicyKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey);
}

bool setPolicy(bool computer, const std::wstring& name, const std::optional<std::wstring>& value) {
    const HKEY root = computer ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (!value) return RegDeleteKeyValueW(root, kPolicyKey, name.c_str()) == ERROR_SUCCESS;
    return RegSetKeyValueW(root, kPolicyKey, name.c_str(), REG_SZ, value->c_str(),
                           static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

bool setSetting(const std::wstring& name, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

}  // namespace

Settings readSettings() {
    Settings values;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return values;
    const std::unique_ptr<HKEY__, KeyCloser> key(opened);
    wchar_t name[256], value[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, bytes = sizeof(value) - sizeof(wchar_t);
        if (RegEnumValueW(key.get(), i, name, &nameSize, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS)
            break;
        value[bytes / sizeof(wchar_t)] = L'\0';
        values[name] = value;
    }
    return values;
}

}  // namespace drive
