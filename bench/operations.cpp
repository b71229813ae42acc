// The repeated operations: memory and objects before and after 1,000 openings of the launch
// menu and 100 group launches; then the launch latency against a bare CreateProcess.
#include <functional>

#include "app/window_ids.h"
#include "bench.h"
#include "driving.h"
#include "resources.h"

namespace bench {

void Bench::operationsAndLatency() {
    namespace ids = td::ids;
    prepare(Store::Full);
    Instance base(baseline_);
    prepare(Store::Full);
    Instance app(tillerdock_);
    if (!app.start() || !base.start()) {
        notes_.push_back("The programs did not start for the repeated operations.");
        return;
    }
    Sleep(300);
    app.sync();
    const Resources atStart = sampleResources(app);

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
    const Resources warm = sampleResources(app);

    const double begin = nowMs();
    const int menusDone = repeat(kMenus, openMenu);
    const double menuMs = nowMs() - begin;
    const int launchesDone = repeat(kLaunches, launchGroup);
    Sleep(300);
    app.sync();
    const Resources after = sampleResources(app);
    base.sync();
    const Resources baseAfter = sampleResources(base);
    notes_.push_back(format(
        "Repeated operations: %d of %d launch-menu openings (tray pop-up, %.1f ms each) and %d "
        "of %d group launches completed, after %d openings and %d launches to warm up.",
        menusDone, kMenus, menusDone ? menuMs / menusDone : 0.0, launchesDone, kLaunches, menus,
        launches));
    const bool complete = menusDone == kMenus && launchesDone == kLaunches;

    rows_.push_back({"Private bytes after 1,000 openings + 100 launches (KB)",
                     whole(after.privateKb), whole(baseAfter.privateKb),
                     ratioOf(after.privateKb, baseAfter.privateKb), "<= 1.2x baseline",
                     verdict(true, after.privateKb <= 1.2 * baseAfter.privateKb)});
    rows_.push_back({"Working set after 1,000 openings + 100 launches (KB)",
                     whole(after.workingSetKb), whole(baseAfter.workingSetKb),
                     ratioOf(after.workingSetKb, baseAfter.workingSetKb), "<= 1.2x baseline",
                     verdict(true, after.workingSetKb <= 1.2 * baseAfter.workingSetKb)});
    // Growth: from after the warm-up to after all operations. The system counts memory in
    // pages; a few pages either way are the heap's own rounding, while a leak grows with the
    // 1,100 operations.
    const auto countRow = [&](const char* what, double s, double w, double a, double allowed,
                              bool known) {
        rows_.push_back(
            {format("Growth: %s", what), whole(s) + " / " + whole(w) + " / " + whole(a), "-", "-",
             allowed > 0 ? format("<= +%.0f after warm-up", allowed) : "no growth after warm-up",
             verdict(complete && known, a - w <= allowed)});
    };
    countRow("private bytes, KB (start / warm / after)", atStart.privateKb, warm.privateKb,
             after.privateKb, 64, true);
    countRow("working set, KB (start / warm / after)", atStart.workingSetKb, warm.workingSetKb,
             after.workingSetKb, 64, true);
    countRow("handles (start / warm / after)", atStart.handles, warm.handles, after.handles, 0,
             true);
    countRow("windows (start / warm / after)", atStart.windows, warm.windows, after.windows, 0,
             true);
    const bool gdiCounted = atStart.gdi || atStart.user || after.gdi || after.user;
    countRow("GDI objects (start / warm / after)", atStart.gdi, warm.gdi, after.gdi, 0, gdiCounted);
    countRow("USER objects (start / warm / after)", atStart.user, warm.user, after.user, 0,
             gdiCounted);
    if (!gdiCounted)
        notes_.push_back(
            "GetGuiResources returns 0 for every process on this system (Wine does not count "
            "GDI and USER objects): the window count stands in for USER objects, and private "
            "bytes for GDI objects, which Wine keeps in the process's own memory.");

    // Launch latency: Tillerdock's slot command and a bare CreateProcess, alternating.
    std::vector<double> menuLaunches, bareLaunches;
    commandLaunch(app, started_, ids::kMenuSlotBase + 1);
    bareLaunch(target_, started_);
    int failures = 0;
    for (int run = 0; run < std::max(options_.runs, 10) * 2 && failures < 3; ++run) {
        std::optional<double> viaMenu, bare;
        if (run & 1) {
            bare = bareLaunch(target_, started_);
            viaMenu = commandLaunch(app, started_, ids::kMenuSlotBase + 1);
        } else {
            viaMenu = commandLaunch(app, started_, ids::kMenuSlotBase + 1);
            bare = bareLaunch(target_, started_);
        }
        if (!viaMenu || !bare) {
            ++failures;
            continue;
        }
        menuLaunches.push_back(*viaMenu);
        bareLaunches.push_back(*bare);
    }
    const auto a = median(menuLaunches), b = median(bareLaunches);
    const auto ratio = pairedRatio(menuLaunches, bareLaunches);
    if (options_.raw) {
        std::printf("Launch latency (ms):\n");
        printSeries("slot command", menuLaunches);
        printSeries("bare CreateProcess", bareLaunches);
    }
    rows_.push_back(
        {format("Launch latency, slot command vs bare CreateProcess (ms, median of %zu)",
                menuLaunches.size()),
         fixed(a), fixed(b), fixed(ratio, "%.2f"), "<= 1.1x bare CreateProcess",
         verdict(ratio.has_value(), ratio && *ratio <= 1.1)});
    app.stop();
    base.stop();
}

}  // namespace bench
