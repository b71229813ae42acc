// A program for tests that start programs: it appends its own command line, as one line of
// UTF-8, to the file named by the environment variable TILLERDOCK_RECORD, and exits. A build
// with RECORDER_MARKER defined puts that text in front of the line, so a test can tell two
// recorders apart.
#include <windows.h>

#include <string>

#ifndef RECORDER_MARKER
#define RECORDER_MARKER ""
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[32768];
    if (!GetEnvironmentVariableW(L"TILLERDOCK_RECORD", path, 32768)) return 2;
    const wchar_t* commandLine = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
    std::string line(RECORDER_MARKER);
    const std::size_t start = line.size();
    line.resize(start + static_cast<std::size_t>(size));  // the NUL's place takes the line end
    WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, line.data() + start, size, nullptr, nullptr);
    line.back() = '\n';
    // One write of the whole line, appended, so a reader never sees half of it.
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 3;
}
