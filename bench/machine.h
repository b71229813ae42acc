// The machine a run measured on, for the report.
#pragma once

#include <string>

namespace bench {

struct Machine {
    std::string cpu, cores, memory, os, wine, load;
};

Machine describeMachine();

// Linux's load averages over 1, 5 and 15 minutes ("n/a" on Windows).
std::string loadAverage();

}  // namespace bench
