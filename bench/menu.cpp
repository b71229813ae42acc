// The time to the menu: from a press, the global shortcut's WM_HOTKEY or the tray icon's
// right-button callback, until the program's pop-up menu is on screen, for the first opening
// after start-up and for later ones; against the tray baseline opening the same menu, without
// icons, on the same press.
#include <windows.h>

#include <algorithm>

#include "bench.h"
#include "driving.h"
#include "linux_view.h"
#include "screen.h"

namespace bench {

namespace {

// Openings timed after the first, in each start.
constexpr int kLaterOpenings = 3;

// The program's CPU time so far. Under Wine, Linux's count for the threads the program had when
// the clock was made, read through files opened once, so that reading it asks nothing of the
// Wine server: the user-interface thread and Wine's own. A thread the program starts later (the
// icons' thread, at the first opening once the menu is shown) is not counted; what the
// user-interface thread waits for is in the wall-clock time. On Windows, the process's CPU
// cycles at the processor's rated speed: GetProcessTimes counts in clock ticks of 15.6 ms,
// longer than an opening.
class ProcessClock {
public:
    explicit ProcessClock(Instance& app) : process_(app.process()) {
        if (linuxViewAvailable()) {
            if (const auto pid = app.linuxPid()) linux_ = CpuClock::open(*pid);
            return;
        }
        DWORD mhz = 0, size = sizeof(mhz);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                         L"~MHz", RRF_RT_REG_DWORD, nullptr, &mhz, &size) == ERROR_SUCCESS)
            cyclesPerMs_ = mhz * 1000.0;
    }
    std::optional<double> ms() const {
        if (linux_) return linux_->ms();
        ULONG64 cycles = 0;
        if (cyclesPerMs_ <= 0 || !QueryProcessCycleTime(process_, &cycles)) return std::nullopt;
        return static_cast<double>(cycles) / cyclesPerMs_;
    }

private:
    HANDLE process_;
    std::optional<CpuClock> linux_;
    double cyclesPerMs_ = 0;
};

// Waits until the program has done what the last opening set in motion (under Wine, until its
// CPU time, every thread's, stands still for 20 ms), so that it does not run while the other
// program's opening is timed.
void waitQuiet(Instance& app) {
    const auto pid = app.linuxPid();
    if (!pid) {
        Sleep(100);
        return;
    }
    std::optional<double> before = linuxCpuMs(*pid);
    for (int i = 0; i < 100; ++i) {
        Sleep(20);
        const std::optional<double> now = linuxCpuMs(*pid);
        if (!now || !before || *now - *before < 0.01) return;
        before = now;
    }
}

struct Opening {
    double ms = 0;
    std::optional<double> cpuMs;
    // When the driver first saw the window visible (IsWindowVisible), for the notes.
    double visibleMs = 0;
};

// One picture of the menu as it was on the screen, from when the driver first saw it.
struct Seen {
    double ms = 0;
    std::optional<double> cpuMs;
    Picture picture;
};

// The menu from the moment its window is visible until the program has finished with it (its
// CPU time and the picture on the screen unchanged for 30 ms, at most 2 s): each picture that
// differs from the one before, with when it was first seen.
std::vector<Seen> watch(HWND popup, double begin, std::optional<double> cpuBefore,
                        const ProcessClock& clock, Screen& screen) {
    std::vector<Seen> seen;
    RECT place = {};
    if (!GetWindowRect(popup, &place)) return seen;
    const auto spent = [&]() -> std::optional<double> {
        const auto now = clock.ms();
        if (!now || !cpuBefore) return std::nullopt;
        return *now - *cpuBefore;
    };
    std::optional<double> lastCpu;
    double changed = nowMs();
    while (nowMs() - changed < 30 && nowMs() - begin < 2000) {
        const double at = nowMs() - begin;
        Picture picture = screen.read(place);
        const auto cpu = spent();
        const bool same = !seen.empty() && picture.sameFrom(seen.back().picture, 0);
        if (!same) seen.push_back({at, cpu, std::move(picture)});
        if (!same || !cpu || !lastCpu || *cpu - *lastCpu > 0.005) changed = nowMs();
        lastCpu = cpu;
        Sleep(1);
    }
    return seen;
}

// One opening: the press posted, then the time until the menu is drawn on the screen as it
// ends up (right of the icons' column: icons may come later), and the program's CPU time over
// it; then the menu closed, and the program left to finish.
std::optional<Opening> timeOpening(Instance& app, const ProcessClock& clock, Press press,
                                   UserWindow& user, Screen& screen) {
    user.toFront();
    const auto cpuBefore = clock.ms();
    const double begin = nowMs();
    postPress(app, press, kMenuHotKey);
    HWND popup = nullptr;
    if (!waitUntil([&] { return (popup = visiblePopupMenu(app.pid())) != nullptr; }, 10000)) {
        std::printf("  %s: no menu after the press\n", app.subject().name);
        return std::nullopt;
    }
    Opening opening;
    opening.visibleMs = nowMs() - begin;
    const std::vector<Seen> seen = watch(popup, begin, cpuBefore, clock, screen);
    const int captions = 3 * GetSystemMetrics(SM_CXSMICON);
    const auto drawn = std::find_if(seen.begin(), seen.end(), [&](const Seen& s) {
        return s.picture.sameFrom(seen.back().picture, captions);
    });
    if (!closeMenu(app, popup) || drawn == seen.end()) {
        std::printf("  %s: the menu was not seen on the screen\n", app.subject().name);
        return std::nullopt;
    }
    opening.ms = drawn->ms;
    opening.cpuMs = drawn->cpuMs;
    waitQuiet(app);
    UserWindow::pump();
    return opening;
}

// Both programs' openings, in pairs: run i of each series is a pair.
struct MenuSeries {
    std::vector<double> ms, cpuMs, baseMs, baseCpuMs;
    std::vector<double> visibleMs, baseVisibleMs;  // when the window was first seen visible
    void add(const Opening& td, const Opening& base) {
        ms.push_back(td.ms);
        baseMs.push_back(base.ms);
        visibleMs.push_back(td.visibleMs);
        baseVisibleMs.push_back(base.visibleMs);
        if (!td.cpuMs || !base.cpuMs) return;
        cpuMs.push_back(*td.cpuMs);
        baseCpuMs.push_back(*base.cpuMs);
    }
};

}  // namespace

// Per run and press, one start of each program (Tillerdock first, so that it holds the shortcut
// the baseline also asks for) and their openings in pairs, the first after start-up and three
// later ones, in turn first. One run first, not counted, brings the files into the cache.
void Bench::menuRows() {
    Subject baseline = subjects_.trayBaseline;
    baseline.arguments = L"--hotkey " + std::to_wstring(kMenuHotKey);
    UserWindow user;
    Screen screen;
    for (Press press : {Press::HotKey, Press::Tray}) {
        MenuSeries first, later;
        int failed = 0;
        for (int run = -1; run < options_.runs && failed < 3; ++run) {
            prepare(Store::Menu);
            Instance a(subjects_.tillerdock), b(baseline);
            if (!a.start() || !b.start()) {
                ++failed;
                continue;
            }
            Sleep(300);
            a.sync();
            b.sync();
            const ProcessClock clockA(a), clockB(b);
            for (int opening = 0; opening <= kLaterOpenings; ++opening) {
                std::optional<Opening> oa, ob;
                if ((run + opening) & 1) {
                    ob = timeOpening(b, clockB, press, user, screen);
                    oa = timeOpening(a, clockA, press, user, screen);
                } else {
                    oa = timeOpening(a, clockA, press, user, screen);
                    ob = timeOpening(b, clockB, press, user, screen);
                }
                if (!oa || !ob) {
                    ++failed;
                    break;
                }
                if (run >= 0) (opening == 0 ? first : later).add(*oa, *ob);
            }
            a.stop();
            b.stop();
        }
        const char* how = press == Press::HotKey ? "shortcut (WM_HOTKEY)" : "tray right click";
        const struct {
            const char* which;
            const MenuSeries& series;
            double limit;
            const char* target;
        } figures[] = {{"first opening", first, 1.1, "<= 1.1x tray baseline"},
                       {"later openings", later, 1.05, "<= 1.05x tray baseline"}};
        for (const auto& f : figures) {
            if (options_.raw) {
                std::printf("Time to the menu, %s, %s (ms of CPU time, then wall-clock ms):\n", how,
                            f.which);
                printSeries("Tillerdock", f.series.cpuMs);
                printSeries("baseline", f.series.baseCpuMs);
                printSeries("Tillerdock", f.series.ms);
                printSeries("baseline", f.series.baseMs);
            }
            rows_.push_back(
                pairedRow(format("Time to the menu, %s, %s: CPU time (ms, median of %zu)", how,
                                 f.which, f.series.cpuMs.size()),
                          f.series.cpuMs, f.series.baseCpuMs, f.target, f.limit));
            rows_.push_back(pairedRow(format("... wall-clock time, %s, %s (ms)", how, f.which),
                                      f.series.ms, f.series.baseMs, nullptr, 0));
        }
        notes_.push_back(format(
            "Time to the menu, %s: the window was first seen visible (IsWindowVisible) after "
            "%s ms at the first opening and %s ms at later ones for Tillerdock, %s and %s ms for "
            "the tray baseline (medians); its menu was drawn on the screen later (the rows).",
            how, fixed(median(first.visibleMs)).c_str(), fixed(median(later.visibleMs)).c_str(),
            fixed(median(first.baseVisibleMs)).c_str(),
            fixed(median(later.baseVisibleMs)).c_str()));
    }
    menuOrderRow(user);
}

}  // namespace bench
