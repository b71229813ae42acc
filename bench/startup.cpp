// Start-up cost (CPU time and wall-clock time) and the memory after it, and the size of the
// program.
#include "bench.h"
#include "linux_view.h"
#include "resources.h"

namespace bench {

// Start-up cost and the memory after it, with one store: per run one start of Tillerdock and
// one of the baseline for that store (a pair), in turn first. The second starts as soon as the
// first is ready, so that both meet the same conditions on the machine (its load, and the
// speed its processor gets from a host that shares it); the first waits in its message loop
// meanwhile. Their memory is read 300 ms later. A pair where either start failed is left out.
void Bench::startup(Store store, StartupFigures& td, StartupFigures& base) {
    const Subject& baseline = baselineFor(store);
    // One pair first, not counted: it brings the files into the cache.
    for (int run = -1; run < options_.runs; ++run) {
        prepare(store);
        Instance a(subjects_.tillerdock), b(baseline);
        std::optional<StartCost> ca, cb;
        if (run & 1) {
            cb = b.start(&servers_);
            ca = a.start(&servers_);
        } else {
            ca = a.start(&servers_);
            cb = b.start(&servers_);
        }
        if (!ca || !cb) continue;
        // The memory once the programs have finished what their start set in motion.
        Sleep(300);
        a.sync();
        b.sync();
        const Resources ra = sampleResources(a), rb = sampleResources(b);
        a.stop();
        b.stop();
        if (run < 0) continue;
        td.ms.push_back(ca->ms);
        base.ms.push_back(cb->ms);
        if (ca->cpuMs && cb->cpuMs) {
            td.cpuMs.push_back(*ca->cpuMs);
            base.cpuMs.push_back(*cb->cpuMs);
            // Each server's figure only where it has both, so that its series stay in pairs.
            const auto both = [](std::optional<double> x, std::optional<double> y,
                                 std::vector<double>& to, std::vector<double>& baseTo) {
                if (!x || !y) return;
                to.push_back(*x);
                baseTo.push_back(*y);
            };
            both(ca->serverMs, cb->serverMs, td.serverMs, base.serverMs);
            both(ca->displayMs, cb->displayMs, td.displayMs, base.displayMs);
            both(ca->shellMs, cb->shellMs, td.shellMs, base.shellMs);
        }
        td.iconAfterIdle += a.iconAfterIdle();
        base.iconAfterIdle += b.iconAfterIdle();
        td.privateKb.push_back(ra.privateKb);
        td.workingSetKb.push_back(ra.workingSetKb);
        base.privateKb.push_back(rb.privateKb);
        base.workingSetKb.push_back(rb.workingSetKb);
    }
}

// The shown start against the window baseline, the start into the tray against the tray
// baseline. The targets are on the program's CPU time and private bytes; the wall-clock time,
// the CPU time of the processes that worked for the program, and the working set are shown
// for information.
void Bench::startupRows() {
    for (Store store : {Store::Empty, Store::Full}) {
        StartupFigures td, base;
        startup(store, td, base);
        const bool shown = store == Store::Empty;
        const char* which = shown ? "window shown, empty store" : "in the tray, 32 keys";
        const double limit = shown ? 1.2 : 1.1;
        const char* target = shown ? "<= 1.2x window baseline" : "<= 1.1x tray baseline";
        notes_.push_back(format(
            "Start-up, %s: the icon was in the shell when WaitForInputIdle returned in %zu of "
            "%zu starts of Tillerdock and %zu of %zu of the %s.",
            which, td.ms.size() - td.iconAfterIdle, td.ms.size(),
            base.ms.size() - base.iconAfterIdle, base.ms.size(),
            shown ? "window baseline" : "tray baseline"));
        if (options_.raw) {
            std::printf("Start-up, %s (ms of CPU time, then wall-clock ms):\n", which);
            printSeries("Tillerdock", td.cpuMs);
            printSeries("baseline", base.cpuMs);
            printSeries("Tillerdock", td.ms);
            printSeries("baseline", base.ms);
        }
        rows_.push_back(
            pairedRow(format("Start-up CPU time, %s (ms, median of %zu)", which, td.cpuMs.size()),
                      td.cpuMs, base.cpuMs, target, limit));
        serverRows(which, td, base);
        rows_.push_back(pairedRow(
            format("Start-up wall-clock time, %s (ms, median of %zu)", which, td.ms.size()), td.ms,
            base.ms, nullptr, 0));
        const auto pa = median(td.privateKb), pb = median(base.privateKb);
        rows_.push_back({format("Private bytes after start-up, %s (KB)", which), whole(pa),
                         whole(pb), ratioOf(pa, pb), target,
                         verdict(pa && pb, pa && pb && *pa <= limit * *pb)});
        const auto wa = median(td.workingSetKb), wb = median(base.workingSetKb);
        rows_.push_back(informationRow(format("Working set after start-up, %s (KB)", which),
                                       whole(wa), whole(wb), ratioOf(wa, wb)));
    }
}

// Under Wine: the CPU time the Wine server, the X server and the shell spent over the same
// starts, beside the program's own.
void Bench::serverRows(const char* which, const StartupFigures& td, const StartupFigures& base) {
    const struct {
        const char* name;
        const std::vector<double>& a;
        const std::vector<double>& b;
    } servers[] = {{"Wine server", td.serverMs, base.serverMs},
                   {"X server", td.displayMs, base.displayMs},
                   {"shell (explorer.exe)", td.shellMs, base.shellMs}};
    for (const auto& server : servers) {
        if (server.a.empty()) continue;
        rows_.push_back(
            pairedRow(format("... %s's CPU time during that start, %s (ms)", server.name, which),
                      server.a, server.b, nullptr, 0));
    }
    if (options_.raw)
        for (const auto& server : servers) {
            std::printf("  %s (ms of CPU time):\n", server.name);
            printSeries("Tillerdock", server.a);
            printSeries("baseline", server.b);
        }
}

// The program's file against the tray baseline's, built with the same options.
void Bench::sizeRows() {
    const auto a = fileSize(subjects_.tillerdock.exe);
    const auto b = fileSize(subjects_.trayBaseline.exe);
    rows_.push_back({"Size of the .exe (bytes)", a ? grouped(*a) : "n/a", b ? grouped(*b) : "n/a",
                     a && b ? format("%.2f", static_cast<double>(*a) / *b) : "n/a",
                     "< 250 KB (256,000 bytes)", verdict(a.has_value(), a && *a < 250 * 1024)});
}

}  // namespace bench
