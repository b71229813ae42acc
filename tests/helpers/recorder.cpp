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
    std::wstring path(32767, L'\0');
    const DWORD pathLength = GetEnvironmentVariableW(L"TILLERDOCK_RECORD", path.data(), 32767);
    if (pathLength == 0 || pathLength >= 32767) return 2;
    path.resize(pathLength);

    const std::wstring commandLine = GetCommandLineW();
    std::string line(RECORDER_MARKER);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, commandLine.data(), static_cast<int>(commandLine.size()),
                            nullptr, 0, nullptr, nullptr);
    const size_t start = line.size();
    line.resize(start + static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, commandLine.data(), static_cast<int>(commandLine.size()),
                        line.data() + start, size, nullptr, nullptr);
    line += "\n";

    // One write of the whole line, appended, so a reader never sees half of it.
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 4;
}
