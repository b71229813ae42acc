// Wine and the Linux process behind each Windows process.
//
// Under Wine a Windows process is a Linux process, and Linux counts what Wine does not pass on
// to Win32 for another process: its CPU time to the nanosecond and its context switches. A
// thread that sleeps in GetMessage and wakes for a message or a timer makes one voluntary
// switch per wake-up, so that count is the wake-up count. Part of every Wine program's work
// is done in other Linux processes: the Wine server, the X server and the prefix's shell
// (explorer.exe, which holds the tray). The folder /proc is reached through Wine's drive Z:,
// which maps the Linux root.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "small_tools.h"

namespace bench {

// Wine's version, or null on Windows.
const char* wineVersion();

struct LinuxTotals {
    double cpuMs = 0;
    unsigned long long voluntarySwitches = 0;
    unsigned long long involuntarySwitches = 0;
    int threads = 0;
};

// Whether this runs under Wine with Linux's /proc in reach.
bool linuxViewAvailable();

// The Linux process id given out last (the last field of /proc/loadavg): a process started
// after this reading has a larger one, until the ids wrap around.
std::optional<unsigned long> lastLinuxPid();

// The Linux process whose program (its first command-line word) is this Windows path, or the
// same path in Linux form. With `after`, only the processes started since that id was given
// out are looked at, the first one found; without, every process, the most recently started.
std::optional<unsigned long> linuxProcessOf(const std::wstring& windowsPath,
                                            std::optional<unsigned long> after = std::nullopt);

// CPU time and context switches of all the process's threads so far.
std::optional<LinuxTotals> linuxTotals(unsigned long pid);

// The CPU time of all the process's threads so far, in milliseconds.
std::optional<double> linuxCpuMs(unsigned long pid);

// The CPU time of a long-running process, read through files opened once. Wine opens a file
// through its server but reads an open one without it, so a reading adds nothing to the Wine
// server's own CPU time. Threads the process starts later are not counted.
class CpuClock {
public:
    static std::optional<CpuClock> open(unsigned long pid);
    std::optional<double> ms() const;
    unsigned long pid() const { return pid_; }
    std::size_t threads() const { return files_.size(); }

private:
    unsigned long pid_ = 0;
    std::vector<UniqueHandle> files_;  // /proc/<pid>/task/<tid>/schedstat
};

// The other processes that work for a Wine program: the Wine server of this prefix, the X
// server of this display and the prefix's shell. None on Windows, or where not found.
struct WineServers {
    std::optional<CpuClock> wine, display, shell;
};
WineServers findWineServers();

}  // namespace bench
