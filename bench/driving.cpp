#include "driving.h"

#include <windows.h>
// This builds on windows.h.
#include <commctrl.h>
#include <tlhelp32.h>

#include "instance.h"
#include "platform/win32/tray_icon.h"
#include "shared/window_ids.h"
#include "small_tools.h"

namespace bench {

namespace {

// Waits for every launch target still running to end, so that none is counted twice or
// slows the next measurement.
void waitForTargetsToEnd() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry = {sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"launch_target.exe") != 0) continue;
        UniqueHandle target(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (target) WaitForSingleObject(target.get(), 5000);
    }
}

}  // namespace

// Only the menu windows are listed (one request of the window manager), not every top-level
// window of the desktop: the search runs every millisecond while an opening is timed.
HWND visiblePopupMenu(DWORD pid) {
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, L"#32768", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

void postPress(const Instance& app, Press press, unsigned hotKey) {
    if (press == Press::HotKey) {
        const unsigned modifiers = hotKey >> 8;
        const UINT mod = (modifiers & HOTKEYF_ALT ? MOD_ALT : 0) |
                         (modifiers & HOTKEYF_CONTROL ? MOD_CONTROL : 0) |
                         (modifiers & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
        PostMessageW(app.window(), WM_HOTKEY, 1, MAKELPARAM(mod, hotKey & 0xFF));
        return;
    }
    // The right button's release where the pointer is; version 4 gives the event and the icon
    // in lParam and the place in wParam, the classic callback the icon and the event.
    POINT at = {};
    GetCursorPos(&at);
    const UINT id = app.subject().iconId;
    if (app.subject().trayVersion4)
        PostMessageW(app.window(), td::win32::kTrayCallbackMessage,
                     MAKEWPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)),
                     MAKELPARAM(WM_RBUTTONUP, id));
    else
        PostMessageW(app.window(), td::win32::kTrayCallbackMessage, id, WM_RBUTTONUP);
}

bool closeMenu(const Instance& app, HWND popup) {
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!waitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 10000))
        return false;
    app.sync();
    return true;
}

UserWindow::UserWindow() {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Tillerdock.BenchUser";
    RegisterClassExW(&wc);
    // Away from the menus, which open at the pointer.
    window_ = CreateWindowExW(0, wc.lpszClassName, L"Benchmark", WS_POPUP | WS_VISIBLE, 0, 0, 64,
                              64, nullptr, nullptr, wc.hInstance, nullptr);
}

UserWindow::~UserWindow() {
    if (window_) DestroyWindow(window_);
}

void UserWindow::toFront() {
    if (!window_) return;
    SetForegroundWindow(window_);
    waitUntil(
        [&] {
            pump();
            return GetForegroundWindow() == window_;
        },
        1000);
}

void UserWindow::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

bool openLaunchMenu(const Instance& app) {
    PostMessageW(app.window(), td::win32::kTrayCallbackMessage, td::ids::kTrayIconId, WM_RBUTTONUP);
    HWND popup = nullptr;
    if (!waitUntil([&] { return (popup = visiblePopupMenu(app.pid())) != nullptr; }, 10000))
        return false;
    return closeMenu(app, popup);
}

std::optional<double> commandLaunch(const Instance& app, HANDLE started, int command) {
    ResetEvent(started);
    const double begin = nowMs();
    PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    if (WaitForSingleObject(started, 15000) != WAIT_OBJECT_0) return std::nullopt;
    const double took = nowMs() - begin;
    waitForTargetsToEnd();
    return took;
}

std::optional<double> bareLaunch(const std::wstring& target, HANDLE started) {
    ResetEvent(started);
    std::wstring commandLine = target;
    const double begin = nowMs();
    const drive::Process launched = drive::startProcess(std::move(commandLine), SW_SHOWNORMAL);
    if (!launched) return std::nullopt;
    const bool signalled = WaitForSingleObject(started, 15000) == WAIT_OBJECT_0;
    const double took = nowMs() - begin;
    WaitForSingleObject(launched.handle.get(), 5000);
    if (!signalled) return std::nullopt;
    return took;
}

}  // namespace bench
