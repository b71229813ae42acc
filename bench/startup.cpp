// Start-up time and the memory after it, and the size of the programs.
#include "bench.h"
#include "resources.h"

namespace bench {

// Start-up time and the memory after it, with one store, one start of each program per run
// (a pair); a pair where either start failed is left out.
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
    // One pair first, not counted: it brings the files into the cache.
    for (int run = -1; run < options_.runs; ++run) {
        std::optional<Start> a, b;
        if (run & 1) {
            b = startOnce(baseline_);
            a = startOnce(tillerdock_);
        } else {
            a = startOnce(tillerdock_);
            b = startOnce(baseline_);
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

void Bench::startupRows() {
    for (Store store : {Store::Empty, Store::Full}) {
        StartupFigures td, base;
        startup(store, td, base);
        const char* which = store == Store::Empty ? "empty store" : "32 keys";
        const auto a = median(td.ms), b = median(base.ms);
        const auto ratio = pairedRatio(td.ms, base.ms);
        notes_.push_back(
            format("Start-up, %s: the icon was in the shell when "
                   "WaitForInputIdle returned in %zu of %zu starts of "
                   "Tillerdock and %zu of %zu of the baseline.",
                   which, td.ms.size() - td.iconAfterIdle, td.ms.size(),
                   base.ms.size() - base.iconAfterIdle, base.ms.size()));
        if (options_.raw) {
            std::printf("Start-up, %s (ms):\n", which);
            printSeries("Tillerdock", td.ms);
            printSeries("baseline", base.ms);
        }
        rows_.push_back({format("Start-up, %s (ms, median of %zu)", which, td.ms.size()), fixed(a),
                         fixed(b), fixed(ratio, "%.2f"), "<= 1.2x baseline",
                         verdict(ratio.has_value(), ratio && *ratio <= 1.2)});
        for (int k = 0; k < 2; ++k) {
            const auto& tv = k == 0 ? td.privateKb : td.workingSetKb;
            const auto& bv = k == 0 ? base.privateKb : base.workingSetKb;
            const auto ma = median(tv), mb = median(bv);
            rows_.push_back({format("%s after start-up, %s (KB)",
                                    k == 0 ? "Private bytes" : "Working set", which),
                             whole(ma), whole(mb), ratioOf(ma, mb), "<= 1.2x baseline",
                             verdict(ma && mb, ma && mb && *ma <= 1.2 * *mb)});
        }
    }
}

void Bench::sizeRows() {
    const auto a = fileSize(tillerdock_.exe), b = fileSize(baseline_.exe);
    rows_.push_back({"Size of the .exe (bytes)", a ? grouped(*a) : "n/a", b ? grouped(*b) : "n/a",
                     a && b ? format("%.2f", static_cast<double>(*a) / *b) : "n/a",
                     "< 300 KB (307,200 bytes)", verdict(a.has_value(), a && *a < 300 * 1024)});
}

}  // namespace bench
