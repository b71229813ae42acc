// The measurements: what bench.exe runs, section by section, and the rows each adds to the
// report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "instance.h"
#include "linux_view.h"
#include "report.h"
#include "resources.h"
#include "small_tools.h"
#include "store.h"

namespace bench {

class UserWindow;

struct Options {
    int runs = 40;
    std::wstring only;
    std::wstring build;
    std::wstring markdown;
    std::wstring verdict;  // a file for the verdict line alone, for scripts
    bool probe = false;
    bool raw = false;

    bool wants(const wchar_t* part) const {
        return only.empty() ||
               (L"," + only + L",").find(L"," + std::wstring(part) + L",") != std::wstring::npos;
    }
};

// The starts of one program with one store, in pairs with the other program's: run i of each
// series is a pair. The CPU times are kept for the pairs where both programs' figure was read.
struct StartupFigures {
    std::vector<double> ms, cpuMs, serverMs, displayMs, shellMs;
    std::vector<double> privateKb, workingSetKb;
    std::size_t iconAfterIdle = 0;  // starts whose icon came after WaitForInputIdle returned
};

// CPU time and wake-ups of a program left alone for ten seconds.
struct Idle {
    std::optional<double> cpuMs, wakeups;
    // The check of the count itself: the wake-ups counted for ten messages sent one by one
    // after the idle time (at least ten when the count sees wake-ups at all).
    std::optional<double> tenMessages;
    bool fromLinux = false;
};

// The programs measured: Tillerdock and its two baselines.
struct Subjects {
    Subject tillerdock;
    // A tray program that holds one icon: the floor for a start into the tray and for
    // everything done from the tray.
    Subject trayBaseline;
    // Tillerdock's main window, menus and tray icon in plain Win32: the floor for a start
    // that shows the window.
    Subject windowBaseline;
};

// Repeated operations: Tillerdock's resources at start-up, after the warm-up and after all
// operations, and the tray baseline's at the end; none where the programs did not start.
struct Growth {
    std::optional<Resources> atStart, warm, after, baseAfter;
    bool complete = false;  // every operation done
};

class Bench {
public:
    Bench(Options options, Subjects subjects, std::wstring target, HANDLE started)
        : options_(std::move(options)),
          subjects_(std::move(subjects)),
          target_(std::move(target)),
          started_(started),
          servers_(findWineServers()) {}

    int run();

private:
    void prepare(Store store) const { prepareStore(store, target_); }

    // The baseline a state of the program is measured against.
    const Subject& baselineFor(Store store) const {
        return store == Store::Empty ? subjects_.windowBaseline : subjects_.trayBaseline;
    }

    // startup.cpp
    void startup(Store store, StartupFigures& td, StartupFigures& base);
    void startupRows();
    void serverRows(const char* which, const StartupFigures& td, const StartupFigures& base);
    void sizeRows();
    // idle.cpp
    Idle idle(const Subject& subject, Store store);
    void idleRows();
    // operations.cpp
    void operationsAndLatency();
    Growth repeatOperations(Instance& app, Instance& base);
    void growthRows(const Growth& growth);
    void latencyRows(Instance* app);
    // menu.cpp, menu_order.cpp
    void menuRows();
    void menuOrderRow(UserWindow& user);
    // probe.cpp
    void probe();

    Options options_;
    Subjects subjects_;
    std::wstring target_;
    HANDLE started_;       // launch_target.exe sets it when it runs
    WineServers servers_;  // the processes that work for a Wine program, measured beside it
    std::vector<Row> rows_;
    std::vector<std::string> notes_;
};

}  // namespace bench
