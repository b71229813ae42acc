#include "driving.h"

#include <windows.h>
// This builds on windows.h.
#include <tlhelp32.h>

#include "instance.h"
#include "platform/win32/tray_icon.h"
#include "shared/window_ids.h"
#include "small_tools.h"

namespace bench {

namespace {

HWND visiblePopupMenu(DWORD pid) {
    for (HWND h : drive::topLevelWindows(pid, L"#32768"))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

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

bool openLaunchMenu(const Instance& app) {
    PostMessageW(app.window(), td::win32::kTrayCallbackMessage, td::ids::kTrayIconId, WM_RBUTTONUP);
    HWND popup = nullptr;
    if (!waitUntil([&] { return (popup = visiblePopupMenu(app.pid())) != nullptr; }, 10000))
        return false;
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!waitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 10000))
        return false;
    app.sync();
    return true;
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
