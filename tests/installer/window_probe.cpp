// The installer test's view of Tillerdock's main window, from a second program:
//   window_probe wait CLASS SECONDS    until a window of the class exists
//   window_probe close CLASS SECONDS   asks it to close (WM_CLOSE), then waits until its
//                                      process has ended
//   window_probe absent CLASS          whether no window of the class exists
// Exit code 0 when that holds in time, 1 when not, 2 on a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

HWND waitForWindow(const wchar_t* className, DWORD milliseconds) {
    DWORD const start = GetTickCount();
    for (;;) {
        if (HWND hwnd = FindWindowW(className, nullptr)) return hwnd;
        if (GetTickCount() - start >= milliseconds) return nullptr;
        Sleep(50);
    }
}

int closeAndWait(const wchar_t* className, DWORD milliseconds) {
    HWND hwnd = FindWindowW(className, nullptr);
    if (!hwnd) {
        std::fwprintf(stderr, L"no window of class %ls\n", className);
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) {
        std::fwprintf(stderr, L"cannot open process %lu: error %lu\n", processId, GetLastError());
        return 1;
    }
    // Posted, as a user's click on the close button would be: the program may show UI.
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), milliseconds) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"process %lu still running\n", processId);
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    std::wstring const command = argv[1];
    wchar_t const* className = argv[2];
    DWORD const milliseconds = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) * 1000 : 0;
    if (command == L"wait") return waitForWindow(className, milliseconds) ? 0 : 1;
    if (command == L"close") return closeAndWait(className, milliseconds);
    if (command == L"absent") return FindWindowW(className, nullptr) ? 1 : 0;
    return 2;
}
