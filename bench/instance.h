// The programs under test: Tillerdock and the baselines, each started, watched and closed as
// a user's program.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "linux_view.h"
#include "small_tools.h"

namespace bench {

// A program the benchmark starts: its file, the window and tray icon it makes, whether it asks
// the shell for version 4's callbacks, and what its command line gives it after its path.
struct Subject {
    const char* name;
    std::wstring exe;
    const wchar_t* windowClass;
    UINT iconId;
    bool trayVersion4 = false;
    std::wstring arguments = {};
};

// The process's windows, top-level and child: USER objects that Wine's GetGuiResources
// does not count.
int windowCount(DWORD pid);

// Whether the shell holds this icon: modifying nothing succeeds only for an icon it has.
bool iconPresent(HWND owner, UINT id);

// What one start cost, from CreateProcess until the program is ready (waiting for input,
// with its window created and its icon in the shell): the wall-clock time, the program's own
// CPU time (user and kernel), and under Wine the CPU time of the processes that worked for it
// over the same interval.
struct StartCost {
    double ms = 0;
    std::optional<double> cpuMs;
    std::optional<double> serverMs, displayMs, shellMs;
};

// One running program.
class Instance {
public:
    explicit Instance(const Subject& subject) : subject_(subject) {}
    ~Instance() { stop(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // Starts the program and returns what the start cost: until it waits for input
    // (WaitForInputIdle) with its window created and its icon in the shell. Both are normally
    // there when it first waits for input; if not, the later of the two counts. The servers'
    // CPU time is measured when given.
    std::optional<StartCost> start(const WineServers* servers = nullptr);

    // Closes the program as the user would (its window's close), and waits for it to end.
    bool stop();

    // Waits until the program has handled everything sent or posted to it so far.
    void sync() const;

    // Whether the last start waited for the icon after WaitForInputIdle returned.
    bool iconAfterIdle() const { return iconAfterIdle_; }
    HANDLE process() const { return process_.handle.get(); }
    DWORD pid() const { return process_.id; }
    HWND window() const { return window_; }
    const Subject& subject() const { return subject_; }

    // The Linux process behind it, under Wine.
    std::optional<unsigned long> linuxPid();

private:
    const Subject& subject_;
    drive::Process process_;
    HWND window_ = nullptr;
    bool iconAfterIdle_ = false;
    std::optional<unsigned long> linuxPid_;
};

}  // namespace bench
