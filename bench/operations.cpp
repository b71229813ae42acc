// The repeated operations: memory and objects before and after 1,000 openings of the launch
// menu and 100 group launches; then the launch latency against a bare CreateProcess. Both
// from the tray, beside the tray baseline.
#include <functional>

#include "bench.h"
#include "driving.h"
#include "shared/window_ids.h"

namespace bench {

namespace ids = td::ids;

void Bench::operationsAndLatency() {
    prepare(Store::Full);
    Instance base(subjects_.trayBaseline);
    prepare(Store::Full);
    Instance app(subjects_.tillerdock);
    const bool started = app.start() && base.start();
    if (!started) notes_.push_back("The programs did not start for the repeated operations.");
    // Without the programs every figure is reported as not measured: its target is missed.
    growthRows(started ? repeatOperations(app, base) : Growth{});
    latencyRows(started ? &app : nullptr);
    app.stop();
    base.stop();
}

Growth Bench::repeatOperations(Instance& app, Instance& base) {
    Growth g;
    Sleep(300);
    app.sync();
    g.atStart = sampleResources(app);

    // A few of each first: the first menu and the first start allocate what every later one
    // reuses (caches, the heap's first blocks); growth after that is a leak.
    constexpr int kWarmMenus = 20, kWarmLaunches = 5, kMenus = 1000, kLaunches = 100;
    // A series stops at its first failure: each failure waits out a time-out.
    const auto repeat = [](int times, const std::function<bool()>& operation) {
        int done = 0;
        while (done < times && operation()) ++done;
        return done;
    };
    const auto openMenu = [&] { return openLaunchMenu(app); };
    const auto launchGroup = [&] {
        return commandLaunch(app, started_, ids::kMenuGroupLaunch).has_value();
    };
    const int menus = repeat(kWarmMenus, openMenu);
    const int launches = repeat(kWarmLaunches, launchGroup);
    Sleep(300);
    app.sync();
    g.warm = sampleResources(app);

    const double begin = nowMs();
    const int menusDone = repeat(kMenus, openMenu);
    const double menuMs = nowMs() - begin;
    const int launchesDone = repeat(kLaunches, launchGroup);
    Sleep(300);
    app.sync();
    g.after = sampleResources(app);
    base.sync();
    g.baseAfter = sampleResources(base);
    notes_.push_back(format(
        "Repeated operations: %d of %d launch-menu openings (tray pop-up, %.1f ms each) and %d "
        "of %d group launches completed, after %d openings and %d launches to warm up.",
        menusDone, kMenus, menusDone ? menuMs / menusDone : 0.0, launchesDone, kLaunches, menus,
        launches));
    g.complete = menusDone == kMenus && launchesDone == kLaunches;
    return g;
}

void Bench::growthRows(const Growth& g) {
    const bool measured = g.after && g.baseAfter;
    const auto value = [](const std::optional<Resources>& r, auto field) -> std::optional<double> {
        if (!r) return std::nullopt;
        return static_cast<double>((*r).*field);
    };
    const auto pa = value(g.after, &Resources::privateKb);
    const auto pb = value(g.baseAfter, &Resources::privateKb);
    rows_.push_back({"Private bytes after 1,000 openings + 100 launches (KB)", whole(pa), whole(pb),
                     ratioOf(pa, pb), "<= 1.2x tray baseline",
                     verdict(measured, measured && *pa <= 1.2 * *pb)});
    const auto wa = value(g.after, &Resources::workingSetKb);
    const auto wb = value(g.baseAfter, &Resources::workingSetKb);
    rows_.push_back(informationRow("Working set after 1,000 openings + 100 launches (KB)",
                                   whole(wa), whole(wb), ratioOf(wa, wb)));

    // Growth: from after the warm-up to after all operations. The system counts memory in
    // pages; a few pages either way are the heap's own rounding, while a leak grows with the
    // 1,100 operations.
    const auto countRow = [&](const char* what, auto field, double allowed) {
        const auto s = value(g.atStart, field), w = value(g.warm, field);
        const auto a = value(g.after, field);
        rows_.push_back(
            {format("Growth: %s (start / warm / after)", what),
             whole(s) + " / " + whole(w) + " / " + whole(a), "-", "-",
             allowed > 0 ? format("<= +%.0f after warm-up", allowed) : "no growth after warm-up",
             verdict(g.complete && w && a, w && a && *a - *w <= allowed)});
    };
    countRow("private bytes, KB", &Resources::privateKb, 64);
    countRow("working set, KB", &Resources::workingSetKb, 64);
    countRow("handles", &Resources::handles, 0);
    countRow("windows", &Resources::windows, 0);
    // Wine counts no GDI and USER objects (GetGuiResources returns 0 for every process):
    // there the window count stands in for USER objects, and private bytes for GDI objects.
    const bool guiCounted =
        !measured || g.atStart->gdi || g.atStart->user || g.after->gdi || g.after->user;
    if (guiCounted) {
        countRow("GDI objects", &Resources::gdi, 0);
        countRow("USER objects", &Resources::user, 0);
    } else {
        notes_.push_back(
            "GetGuiResources returns 0 for every process on this system (Wine does not count "
            "GDI and USER objects), so the table has no rows for them: the window count stands "
            "in for USER objects, and private bytes for GDI objects, which Wine keeps in the "
            "process's own memory.");
    }
}

// Tillerdock's slot command and a bare CreateProcess, alternating; no figures without the
// program.
void Bench::latencyRows(Instance* app) {
    std::vector<double> menuLaunches, bareLaunches;
    if (app) {
        commandLaunch(*app, started_, ids::kMenuSlotBase + 1);
        bareLaunch(target_, started_);
    }
    int failures = 0;
    for (int run = 0; app && run < std::max(options_.runs, 10) * 2 && failures < 3; ++run) {
        std::optional<double> viaMenu, bare;
        if (run & 1) {
            bare = bareLaunch(target_, started_);
            viaMenu = commandLaunch(*app, started_, ids::kMenuSlotBase + 1);
        } else {
            viaMenu = commandLaunch(*app, started_, ids::kMenuSlotBase + 1);
            bare = bareLaunch(target_, started_);
        }
        if (!viaMenu || !bare) {
            ++failures;
            continue;
        }
        menuLaunches.push_back(*viaMenu);
        bareLaunches.push_back(*bare);
    }
    const auto ratio = pairedRatio(menuLaunches, bareLaunches);
    if (options_.raw) {
        std::printf("Launch latency (ms):\n");
        printSeries("slot command", menuLaunches);
        printSeries("bare CreateProcess", bareLaunches);
    }
    rows_.push_back(
        {format("Launch latency, slot command vs bare CreateProcess (ms, median of %zu)",
                menuLaunches.size()),
         withSpread(menuLaunches), withSpread(bareLaunches),
         withSpread(pairRatios(menuLaunches, bareLaunches), "%.2f"), "<= 1.1x bare CreateProcess",
         verdict(ratio.has_value(), ratio && *ratio <= 1.1)});
}

}  // namespace bench
