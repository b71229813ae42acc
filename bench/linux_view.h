// Wine and the Linux process behind each Windows process.
//
// Under Wine a Windows process is a Linux process, and Linux counts what Wine does not pass on
// to Win32 for another process: its CPU time to the nanosecond and its context switches. A
// thread that sleeps in GetMessage and wakes for a message or a timer makes one voluntary
// switch per wake-up, so that count is the wake-up count. The folder /proc is reached through
// Wine's drive Z:, which maps the Linux root.
#pragma once

#include <optional>
#include <string>

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

// The Linux process whose program (its first command-line word) is this Windows path, or the
// same path in Linux form; the most recently started one when there are several.
std::optional<unsigned long> linuxProcessOf(const std::wstring& windowsPath);

// CPU time and context switches of all the process's threads so far.
std::optional<LinuxTotals> linuxTotals(unsigned long pid);

}  // namespace bench
