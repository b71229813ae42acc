// Starting a program from a slot's command line with CreateProcessW.
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/services.h"

namespace td::win32 {

namespace {

// True when the whole command line, blanks included, names something that exists. The
// system's own parse would cut such a line at its first blank and try "C:\Program.exe" for
// "C:\Program Files\Tool\tool.exe", so a program planted there would run instead. A line
// without blanks or tabs cannot be cut, and keeps the system's parse with its search and
// its ".exe" default.
bool wholeLineNamesExistingItem(const std::wstring& commandLine) {
    if (commandLine.find_first_of(L" \t") == std::wstring::npos) return false;
    return GetFileAttributesW(commandLine.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool Win32ProgramStarter::StartProgram(const std::wstring& commandLine, int showState) {
    if (commandLine.empty()) return false;

    // A line that names an existing file or folder as a whole starts exactly that: the
    // name goes in as the application, so nothing shorter is tried, and the child gets it
    // quoted as its first argument. A folder or a document then fails as it should.
    const bool exact = wholeLineNamesExistingItem(commandLine);
    const std::wstring line = exact ? L"\"" + commandLine + L"\"" : commandLine;
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exact ? commandLine.c_str() : nullptr, buffer.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The program runs on its own: nothing waits for it or keeps its handles.
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    return true;
}

}  // namespace td::win32
