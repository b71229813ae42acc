#include "resources.h"

#include <windows.h>
// These build on windows.h.
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

#include "instance.h"
#include "linux_view.h"

namespace bench {

namespace {

// The handle count the system keeps per process (NtQuerySystemInformation, documented in
// winternl.h). Wine's GetProcessHandleCount always reports 0; this count is Wine's handle
// table size there, which grows in steps as handles are opened and never shrinks.
std::optional<DWORD> systemHandleCount(DWORD pid) {
    std::vector<unsigned char> buffer(1 << 18);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<NTSTATUS>(0xC0000004L) /* STATUS_INFO_LENGTH_MISMATCH */) {
            buffer.resize(std::max<std::size_t>(needed, buffer.size()) * 2);
            continue;
        }
        if (status != 0) return std::nullopt;
        break;
    }
    for (std::size_t at = 0;;) {
        const auto* process =
            reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process->UniqueProcessId)) == pid)
            return process->HandleCount;
        if (process->NextEntryOffset == 0) return std::nullopt;
        at += process->NextEntryOffset;
    }
}

}  // namespace

Resources sampleResources(Instance& app) {
    Resources r;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(app.process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
        // The two are the same count (the process's commit charge); Wine fills only the
        // second, with the anonymous memory Linux counts for the process.
        const SIZE_T own = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        r.privateKb = static_cast<double>(own) / 1024;
        r.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024;
    }
    if (!GetProcessHandleCount(app.process(), &r.handles) || r.handles == 0)
        r.handles = systemHandleCount(app.pid()).value_or(0);
    r.gdi = GetGuiResources(app.process(), GR_GDIOBJECTS);
    r.user = GetGuiResources(app.process(), GR_USEROBJECTS);
    r.windows = windowCount(app.pid());
    return r;
}

double fileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

std::optional<CpuSample> sampleCpu(Instance& app) {
    CpuSample s;
    s.at = nowMs();
    if (const auto pid = app.linuxPid()) {
        const auto totals = linuxTotals(*pid);
        if (!totals) return std::nullopt;
        s.cpuMs = totals->cpuMs;
        s.wakeups = static_cast<double>(totals->voluntarySwitches);
        s.fromLinux = true;
        return s;
    }
    if (linuxViewAvailable()) return std::nullopt;  // under Wine, but the process was not found
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(app.process(), &created, &exited, &kernel, &user)) return std::nullopt;
    s.cpuMs = fileTimeMs(kernel) + fileTimeMs(user);
    ULONG64 cycles = 0;
    if (!QueryProcessCycleTime(app.process(), &cycles)) return std::nullopt;
    s.wakeups = static_cast<double>(cycles);
    return s;
}

}  // namespace bench
