#include "platform/win32/user_environment.h"

#include <map>

#include "platform/environment.h"
#include "platform/win32/handles.h"

namespace td::win32 {

namespace {

// The names the user's settings defined when the process last took them.
Names& settingsNames() {
    static Names names;
    return names;
}

std::vector<Variable> processVariables() {
    wchar_t* block = GetEnvironmentStringsW();
    std::vector<Variable> variables = variablesOf(block);
    if (block) FreeEnvironmentStringsW(block);
    return variables;
}

// The user's environment as the system builds it for a new sign-in from the user's and the
// machine's settings, nothing inherited from this process; none when it cannot be had.
std::optional<std::vector<Variable>> settingsVariables() {
    using Create = BOOL(WINAPI*)(void**, HANDLE, BOOL);
    using Destroy = BOOL(WINAPI*)(void*);
    static const auto create = systemFunction<Create>(L"userenv.dll", "CreateEnvironmentBlock");
    static const auto destroy = systemFunction<Destroy>(L"userenv.dll", "DestroyEnvironmentBlock");
    HANDLE opened = nullptr;
    if (!create || !destroy ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE,
                          &opened))
        return std::nullopt;
    const UniqueHandle token(opened);
    void* made = nullptr;
    if (!create(&made, token.get(), FALSE) || !made) return std::nullopt;
    std::vector<Variable> variables = variablesOf(static_cast<const wchar_t*>(made));
    destroy(made);
    return variables;
}

// The names of the values of a key of environment settings.
void addNamesOf(HKEY root, const wchar_t* path, Names& names) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return;
    const UniqueKey key(opened);
    wchar_t name[16384];  // the longest value name the registry holds, and its NUL
    for (DWORD i = 0, length = 16384; RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr,
                                                    nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 16384)
        names.insert(std::wstring(name, length));
}

}  // namespace

void rememberSettingsVariables() {
    Names& names = settingsNames();
    addNamesOf(HKEY_CURRENT_USER, L"Environment", names);
    addNamesOf(HKEY_LOCAL_MACHINE,
               L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", names);
}

void environmentChanged() {
    const std::optional<std::vector<Variable>> fresh = settingsVariables();
    if (!fresh) return;
    for (const VariableChange& change :
         settingsChanges(processVariables(), *fresh, settingsNames()))
        SetEnvironmentVariableW(change.name.c_str(),
                                change.value ? change.value->c_str() : nullptr);
    settingsNames() = namesOf(*fresh);
}

std::optional<std::wstring> environmentVariable(const std::wstring& name) {
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
    return value;
}

std::vector<wchar_t> environmentWithPath(const std::wstring& path) {
    // Sorted by name without regard to case, as the system keeps a block.
    std::map<std::wstring, std::wstring, NameOrder> variables;
    for (Variable& variable : processVariables())
        variables.emplace(std::move(variable.name), std::move(variable.value));
    variables.insert_or_assign(L"Path", path);
    std::vector<wchar_t> block;
    for (const auto& [name, value] : variables) {
        const std::wstring entry = name + L"=" + value;
        block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace td::win32
