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

bool Win32ProgramStarter::StartProgram(const std::wstring& commandLine, int showState) {
    Win32FileSystem files;
    const std::optional<ProgramCall> call = programCall(commandLine, files);
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
