#include "linux_view.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "small_tools.h"

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

bool sameText(std::string a, std::string b) {
    auto lower = [](std::string& s) {
        for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    lower(a);
    lower(b);
    return a == b;
}

}  // namespace

std::optional<unsigned long> linuxProcessOf(const std::wstring& windowsPath) {
    const std::string asWindows = narrow(windowsPath);
    std::string asLinux;
    if (asWindows.size() > 2 && (asWindows[0] == 'Z' || asWindows[0] == 'z') &&
        asWindows[1] == ':') {
        asLinux = asWindows.substr(2);
        std::replace(asLinux.begin(), asLinux.end(), '\\', '/');
    }
    std::optional<unsigned long> best;
    unsigned long long bestStart = 0;
    for (const std::wstring& pid : subfolders(L"Z:\\proc")) {
        const auto commandLine = readFile(L"Z:\\proc\\" + pid + L"\\cmdline");
        if (!commandLine || commandLine->empty()) continue;
        const std::string program = commandLine->substr(0, commandLine->find('\0'));
        if (!sameText(program, asWindows) && !(asLinux.size() && program == asLinux)) continue;
        const auto stat = readFile(L"Z:\\proc\\" + pid + L"\\stat");
        if (!stat) continue;
        // After the command name in parentheses: state (field 3) ... start time (field 22).
        std::vector<std::string> fields;
        std::size_t at = stat->rfind(')') + 2;
        while (at < stat->size()) {
            const std::size_t end = stat->find(' ', at);
            fields.push_back(stat->substr(at, end - at));
            if (end == std::string::npos) break;
            at = end + 1;
        }
        if (fields.size() < 20 || fields[0] == "Z") continue;
        const unsigned long long started = std::stoull(fields[19]);
        if (!best || started >= bestStart) {
            best = std::stoul(narrow(pid));
            bestStart = started;
        }
    }
    return best;
}

std::optional<LinuxTotals> linuxTotals(unsigned long pid) {
    const std::wstring tasks = L"Z:\\proc\\" + std::to_wstring(pid) + L"\\task";
    LinuxTotals totals;
    for (const std::wstring& tid : subfolders(tasks)) {
        const auto schedule = readFile(tasks + L"\\" + tid + L"\\schedstat");
        const auto status = readFile(tasks + L"\\" + tid + L"\\status");
        if (!schedule || !status) continue;
        totals.cpuMs += std::stod(*schedule) / 1e6;
        const std::string voluntary = fieldOf(*status, "voluntary_ctxt_switches");
        const std::string involuntary = fieldOf(*status, "nonvoluntary_ctxt_switches");
        if (!voluntary.empty()) totals.voluntarySwitches += std::stoull(voluntary);
        if (!involuntary.empty()) totals.involuntarySwitches += std::stoull(involuntary);
        ++totals.threads;
    }
    if (totals.threads == 0) return std::nullopt;
    return totals;
}

}  // namespace bench
