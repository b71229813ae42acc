// Starting a program from a slot's command line with CreateProcessW.
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/handles.h"
#include "platform/win32/services.h"

namespace td::win32 {

PathKind Win32FileSystem::kind(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

std::optional<std::wstring> Win32FileSystem::search(const std::wstring& name) {
    std::wstring found(32768, L'\0');
    const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe",
                                     static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (length == 0 || length >= found.size()) return std::nullopt;
    found.resize(length);
    return found;
}

std::optional<std::wstring> environmentVariable(const std::wstring& name) {
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
    return value;
}

bool Win32ProgramStarter::StartProgram(const std::wstring& commandLine, int showState) {
    Win32FileSystem files;
    // %NAME% references are the user's environment's, at the moment of the start.
    const std::wstring expanded = expandEnvironment(commandLine, environmentVariable);
    const std::optional<ProgramCall> call = programCall(expanded, files);
    if (!call) return false;
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(call->commandLine.begin(), call->commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(call->program.empty() ? nullptr : call->program.c_str(), line.data(),
                        nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The program runs on its own: nothing waits for it or keeps its handles.
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    return true;
}

}  // namespace td::win32
