// Starting a program, finding its windows and waiting for it, from a second process.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace drive {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
// A kernel handle (process, file, event, snapshot) that closes itself.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A started program: its process handle and id. Empty when the start failed (GetLastError
// tells why).
struct Process {
    UniqueHandle handle;
    DWORD id = 0;
    explicit operator bool() const { return handle != nullptr; }
};

// The command line that starts this program by its full path: the path in quotes.
inline std::wstring quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Starts a command line, its standard handles on NUL. With a show command, the program's first
// window is shown that way (STARTF_USESHOWWINDOW), as a launcher that starts a user's program
// passes it. Under Wine a program of the machine's own (not built for Windows) starts too, but
// gives no handle to wait on.
Process startProcess(std::wstring commandLine, std::optional<WORD> show = std::nullopt);

// Polls the condition every interval until it holds; false when the time ran out first.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(1));

// The process's top-level windows, hidden ones too; only those of this class unless null.
std::vector<HWND> topLevelWindows(DWORD pid, const wchar_t* className = nullptr);

// A window's text, read with WM_GETTEXT, which also reaches another process's controls.
std::wstring windowText(HWND hwnd);

// A key pressed and released, posted to a window as the keyboard would.
void pressKey(HWND window, UINT virtualKey);

// The folder holding this program, with a trailing '\'. The programs a driver starts sit
// beside it.
std::wstring programFolder();

}  // namespace drive
