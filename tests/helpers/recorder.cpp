// A program for tests that start programs: it appends two lines of UTF-8 to the file named by
// the environment variable TILLERDOCK_RECORD, and exits: its own command line, then its
// current folder and the value of TILLERDOCK_PROBE, joined by '|'. A build with
// RECORDER_MARKER defined puts that text in front of the first line, so a test can tell two
// recorders apart.
#include <windows.h>

#include <string>

#ifndef RECORDER_MARKER
#define RECORDER_MARKER ""
#endif

std::string utf8(const std::wstring& text) {
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(
                          CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    bytes.back() = '\n';  // the NUL's place takes the line end
    return bytes;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[32768], folder[32768], probe[32768] = L"";
    if (!GetEnvironmentVariableW(L"TILLERDOCK_RECORD", path, 32768)) return 2;
    GetCurrentDirectoryW(32768, folder);
    GetEnvironmentVariableW(L"TILLERDOCK_PROBE", probe, 32768);
    const std::string lines = RECORDER_MARKER + utf8(GetCommandLineW()) +
                              utf8(std::wstring(folder) + L"|" + probe);
    // One write of both lines, appended, so a reader never sees half of them.
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == lines.size() ? 0 : 3;
}
