// The settings store in the registry: HKEY_CURRENT_USER\Software\<application>\<section>,
// one value per key, written as REG_SZ.
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

}  // namespace

// A text (REG_SZ, or REG_EXPAND_SZ read as written) ends at its terminating NUL, or at the end
// of the data when the writer left the NUL out; a text with more after its NUL, like every
// value of another type, is not one the program reads.
StoredValue readRegistryValue(HKEY key, const std::wstring& name) {
    DWORD type = 0;
    DWORD bytes = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes);
    std::wstring data;
    // The value can grow between the size query and the read: ask again until it fits.
    while (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && data.empty())) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {StoredValue::Kind::Other, L""};
        // One spare character, so a text stored without its terminating NUL still fits.
        data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &capacity);
        if (rc == ERROR_MORE_DATA) bytes = capacity;
        if (rc == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return {StoredValue::Kind::Other, L""};
            data.resize(capacity / sizeof(wchar_t));
            const auto end = data.find(L'\0');
            if (end == std::wstring::npos) return {StoredValue::Kind::Text, data};
            if (data.find_first_not_of(L'\0', end) != std::wstring::npos)
                return {StoredValue::Kind::Other, L""};
            data.resize(end);
            return {StoredValue::Kind::Text, data};
        }
    }
    return {};
}

StoredValue RegistrySettingsStore::ReadValue(const std::wstring& appName,
                                             const std::wstring& section, const std::wstring& key) {
    // Opened, never created: a read leaves no trace in the registry.
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(appName, section).c_str(), 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS)
        return {};
    const UniqueKey sectionKey(opened);
    return readRegistryValue(sectionKey.get(), key);
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
