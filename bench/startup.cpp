// Start-up time and the memory after it, and the size of the program.
#include "bench.h"
#include "resources.h"

namespace bench {

// Start-up time and the memory after it, with one store, one start of Tillerdock and one of
// the baseline for that store per run (a pair); a pair where either start failed is left out.
void Bench::startup(Store store, StartupFigures& td, StartupFigures& base) {
    struct Start {
        double ms;
        Resources resources;
        bool iconAfterIdle;
    };
    const auto startOnce = [&](const Subject& subject) -> std::optional<Start> {
        prepare(store);
        Instance app(subject);
        const auto ms = app.start();
        if (!ms) return std::nullopt;
        // The memory once the program has finished what its start set in motion.
        Sleep(300);
        app.sync();
        const Resources r = sampleResources(app);
        app.stop();
        return Start{*ms, r, app.iconAfterIdle()};
    };
    const Subject& baseline = baselineFor(store);
    // One pair first, not counted: it brings the files into the cache.
    for (int run = -1; run < options_.runs; ++run) {
        std::optional<Start> a, b;
        if (run & 1) {
            b = startOnce(baseline);
            a = startOnce(subjects_.tillerdock);
        } else {
            a = startOnce(subjects_.tillerdock);
            b = startOnce(baseline);
        }
        if (run < 0 || !a || !b) continue;
        td.ms.push_back(a->ms);
        td.iconAfterIdle += a->iconAfterIdle;
        base.iconAfterIdle += b->iconAfterIdle;
        td.privateKb.push_back(a->resources.privateKb);
        td.workingSetKb.push_back(a->resources.workingSetKb);
        base.ms.push_back(b->ms);
        base.privateKb.push_back(b->resources.privateKb);
        base.workingSetKb.push_back(b->resources.workingSetKb);
    }
}

// The shown start against the window baseline, the start into the tray against the tray
// baseline: start-up time and private bytes at most 1.2 times the baseline's; the working set
// for information.
void Bench::startupRows() {
    for (Store store : {Store::Empty, Store::Full}) {
        StartupFigures td, base;
        startup(store, td, base);
        const bool shown = store == Store::Empty;
        const char* which = shown ? "window shown, empty store" : "in the tray, 32 keys";
        const char* target = shown ? "<= 1.2x window baseline" : "<= 1.2x tray baseline";
        notes_.push_back(format(
            "Start-up, %s: the icon was in the shell when WaitForInputIdle returned in %zu of "
            "%zu starts of Tillerdock and %zu of %zu of the %s.",
            which, td.ms.size() - td.iconAfterIdle, td.ms.size(),
            base.ms.size() - base.iconAfterIdle, base.ms.size(),
            shown ? "window baseline" : "tray baseline"));
        if (options_.raw) {
            std::printf("Start-up, %s (ms):\n", which);
            printSeries("Tillerdock", td.ms);
            printSeries("baseline", base.ms);
        }
        const auto a = median(td.ms), b = median(base.ms);
        const auto ratio = pairedRatio(td.ms, base.ms);
        rows_.push_back({format("Start-up, %s (ms, median of %zu)", which, td.ms.size()), fixed(a),
                         fixed(b), fixed(ratio, "%.2f"), target,
                         verdict(ratio.has_value(), ratio && *ratio <= 1.2)});
        const auto pa = median(td.privateKb), pb = median(base.privateKb);
        rows_.push_back({format("Private bytes after start-up, %s (KB)", which), whole(pa),
                         whole(pb), ratioOf(pa, pb), target,
                         verdict(pa && pb, pa && pb && *pa <= 1.2 * *pb)});
        const auto wa = median(td.workingSetKb), wb = median(base.workingSetKb);
        rows_.push_back(informationRow(format("Working set after start-up, %s (KB)", which),
                                       whole(wa), whole(wb), ratioOf(wa, wb)));
    }
}

// The program's file against the tray baseline's, built with the same options.
void Bench::sizeRows() {
    const auto a = fileSize(subjects_.tillerdock.exe);
    const auto b = fileSize(subjects_.trayBaseline.exe);
    rows_.push_back({"Size of the .exe (bytes)", a ? grouped(*a) : "n/a", b ? grouped(*b) : "n/a",
                     a && b ? format("%.2f", static_cast<double>(*a) / *b) : "n/a",
                     "< 300 KB (307,200 bytes)", verdict(a.has_value(), a && *a < 300 * 1024)});
}

}  // namespace bench
