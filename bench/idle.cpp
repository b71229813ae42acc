// The idle cost: CPU time and wake-ups of a program left alone.
#include "bench.h"
#include "resources.h"

namespace bench {

Idle Bench::idle(const Subject& subject, Store store) {
    prepare(store);
    Instance app(subject);
    Idle result;
    if (!app.start()) return result;
    // Whatever the start set in motion (painting, the shell's answers) settles first.
    Sleep(2000);
    app.sync();
    Sleep(500);
    const auto before = sampleCpu(app);
    Sleep(10000);
    const auto after = sampleCpu(app);
    for (int i = 0; i < 10; ++i) {
        app.sync();
        Sleep(20);
    }
    const auto checked = sampleCpu(app);
    if (before && after) {
        const double scale = 10000.0 / (after->at - before->at);
        result.cpuMs = (after->cpuMs - before->cpuMs) * scale;
        result.wakeups = (after->wakeups - before->wakeups) * scale;
        result.fromLinux = after->fromLinux;
        if (checked) result.tenMessages = checked->wakeups - after->wakeups;
    }
    app.stop();
    return result;
}

void Bench::idleRows() {
    for (Store store : {Store::Full, Store::Empty}) {
        // Each state beside its own baseline: the tray program, or the plain window.
        const Idle td = idle(subjects_.tillerdock, store);
        const Idle base = idle(baselineFor(store), store);
        const char* state =
            store == Store::Full ? "in the tray (32 keys)" : "window shown (empty store)";
        const bool linux = td.fromLinux;
        rows_.push_back({format("Idle %s over 10 s, %s", linux ? "wake-ups" : "CPU cycles", state),
                         fixed(td.wakeups, "%.0f"), fixed(base.wakeups, "%.0f"),
                         ratioOf(td.wakeups, base.wakeups), "0",
                         verdict(td.wakeups.has_value(), td.wakeups && *td.wakeups == 0)});
        rows_.push_back({format("Idle CPU time over 10 s, %s (ms)", state), fixed(td.cpuMs, "%.2f"),
                         fixed(base.cpuMs, "%.2f"), ratioOf(td.cpuMs, base.cpuMs), "0",
                         verdict(td.cpuMs.has_value(), td.cpuMs && *td.cpuMs < 0.005)});
        if (linux && store == Store::Full)
            notes_.push_back(format(
                "Wake-ups are the voluntary context switches Linux counts for the "
                "program's process. As a check, ten messages sent one at a time after the "
                "idle time counted %s wake-ups for Tillerdock and %s for the tray baseline.",
                fixed(td.tenMessages, "%.0f").c_str(), fixed(base.tenMessages, "%.0f").c_str()));
    }
}

}  // namespace bench
