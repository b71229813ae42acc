// What is measured of a running program: its memory and objects, and its CPU time and
// wake-ups.
#pragma once

#include <windows.h>

#include <optional>

namespace bench {

class Instance;

struct Resources {
    double privateKb = 0, workingSetKb = 0;
    DWORD handles = 0, gdi = 0, user = 0;
    int windows = 0;
};

Resources sampleResources(Instance& app);

struct CpuSample {
    double at = 0;
    double cpuMs = 0;    // Linux's count under Wine, GetProcessTimes on Windows
    double wakeups = 0;  // voluntary context switches (Wine); CPU cycles (Windows)
    bool fromLinux = false;
};

std::optional<CpuSample> sampleCpu(Instance& app);

double fileTimeMs(const FILETIME& time);

}  // namespace bench
