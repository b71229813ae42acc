#include "machine.h"

#include <windows.h>

#include "linux_view.h"
#include "small_tools.h"

namespace bench {

namespace {

std::string registryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buffer[256] = {};
    DWORD bytes = sizeof(buffer);
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return {};
    return narrow(buffer);
}

}  // namespace

std::string loadAverage() {
    const auto text = readFile(L"Z:\\proc\\loadavg");
    if (!text) return "n/a";
    // "1.02 0.87 0.55 2/345 6789": the first three are the 1, 5 and 15 minute averages.
    std::size_t end = 0;
    for (int i = 0; i < 3 && end != std::string::npos; ++i) end = text->find(' ', end + 1);
    return text->substr(0, end);
}

Machine describeMachine() {
    Machine m;
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    m.cores = format("%lu logical processors", system.dwNumberOfProcessors);
    MEMORYSTATUSEX memory = {sizeof(memory)};
    GlobalMemoryStatusEx(&memory);
    m.memory =
        format("%.1f GiB", static_cast<double>(memory.ullTotalPhys) / (1024.0 * 1024 * 1024));
    if (linuxViewAvailable()) {
        const auto cpuinfo = readFile(L"Z:\\proc\\cpuinfo");
        m.cpu = cpuinfo ? fieldOf(*cpuinfo, "model name") : "";
        const auto release = readFile(L"Z:\\etc\\os-release");
        const auto kernel = readFile(L"Z:\\proc\\sys\\kernel\\osrelease");
        m.os = (release ? fieldOf(*release, "PRETTY_NAME") : "Linux") + ", Linux kernel " +
               (kernel ? kernel->substr(0, kernel->find('\n')) : "?");
    } else {
        m.cpu =
            registryText(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                         L"ProcessorNameString");
        const wchar_t* version = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        m.os = registryText(HKEY_LOCAL_MACHINE, version, L"ProductName") + ", build " +
               registryText(HKEY_LOCAL_MACHINE, version, L"CurrentBuild");
    }
    m.wine = wineVersion() ? wineVersion() : "none (Windows)";
    m.load = loadAverage();
    return m;
}

}  // namespace bench
