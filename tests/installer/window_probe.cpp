// The installer test's view of Tillerdock from a second program:
//   window_probe CLASS SECONDS   waits until a window of the class exists
// Exit code 0 when it does in time, 1 when not, 2 on a wrong command line.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const DWORD start = GetTickCount(), milliseconds = std::wcstoul(argv[2], nullptr, 10) * 1000;
    for (; !FindWindowW(argv[1], nullptr); Sleep(50))
        if (GetTickCount() - start >= milliseconds) return 1;
    return 0;
}
