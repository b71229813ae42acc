// The settings store in the registry: HKEY_CURRENT_USER\Software\<application>\<section>,
// one REG_SZ value per key.
#include <limits>
#include <optional>

#include "platform/win32/handles.h"
#include "platform/win32/services.h"
#include "platform/win32/system_text.h"

namespace td::win32 {

namespace {

std::wstring keyPath(const std::wstring& appName, const std::wstring& section) {
    return L"Software\\" + appName + L"\\" + section;
}

// The text of a REG_SZ value, or nothing when the value is absent or of another type.
std::optional<std::wstring> readText(HKEY key, const std::wstring& name) {
    DWORD type = 0;
    DWORD bytes = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes);
    std::wstring text;
    // The value can grow between the size query and the read: ask again until it fits.
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        if (type != REG_SZ) return std::nullopt;
        // One spare character, so a text stored without its terminating NUL still fits.
        text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(text.data()), &capacity);
        if (rc == ERROR_SUCCESS) {
            if (type != REG_SZ) return std::nullopt;
            // The text ends at its terminating NUL, or at the end of the data when the
            // writer left the NUL out.
            text.resize(capacity / sizeof(wchar_t));
            const auto end = text.find(L'\0');
            if (end != std::wstring::npos) text.resize(end);
            return text;
        }
        bytes = capacity;
    }
    return std::nullopt;
}

}  // namespace

std::wstring RegistrySettingsStore::ReadSetting(const std::wstring& appName,
                                                const std::wstring& section,
                                                const std::wstring& key,
                                                const std::wstring& defaultValue) {
    // Opened, never created: a read leaves no trace in the registry.
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(appName, section).c_str(), 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS)
        return defaultValue;
    const UniqueKey sectionKey(opened);
    return readText(sectionKey.get(), key).value_or(defaultValue);
}

Status RegistrySettingsStore::WriteSetting(const std::wstring& appName, const std::wstring& section,
                                           const std::wstring& key, const std::wstring& value) {
    // The stored size counts the terminating NUL and must fit a DWORD of bytes.
    if (value.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t))
        return Status::failure(errorText(ERROR_INVALID_PARAMETER));
    HKEY created = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(appName, section).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created, nullptr);
    if (rc != ERROR_SUCCESS) return Status::failure(errorText(static_cast<DWORD>(rc)));
    const UniqueKey sectionKey(created);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    rc = RegSetValueExW(sectionKey.get(), key.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    if (rc != ERROR_SUCCESS) return Status::failure(errorText(static_cast<DWORD>(rc)));
    return Status::success();
}

}  // namespace td::win32
