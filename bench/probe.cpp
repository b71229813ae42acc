// --probe: what the platform reports for one started program, the basis for the choices the
// measurements make.
#include <windows.h>
// This builds on windows.h.
#include <psapi.h>

#include <cstdio>

#include "bench.h"
#include "driving.h"
#include "linux_view.h"
#include "resources.h"
#include "shared/window_ids.h"

namespace bench {

void Bench::probe() {
    const auto describe = [](const char* name, const std::optional<CpuClock>& clock) {
        if (clock)
            std::printf("%s: Linux process %lu, %zu threads, CPU %.2f ms so far\n", name,
                        clock->pid(), clock->threads(), clock->ms().value_or(-1));
        else
            std::printf("%s: not found\n", name);
    };
    describe("Wine server", servers_.wine);
    describe("X server", servers_.display);
    describe("Shell", servers_.shell);
    for (const Subject* subject :
         {&subjects_.tillerdock, &subjects_.trayBaseline, &subjects_.windowBaseline}) {
        for (Store store : {Store::Empty, Store::Full}) {
            prepare(store);
            Instance app(*subject);
            const auto cost = app.start(&servers_);
            const auto part = [&](std::optional<double> StartCost::*field) {
                return fixed(cost ? (*cost).*field : std::nullopt, "%.2f");
            };
            std::printf(
                "%s (%s): start-up %s ms, CPU %s ms (Wine server %s, X server %s, shell %s); "
                "window %p, icon %d\n",
                subject->name, store == Store::Empty ? "empty" : "full",
                fixed(cost ? std::optional<double>(cost->ms) : std::nullopt).c_str(),
                part(&StartCost::cpuMs).c_str(), part(&StartCost::serverMs).c_str(),
                part(&StartCost::displayMs).c_str(), part(&StartCost::shellMs).c_str(),
                static_cast<void*>(app.window()),
                app.window() ? iconPresent(app.window(), subject->iconId) : -1);
            Sleep(1000);
            const Resources r = sampleResources(app);
            std::printf(
                "  private %.0f KB, working set %.0f KB, handles %lu, GDI %lu, USER %lu, "
                "windows %d\n",
                r.privateKb, r.workingSetKb, r.handles, r.gdi, r.user, r.windows);
            PROCESS_MEMORY_COUNTERS_EX memory = {};
            memory.cb = sizeof(memory);
            GetProcessMemoryInfo(app.process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof(memory));
            DWORD handles = 0;
            const BOOL haveHandles = GetProcessHandleCount(app.process(), &handles);
            std::printf(
                "  as reported: PrivateUsage %zu, PagefileUsage %zu, GetProcessHandleCount "
                "%d/%lu\n",
                static_cast<std::size_t>(memory.PrivateUsage),
                static_cast<std::size_t>(memory.PagefileUsage), haveHandles, handles);
            FILETIME c, e, k, u;
            GetProcessTimes(app.process(), &c, &e, &k, &u);
            ULONG64 cycles = 0;
            const BOOL haveCycles = QueryProcessCycleTime(app.process(), &cycles);
            std::printf("  GetProcessTimes kernel %.2f ms user %.2f ms; cycles %d/%llu\n",
                        fileTimeMs(k), fileTimeMs(u), haveCycles, cycles);
            if (const auto pid = app.linuxPid()) {
                const auto t = linuxTotals(*pid);
                const auto cmd = readFile(L"Z:\\proc\\" + std::to_wstring(*pid) + L"\\cmdline");
                std::printf("  Linux pid %lu (%s): %d threads, cpu %.2f ms, switches %llu+%llu\n",
                            *pid, cmd ? cmd->c_str() : "?", t ? t->threads : 0, t ? t->cpuMs : 0.0,
                            t ? t->voluntarySwitches : 0ULL, t ? t->involuntarySwitches : 0ULL);
            } else {
                std::printf("  no Linux process found\n");
            }
            if (subject == &subjects_.tillerdock && store == Store::Full) {
                const bool opened = openLaunchMenu(app);
                std::printf("  launch menu opened and closed: %d\n", opened);
                const auto launched = commandLaunch(app, started_, td::ids::kMenuSlotBase + 1);
                std::printf("  slot 1 launch: %s ms\n", fixed(launched).c_str());
            }
            app.stop();
        }
    }
}

}  // namespace bench
