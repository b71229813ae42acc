#include "linux_view.h"

#include <windows.h>

#include <algorithm>

namespace bench {

const char* wineVersion() {
    using VersionFunction = const char*(CDECL*)();
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    return found ? reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(found))() : nullptr;
}

bool linuxViewAvailable() {
    return wineVersion() &&
           GetFileAttributesW(L"Z:\\proc\\self\\status") != INVALID_FILE_ATTRIBUTES;
}

namespace {

std::wstring procPath(unsigned long pid, const wchar_t* name) {
    return L"Z:\\proc\\" + std::to_wstring(pid) + L"\\" + name;
}

// The numbered entries of a folder of /proc: process or thread ids.
std::vector<std::wstring> subfolders(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.cFileName[0] >= L'0' && found.cFileName[0] <= L'9')
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string lowered(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// The words of a NUL-separated file: /proc/<pid>/cmdline or environ.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> list;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\0', at), text.size());
        list.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return list;
}

// /proc/<pid>/stat: the command name (in parentheses), then fields 3 on: state ... start
// time (field 22).
struct Stat {
    std::string name;
    std::vector<std::string> fields;
};

std::optional<Stat> statOf(unsigned long pid) {
    const auto text = readFile(procPath(pid, L"stat"));
    if (!text) return std::nullopt;
    const std::size_t open = text->find('('), close = text->rfind(')');
    if (open == std::string::npos || close == std::string::npos) return std::nullopt;
    Stat stat{text->substr(open + 1, close - open - 1), {}};
    for (std::size_t at = close + 2; at < text->size();) {
        const std::size_t end = std::min(text->find(' ', at), text->size());
        stat.fields.push_back(text->substr(at, end - at));
        at = end + 1;
    }
    if (stat.fields.size() < 20 || stat.fields[0] == "Z") return std::nullopt;
    return stat;
}

// Whether the process's program is this path, in Windows or Linux form.
bool runs(unsigned long pid, const std::string& asWindows, const std::string& asLinux) {
    const auto commandLine = readFile(procPath(pid, L"cmdline"));
    if (!commandLine || commandLine->empty()) return false;
    const std::string program = commandLine->substr(0, commandLine->find('\0'));
    return lowered(program) == lowered(asWindows) || (!asLinux.empty() && program == asLinux);
}

double schedstatMs(const std::string& text) {
    // "run time (ns) wait time (ns) timeslices": the first is the CPU time.
    return std::strtod(text.c_str(), nullptr) / 1e6;
}

std::string environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length && length < 1024 ? narrow(value) : std::string();
}

// The value of a variable in the process's environment, empty when it has none.
std::string environmentOf(unsigned long pid, const std::string& name) {
    const auto text = readFile(procPath(pid, L"environ"));
    if (!text) return {};
    for (const std::string& entry : words(*text))
        if (entry.compare(0, name.size() + 1, name + "=") == 0)
            return entry.substr(name.size() + 1);
    return {};
}

}  // namespace

std::optional<unsigned long> lastLinuxPid() {
    // "0.52 0.58 0.59 2/345 6789": the last is the most recently given process id.
    const auto text = readFile(L"Z:\\proc\\loadavg");
    if (!text) return std::nullopt;
    const std::size_t at = text->rfind(' ');
    if (at == std::string::npos) return std::nullopt;
    return std::strtoul(text->c_str() + at + 1, nullptr, 10);
}

std::optional<unsigned long> linuxProcessOf(const std::wstring& windowsPath,
                                            std::optional<unsigned long> after) {
    const std::string asWindows = narrow(windowsPath);
    std::string asLinux;
    if (asWindows.size() > 2 && (asWindows[0] == 'Z' || asWindows[0] == 'z') &&
        asWindows[1] == ':') {
        asLinux = asWindows.substr(2);
        std::replace(asLinux.begin(), asLinux.end(), '\\', '/');
    }
    const auto last = after ? lastLinuxPid() : std::nullopt;
    if (after && last && *last >= *after) {
        // Ids are given out in order: the process's own id comes before its threads' ids.
        for (unsigned long pid = *after + 1; pid <= *last; ++pid)
            if (runs(pid, asWindows, asLinux) && statOf(pid)) return pid;
        return std::nullopt;
    }
    std::optional<unsigned long> best;
    unsigned long long bestStart = 0;
    for (const std::wstring& name : subfolders(L"Z:\\proc")) {
        const unsigned long pid = std::wcstoul(name.c_str(), nullptr, 10);
        if (!runs(pid, asWindows, asLinux)) continue;
        const auto stat = statOf(pid);
        if (!stat) continue;
        const unsigned long long started = std::stoull(stat->fields[19]);
        if (!best || started >= bestStart) {
            best = pid;
            bestStart = started;
        }
    }
    return best;
}

std::optional<LinuxTotals> linuxTotals(unsigned long pid) {
    const std::wstring tasks = procPath(pid, L"task");
    LinuxTotals totals;
    for (const std::wstring& tid : subfolders(tasks)) {
        const auto schedule = readFile(tasks + L"\\" + tid + L"\\schedstat");
        const auto status = readFile(tasks + L"\\" + tid + L"\\status");
        if (!schedule || !status) continue;
        totals.cpuMs += schedstatMs(*schedule);
        const std::string voluntary = fieldOf(*status, "voluntary_ctxt_switches");
        const std::string involuntary = fieldOf(*status, "nonvoluntary_ctxt_switches");
        if (!voluntary.empty()) totals.voluntarySwitches += std::stoull(voluntary);
        if (!involuntary.empty()) totals.involuntarySwitches += std::stoull(involuntary);
        ++totals.threads;
    }
    if (totals.threads == 0) return std::nullopt;
    return totals;
}

std::optional<double> linuxCpuMs(unsigned long pid) {
    const std::wstring tasks = procPath(pid, L"task");
    double ms = 0;
    int threads = 0;
    for (const std::wstring& tid : subfolders(tasks)) {
        if (const auto schedule = readFile(tasks + L"\\" + tid + L"\\schedstat")) {
            ms += schedstatMs(*schedule);
            ++threads;
        }
    }
    if (threads == 0) return std::nullopt;
    return ms;
}

std::optional<CpuClock> CpuClock::open(unsigned long pid) {
    CpuClock clock;
    clock.pid_ = pid;
    const std::wstring tasks = procPath(pid, L"task");
    for (const std::wstring& tid : subfolders(tasks)) {
        HANDLE file =
            CreateFileW((tasks + L"\\" + tid + L"\\schedstat").c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) clock.files_.emplace_back(file);
    }
    if (clock.files_.empty() || !clock.ms()) return std::nullopt;
    return clock;
}

std::optional<double> CpuClock::ms() const {
    double total = 0;
    for (const auto& file : files_) {
        // Read from the start each time: Linux writes the figure anew for each read there.
        char text[128];
        DWORD got = 0;
        OVERLAPPED from = {};
        if (!ReadFile(file.get(), text, sizeof(text) - 1, &got, &from) || got == 0)
            return std::nullopt;
        text[got] = '\0';
        total += schedstatMs(text);
    }
    return total;
}

WineServers findWineServers() {
    WineServers servers;
    if (!linuxViewAvailable()) return servers;
    const std::string prefix = environment(L"WINEPREFIX");
    std::string display = environment(L"DISPLAY");
    display = display.substr(0, display.find('.', display.find(':')));
    for (const std::wstring& name : subfolders(L"Z:\\proc")) {
        const unsigned long pid = std::wcstoul(name.c_str(), nullptr, 10);
        const auto stat = statOf(pid);
        if (!stat) continue;
        std::optional<CpuClock>* found = nullptr;
        if (stat->name.rfind("wineserver", 0) == 0) {
            if (environmentOf(pid, "WINEPREFIX") == prefix) found = &servers.wine;
        } else if (stat->name == "Xvfb" || stat->name == "Xorg" || stat->name == "X") {
            const auto commandLine = readFile(procPath(pid, L"cmdline"));
            const auto arguments = words(commandLine.value_or(""));
            if (!display.empty() &&
                std::find(arguments.begin(), arguments.end(), display) != arguments.end())
                found = &servers.display;
        } else if (runs(pid, "C:\\windows\\system32\\explorer.exe", "") &&
                   environmentOf(pid, "WINEPREFIX") == prefix) {
            found = &servers.shell;
        }
        if (found && !*found) *found = CpuClock::open(pid);
    }
    return servers;
}

}  // namespace bench
