#include "instance.h"

#include <windows.h>
// This builds on windows.h.
#include <shellapi.h>

#include <cstdio>

#include "linux_view.h"
#include "resources.h"

namespace bench {

namespace {

BOOL CALLBACK countChild(HWND, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

}  // namespace

int windowCount(DWORD pid) {
    int count = 0;
    for (HWND top : drive::topLevelWindows(pid)) {
        ++count;
        EnumChildWindows(top, &countChild, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

bool iconPresent(HWND owner, UINT id) {
    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = owner;
    icon.uID = id;
    icon.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

namespace {

// The servers' CPU time so far; none for one not found.
struct ServerTimes {
    std::optional<double> wine, display, shell;
};

ServerTimes serverTimes(const WineServers* servers) {
    if (!servers) return {};
    const auto read = [](const std::optional<CpuClock>& clock) {
        return clock ? clock->ms() : std::nullopt;
    };
    return {read(servers->wine), read(servers->display), read(servers->shell)};
}

std::optional<double> spent(std::optional<double> before, std::optional<double> after) {
    if (!before || !after) return std::nullopt;
    return *after - *before;
}

// The CPU time of a process of this system so far (user and kernel).
std::optional<double> processCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return fileTimeMs(kernel) + fileTimeMs(user);
}

}  // namespace

std::optional<StartCost> Instance::start(const WineServers* servers) {
    // Under Wine, the program's Linux process is found among those started after this id,
    // once it is ready: looking for it sooner would make requests of the Wine server while its
    // time is measured.
    const bool linux = linuxViewAvailable();
    const auto lastPid = linux ? lastLinuxPid() : std::nullopt;
    std::wstring commandLine = drive::quoted(subject_.exe);
    if (!subject_.arguments.empty()) commandLine += L" " + subject_.arguments;
    ServerTimes begun = serverTimes(servers);
    const double begin = nowMs();
    process_ = drive::startProcess(std::move(commandLine));
    if (!process_) {
        std::printf("  CreateProcess of %s failed: %lu\n", subject_.name, GetLastError());
        return std::nullopt;
    }
    const DWORD idle = WaitForInputIdle(process(), 30000);
    StartCost cost;
    double end = nowMs();
    if (idle != 0) {
        std::printf("  %s: WaitForInputIdle returned %lu\n", subject_.name, idle);
        return std::nullopt;
    }
    // Everything read at once, first what the bench's own requests would add to.
    ServerTimes ended = serverTimes(servers);
    const auto readCpu = [&]() -> std::optional<double> {
        if (!linux) return processCpuMs(process());
        if (!linuxPid_) linuxPid_ = linuxProcessOf(subject_.exe, lastPid);
        return linuxPid_ ? linuxCpuMs(*linuxPid_) : std::nullopt;
    };
    cost.cpuMs = readCpu();
    bool first = true;
    const bool ready = waitUntil(
        [&] {
            const double before = nowMs();
            if (!window_) {
                auto found = drive::topLevelWindows(pid(), subject_.windowClass);
                if (!found.empty()) window_ = found.front();
            }
            const bool done = window_ && iconPresent(window_, subject_.iconId);
            if (done && !first) {
                end = before;
                ended = serverTimes(servers);
                cost.cpuMs = readCpu();
                iconAfterIdle_ = true;
            }
            first = false;
            return done;
        },
        30000);
    if (!ready) {
        std::printf("  %s: no window or no tray icon after start-up\n", subject_.name);
        return std::nullopt;
    }
    cost.ms = end - begin;
    cost.serverMs = spent(begun.wine, ended.wine);
    cost.displayMs = spent(begun.display, ended.display);
    cost.shellMs = spent(begun.shell, ended.shell);
    return cost;
}

bool Instance::stop() {
    if (!process_) return true;
    bool clean = true;
    if (WaitForSingleObject(process(), 0) == WAIT_TIMEOUT) {
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process(), 15000) != WAIT_OBJECT_0) {
            std::printf("  %s did not end on WM_CLOSE; terminated\n", subject_.name);
            TerminateProcess(process(), 1);
            WaitForSingleObject(process(), 5000);
            clean = false;
        }
    }
    process_ = {};
    window_ = nullptr;
    linuxPid_.reset();
    return clean;
}

void Instance::sync() const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

std::optional<unsigned long> Instance::linuxPid() {
    if (!linuxPid_ && linuxViewAvailable()) linuxPid_ = linuxProcessOf(subject_.exe);
    return linuxPid_;
}

}  // namespace bench
