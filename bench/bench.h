// The measurements: what bench.exe runs, section by section, and the rows each adds to the
// report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "instance.h"
#include "report.h"
#include "small_tools.h"
#include "store.h"

namespace bench {

struct Options {
    int runs = 10;
    std::wstring only;
    std::wstring build;
    std::wstring markdown;
    bool probe = false;
    bool raw = false;

    bool wants(const wchar_t* part) const {
        return only.empty() ||
               (L"," + only + L",").find(L"," + std::wstring(part) + L",") != std::wstring::npos;
    }
};

struct StartupFigures {
    std::vector<double> ms;
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

class Bench {
public:
    Bench(Options options, Subject tillerdock, Subject baseline, std::wstring target,
          HANDLE started)
        : options_(std::move(options)),
          tillerdock_(std::move(tillerdock)),
          baseline_(std::move(baseline)),
          target_(std::move(target)),
          started_(started) {}

    int run();

private:
    void prepare(Store store) const { prepareStore(store, target_); }

    // startup.cpp
    void startup(Store store, StartupFigures& td, StartupFigures& base);
    void startupRows();
    void sizeRows();
    // idle.cpp
    Idle idle(const Subject& subject, Store store);
    void idleRows();
    // operations.cpp
    void operationsAndLatency();
    // probe.cpp
    void probe();

    Options options_;
    Subject tillerdock_;
    Subject baseline_;
    std::wstring target_;
    HANDLE started_;  // launch_target.exe sets it when it runs
    std::vector<Row> rows_;
    std::vector<std::string> notes_;
};

}  // namespace bench
