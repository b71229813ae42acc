#include "platform/win32/user_environment.h"

#include <cwchar>
#include <vector>

#include "platform/win32/handles.h"

namespace td::win32 {

namespace {

struct UserEnvironment {
    bool stale = false;
    bool rebuilt = false;
    std::vector<wchar_t> block;  // "NAME=value" texts, each ended by a NUL, then a NUL
};

UserEnvironment& current() {
    static UserEnvironment environment;
    return environment;
}

// The user's environment as the system builds it for a new sign-in from the user's and the
// machine's settings (userenv, loaded the first time the settings change, not at every start).
void rebuild(UserEnvironment& environment) {
    environment.stale = false;
    using Create = BOOL(WINAPI*)(void**, HANDLE, BOOL);
    using Destroy = BOOL(WINAPI*)(void*);
    static const HMODULE library =
        LoadLibraryExW(L"userenv.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return;
    const auto create = reinterpret_cast<Create>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateEnvironmentBlock")));
    const auto destroy = reinterpret_cast<Destroy>(
        reinterpret_cast<void*>(GetProcAddress(library, "DestroyEnvironmentBlock")));
    HANDLE opened = nullptr;
    if (!create || !destroy ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE,
                          &opened))
        return;
    const UniqueHandle token(opened);
    void* made = nullptr;
    // Not inherited from this process: the settings as they are now, nothing left over.
    if (!create(&made, token.get(), FALSE) || !made) return;
    const auto* first = static_cast<const wchar_t*>(made);
    const wchar_t* end = first;
    while (*end) end += std::wcslen(end) + 1;
    environment.block.assign(first, end + 1);
    environment.rebuilt = true;
    destroy(made);
}

UserEnvironment& upToDate() {
    UserEnvironment& environment = current();
    if (environment.stale) rebuild(environment);
    return environment;
}

}  // namespace

std::optional<std::wstring> environmentVariable(const std::wstring& name) {
    const UserEnvironment& environment = upToDate();
    if (!environment.rebuilt) {
        const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        if (size == 0) return std::nullopt;
        std::wstring value(size, L'\0');
        value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
        return value;
    }
    for (const wchar_t* entry = environment.block.data(); *entry; entry += std::wcslen(entry) + 1) {
        const wchar_t* equals = std::wcschr(entry + 1, L'=');  // hidden entries start with '='
        if (equals && CompareStringOrdinal(entry, static_cast<int>(equals - entry), name.c_str(),
                                           static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
            return std::wstring(equals + 1);
    }
    return std::nullopt;
}

const wchar_t* environmentBlock() {
    const UserEnvironment& environment = upToDate();
    return environment.rebuilt ? environment.block.data() : nullptr;
}

void environmentChanged() {
    current().stale = true;
}

}  // namespace td::win32
