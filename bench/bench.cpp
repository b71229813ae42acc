// Tillerdock's benchmark: start-up, memory, idle cost, launch latency and size of
// tillerdock.exe, side by side with baseline_tray.exe, a tray program that does nothing but
// hold one icon (the cost floor of any tray program here). Runs under Wine and on Windows.
//
//   bench.exe [--runs N] [--only WHAT] [--build NAME] [--markdown FILE] [--probe] [--raw]
//
// WHAT is a comma-separated choice of size, startup, idle and operations (the repeated
// operations and the launch latency); all of them unless told. NAME names the build measured
// (its CMake build type) in the report.
//
// It drives the programs from outside, as the end-to-end tests do: window messages to the
// main window, the settings in the registry, and launch_target.exe, which sets an event when
// it starts. Every timing is the median of N runs (10 unless told); Tillerdock's runs and the
// baseline's alternate, so that a change in the machine's load falls on both.
#include <windows.h>
// These build on windows.h.
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/window_ids.h"
#include "launch_target.h"

namespace bench {
namespace {

namespace ids = td::ids;

// ---- Small tools ----

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

double nowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / frequency;
}

std::optional<double> median(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Polls until the condition holds; false when the time ran out first.
bool waitUntil(const std::function<bool()>& condition, double timeoutMs) {
    const double end = nowMs() + timeoutMs;
    while (!condition()) {
        if (nowMs() > end) return false;
        Sleep(1);
    }
    return true;
}

std::string narrow(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::string format(const char* pattern, ...) {
    char buffer[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof(buffer), pattern, args);
    va_end(args);
    return buffer;
}

// 1234567 -> "1,234,567".
std::string grouped(long long value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::optional<std::string> readFile(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

std::optional<long long> fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The value after "name:" on its own line of a text such as /proc/cpuinfo.
std::string fieldOf(const std::string& text, const std::string& name) {
    std::size_t at = 0;
    while ((at = text.find(name, at)) != std::string::npos) {
        if (at == 0 || text[at - 1] == '\n') {
            std::size_t start = text.find_first_not_of(" \t:=\"", at + name.size());
            std::size_t end = text.find_first_of("\"\n", start);
            if (start != std::string::npos) return text.substr(start, end - start);
        }
        at += name.size();
    }
    return {};
}

// ---- Wine and the Linux process behind each Windows process ----

const char* wineVersion() {
    using VersionFunction = const char*(CDECL*)();
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    return found ? reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(found))() : nullptr;
}

// Under Wine a Windows process is a Linux process, and Linux counts what Wine does not pass on
// to Win32 for another process: its CPU time to the nanosecond and its context switches. A
// thread that sleeps in GetMessage and wakes for a message or a timer makes one voluntary
// switch per wake-up, so that count is the wake-up count. The folder /proc is reached through
// Wine's drive Z:, which maps the Linux root.
struct LinuxTotals {
    double cpuMs = 0;
    unsigned long long voluntarySwitches = 0;
    unsigned long long involuntarySwitches = 0;
    int threads = 0;
};

bool linuxViewAvailable() {
    return wineVersion() &&
           GetFileAttributesW(L"Z:\\proc\\self\\status") != INVALID_FILE_ATTRIBUTES;
}

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

// The Linux process whose program (its first command-line word) is this Windows path, or the
// same path in Linux form; the most recently started one when there are several.
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

// ---- The machine ----

struct Machine {
    std::string cpu, cores, memory, os, wine, load;
};

std::string registryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buffer[256] = {};
    DWORD bytes = sizeof(buffer);
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return {};
    return narrow(buffer);
}

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

// ---- The settings store ----

constexpr wchar_t kSettingsKey[] = L"Software\\Brackenfold\\Quaymaster";

void clearStore() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

void setSetting(const std::wstring& key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// All 32 keys: start in the tray, every slot on the launch target, the group switched on
// with slot 1 in it (a group launch starts one program).
void fillStore(const std::wstring& target) {
    clearStore();
    setSetting(L"Startup", L"True");
    for (int n = 1; n <= 10; ++n) {
        setSetting(L"App" + std::to_wstring(n), target);
        setSetting(L"Caption" + std::to_wstring(n), L"Target " + std::to_wstring(n));
    }
    setSetting(L"chkGroupE", L"1");
    for (int n = 1; n <= 10; ++n) setSetting(L"chkGApp" + std::to_wstring(n), n == 1 ? L"1" : L"0");
}

enum class Store { Empty, Full };

// ---- The programs under test ----

struct Subject {
    const char* name;
    std::wstring exe;
    const wchar_t* windowClass;
    UINT iconId;
};

struct FindContext {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM lParam) {
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != context->pid) return TRUE;
    wchar_t className[128] = {};
    GetClassNameW(hwnd, className, 128);
    if (context->className && wcscmp(className, context->className) != 0) return TRUE;
    context->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD pid, const wchar_t* className) {
    FindContext context{pid, className, {}};
    EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

BOOL CALLBACK countChild(HWND, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

// The process's windows, top-level and child: USER objects that Wine's GetGuiResources
// does not count.
int windowCount(DWORD pid) {
    int count = 0;
    for (HWND top : topLevelWindows(pid, nullptr)) {
        ++count;
        EnumChildWindows(top, &countChild, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

// Whether the shell holds this icon: modifying nothing succeeds only for an icon it has.
bool iconPresent(HWND owner, UINT id) {
    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = owner;
    icon.uID = id;
    icon.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

// One running program.
class Instance {
public:
    explicit Instance(const Subject& subject) : subject_(subject) {}
    ~Instance() { stop(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // Starts the program and returns its start-up time: from CreateProcess until it waits for
    // input (WaitForInputIdle) with its window created and its icon in the shell. Both are
    // normally there when it first waits for input; if not, the later of the two counts.
    std::optional<double> start() {
        std::wstring commandLine = L"\"" + subject_.exe + L"\"";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION info = {};
        const double begin = nowMs();
        if (!CreateProcessW(subject_.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &info)) {
            std::printf("  CreateProcess of %s failed: %lu\n", subject_.name, GetLastError());
            return std::nullopt;
        }
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        pid_ = info.dwProcessId;
        const DWORD idle = WaitForInputIdle(process_.get(), 30000);
        double end = nowMs();
        if (idle != 0) {
            std::printf("  %s: WaitForInputIdle returned %lu\n", subject_.name, idle);
            return std::nullopt;
        }
        bool first = true;
        const bool ready = waitUntil(
            [&] {
                const double before = nowMs();
                if (!window_) {
                    auto found = topLevelWindows(pid_, subject_.windowClass);
                    if (!found.empty()) window_ = found.front();
                }
                const bool done = window_ && iconPresent(window_, subject_.iconId);
                if (done && !first) {
                    end = before;
                    iconAfterIdle_ = true;
                }
                first = false;
                return done;
            },
            30000);
        if (!ready) {
            std::printf("  %s: no window or no tray icon after start-up\n", subject_.name);
            return std::nullopt;
        }
        return end - begin;
    }

    // Closes the program as the user would (its window's close), and waits for it to end.
    bool stop() {
        if (!process_) return true;
        bool clean = true;
        if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.get(), 15000) != WAIT_OBJECT_0) {
                std::printf("  %s did not end on WM_CLOSE; terminated\n", subject_.name);
                TerminateProcess(process_.get(), 1);
                WaitForSingleObject(process_.get(), 5000);
                clean = false;
            }
        }
        process_.reset();
        window_ = nullptr;
        linuxPid_.reset();
        return clean;
    }

    // Waits until the program has handled everything sent or posted to it so far.
    void sync() const {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    }

    // Whether the last start waited for the icon after WaitForInputIdle returned.
    bool iconAfterIdle() const { return iconAfterIdle_; }
    HANDLE process() const { return process_.get(); }
    DWORD pid() const { return pid_; }
    HWND window() const { return window_; }
    const Subject& subject() const { return subject_; }

    std::optional<unsigned long> linuxPid() {
        if (!linuxPid_ && linuxViewAvailable()) linuxPid_ = linuxProcessOf(subject_.exe);
        return linuxPid_;
    }

private:
    const Subject& subject_;
    UniqueHandle process_;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
    bool iconAfterIdle_ = false;
    std::optional<unsigned long> linuxPid_;
};

// ---- What is measured of a running program ----

struct Resources {
    double privateKb = 0, workingSetKb = 0;
    DWORD handles = 0, gdi = 0, user = 0;
    int windows = 0;
};

// The handle count the system keeps per process (NtQuerySystemInformation, documented in
// winternl.h). Wine's GetProcessHandleCount always reports 0; this count is Wine's handle
// table size there, which grows in steps as handles are opened and never shrinks.
std::optional<DWORD> systemHandleCount(DWORD pid) {
    std::vector<unsigned char> buffer(1 << 18);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<NTSTATUS>(0xC0000004L) /* STATUS_INFO_LENGTH_MISMATCH */) {
            buffer.resize(std::max<std::size_t>(needed, buffer.size()) * 2);
            continue;
        }
        if (status != 0) return std::nullopt;
        break;
    }
    for (std::size_t at = 0;;) {
        const auto* process =
            reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process->UniqueProcessId)) == pid)
            return process->HandleCount;
        if (process->NextEntryOffset == 0) return std::nullopt;
        at += process->NextEntryOffset;
    }
}

Resources sampleResources(Instance& app) {
    Resources r;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(app.process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
        // The two are the same count (the process's commit charge); Wine fills only the
        // second, with the anonymous memory Linux counts for the process.
        const SIZE_T own = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        r.privateKb = static_cast<double>(own) / 1024;
        r.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024;
    }
    if (!GetProcessHandleCount(app.process(), &r.handles) || r.handles == 0)
        r.handles = systemHandleCount(app.pid()).value_or(0);
    r.gdi = GetGuiResources(app.process(), GR_GDIOBJECTS);
    r.user = GetGuiResources(app.process(), GR_USEROBJECTS);
    r.windows = windowCount(app.pid());
    return r;
}

struct CpuSample {
    double at = 0;
    double cpuMs = 0;    // Linux's count under Wine, GetProcessTimes on Windows
    double wakeups = 0;  // voluntary context switches (Wine); CPU cycles (Windows)
    bool fromLinux = false;
};

double fileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

std::optional<CpuSample> sampleCpu(Instance& app) {
    CpuSample s;
    s.at = nowMs();
    if (const auto pid = app.linuxPid()) {
        const auto totals = linuxTotals(*pid);
        if (!totals) return std::nullopt;
        s.cpuMs = totals->cpuMs;
        s.wakeups = static_cast<double>(totals->voluntarySwitches);
        s.fromLinux = true;
        return s;
    }
    if (linuxViewAvailable()) return std::nullopt;  // under Wine, but the process was not found
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(app.process(), &created, &exited, &kernel, &user)) return std::nullopt;
    s.cpuMs = fileTimeMs(kernel) + fileTimeMs(user);
    ULONG64 cycles = 0;
    if (!QueryProcessCycleTime(app.process(), &cycles)) return std::nullopt;
    s.wakeups = static_cast<double>(cycles);
    return s;
}

// ---- Driving Tillerdock ----

HWND visiblePopupMenu(DWORD pid) {
    for (HWND h : topLevelWindows(pid, L"#32768"))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

// One opening of the launch menu as the user makes it: a right click on the tray icon opens
// the pop-up (its WM_INITMENUPOPUP runs the menu's refresh), Esc closes it.
bool openLaunchMenu(const Instance& app) {
    PostMessageW(app.window(), ids::kTrayCallback, ids::kTrayIconId, WM_RBUTTONUP);
    HWND popup = nullptr;
    if (!waitUntil([&] { return (popup = visiblePopupMenu(app.pid())) != nullptr; }, 10000))
        return false;
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!waitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 10000))
        return false;
    app.sync();
    return true;
}

// Waits for every launch target still running to end, so that none is counted twice or
// slows the next measurement.
void waitForTargetsToEnd() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry = {sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"launch_target.exe") != 0) continue;
        UniqueHandle target(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (target) WaitForSingleObject(target.get(), 5000);
    }
}

// A menu command that starts programs: the time until the (first) launch target runs.
std::optional<double> commandLaunch(const Instance& app, HANDLE started, int command) {
    ResetEvent(started);
    const double begin = nowMs();
    PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    if (WaitForSingleObject(started, 15000) != WAIT_OBJECT_0) return std::nullopt;
    const double took = nowMs() - begin;
    waitForTargetsToEnd();
    return took;
}

// The same start without Tillerdock: CreateProcessW as Tillerdock calls it.
std::optional<double> bareLaunch(const std::wstring& target, HANDLE started) {
    ResetEvent(started);
    std::wstring commandLine = target;
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};
    const double begin = nowMs();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return std::nullopt;
    const bool signalled = WaitForSingleObject(started, 15000) == WAIT_OBJECT_0;
    const double took = nowMs() - begin;
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (!signalled) return std::nullopt;
    return took;
}

// ---- The report ----

struct Row {
    std::string figure, tillerdock, baseline, ratio, target, result;
};

std::string fixed(std::optional<double> value, const char* pattern = "%.1f") {
    return value ? format(pattern, *value) : "n/a";
}

// A count or a size in KB, in groups of three digits.
std::string whole(std::optional<double> value) {
    return value ? grouped(std::llround(*value)) : "n/a";
}

std::string ratioOf(std::optional<double> a, std::optional<double> b) {
    return a && b && *b > 0 ? format("%.2f", *a / *b) : "n/a";
}

std::string verdict(bool known, bool met) {
    return !known ? "n/a" : met ? "met" : "MISSED";
}

void printTable(const std::vector<Row>& rows) {
    std::size_t w[6] = {6, 10, 8, 5, 6, 6};
    for (const Row& r : rows) {
        const std::string* cells[6] = {&r.figure, &r.tillerdock, &r.baseline,
                                       &r.ratio,  &r.target,     &r.result};
        for (int i = 0; i < 6; ++i) w[i] = std::max(w[i], cells[i]->size());
    }
    const auto line = [&](const std::string& a, const std::string& b, const std::string& c,
                          const std::string& d, const std::string& e, const std::string& f) {
        std::printf("%-*s  %*s  %*s  %*s  %-*s  %s\n", static_cast<int>(w[0]), a.c_str(),
                    static_cast<int>(w[1]), b.c_str(), static_cast<int>(w[2]), c.c_str(),
                    static_cast<int>(w[3]), d.c_str(), static_cast<int>(w[4]), e.c_str(),
                    f.c_str());
    };
    line("Figure", "Tillerdock", "Baseline", "Ratio", "Target", "Result");
    line(std::string(w[0], '-'), std::string(w[1], '-'), std::string(w[2], '-'),
         std::string(w[3], '-'), std::string(w[4], '-'), "------");
    for (const Row& r : rows) line(r.figure, r.tillerdock, r.baseline, r.ratio, r.target, r.result);
}

// Every value of a series, for --raw.
void printSeries(const char* name, const std::vector<double>& values) {
    std::printf("  %s:", name);
    for (double v : values) std::printf(" %.1f", v);
    std::printf("\n");
}

// ---- The measurements ----

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

// The ratio of two series measured in pairs (run i of one next to run i of the other): the
// median of the pairs' ratios, which cancels a load on the machine that changes from one
// pair to the next. (The ratio of the two medians moves with such a load.)
std::optional<double> pairedRatio(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (b[i] > 0) ratios.push_back(a[i] / b[i]);
    return median(ratios);
}

struct Bench {
    Options options;
    Subject tillerdock;
    Subject baseline;
    std::wstring target;
    UniqueHandle started;
    std::vector<Row> rows;
    std::vector<std::string> notes;

    void prepare(Store store) {
        if (store == Store::Empty)
            clearStore();
        else
            fillStore(target);
    }

    // Start-up time and memory after start-up, with one store, for both programs in turn.
    // Start-up time and the memory after it, one start of each program per run (a pair);
    // a pair where either start failed is left out.
    void startup(Store store, StartupFigures& td, StartupFigures& base) {
        struct Start {
            double ms;
            Resources resources;
            bool iconAfterIdle;
        };
        const auto startOnce = [&](const Subject& subject) -> std::optional<Start> {
            prepare(store);
            Instance app(subject);
            const auto ms = app.start();
            if (!ms) return std::nullopt;
            // The memory once the program has finished what its start set in motion.
            Sleep(300);
            app.sync();
            const Resources r = sampleResources(app);
            app.stop();
            return Start{*ms, r, app.iconAfterIdle()};
        };
        // One pair first, not counted: it brings the files into the cache.
        for (int run = -1; run < options.runs; ++run) {
            std::optional<Start> a, b;
            if (run & 1) {
                b = startOnce(baseline);
                a = startOnce(tillerdock);
            } else {
                a = startOnce(tillerdock);
                b = startOnce(baseline);
            }
            if (run < 0 || !a || !b) continue;
            td.ms.push_back(a->ms);
            td.iconAfterIdle += a->iconAfterIdle;
            base.iconAfterIdle += b->iconAfterIdle;
            td.privateKb.push_back(a->resources.privateKb);
            td.workingSetKb.push_back(a->resources.workingSetKb);
            base.ms.push_back(b->ms);
            base.privateKb.push_back(b->resources.privateKb);
            base.workingSetKb.push_back(b->resources.workingSetKb);
        }
    }

    void startupRows() {
        for (Store store : {Store::Empty, Store::Full}) {
            StartupFigures td, base;
            startup(store, td, base);
            const char* which = store == Store::Empty ? "empty store" : "32 keys";
            const auto a = median(td.ms), b = median(base.ms);
            const auto ratio = pairedRatio(td.ms, base.ms);
            notes.push_back(
                format("Start-up, %s: the icon was in the shell when "
                       "WaitForInputIdle returned in %zu of %zu starts of "
                       "Tillerdock and %zu of %zu of the baseline.",
                       which, td.ms.size() - td.iconAfterIdle, td.ms.size(),
                       base.ms.size() - base.iconAfterIdle, base.ms.size()));
            if (options.raw) {
                std::printf("Start-up, %s (ms):\n", which);
                printSeries("Tillerdock", td.ms);
                printSeries("baseline", base.ms);
            }
            rows.push_back({format("Start-up, %s (ms, median of %zu)", which, td.ms.size()),
                            fixed(a), fixed(b), fixed(ratio, "%.2f"), "<= 1.2x baseline",
                            verdict(ratio.has_value(), ratio && *ratio <= 1.2)});
            for (int k = 0; k < 2; ++k) {
                const auto& tv = k == 0 ? td.privateKb : td.workingSetKb;
                const auto& bv = k == 0 ? base.privateKb : base.workingSetKb;
                const auto ma = median(tv), mb = median(bv);
                rows.push_back({format("%s after start-up, %s (KB)",
                                       k == 0 ? "Private bytes" : "Working set", which),
                                whole(ma), whole(mb), ratioOf(ma, mb), "<= 1.2x baseline",
                                verdict(ma && mb, ma && mb && *ma <= 1.2 * *mb)});
            }
        }
    }

    // CPU time and wake-ups of a program left alone for ten seconds.
    struct Idle {
        std::optional<double> cpuMs, wakeups;
        // The check of the count itself: the wake-ups counted for ten messages sent one by
        // one after the idle time (at least ten when the count sees wake-ups at all).
        std::optional<double> tenMessages;
        bool fromLinux = false;
    };
    Idle idle(const Subject& subject, Store store) {
        prepare(store);
        Instance app(subject);
        Idle result;
        if (!app.start()) return result;
        // Whatever the start set in motion (painting, the shell's answers) settles first.
        Sleep(2000);
        app.sync();
        Sleep(500);
        const auto before = sampleCpu(app);
        Sleep(10000);
        const auto after = sampleCpu(app);
        for (int i = 0; i < 10; ++i) {
            app.sync();
            Sleep(20);
        }
        const auto checked = sampleCpu(app);
        if (before && after) {
            const double scale = 10000.0 / (after->at - before->at);
            result.cpuMs = (after->cpuMs - before->cpuMs) * scale;
            result.wakeups = (after->wakeups - before->wakeups) * scale;
            result.fromLinux = after->fromLinux;
            if (checked) result.tenMessages = checked->wakeups - after->wakeups;
        }
        app.stop();
        return result;
    }

    void idleRows() {
        for (Store store : {Store::Full, Store::Empty}) {
            const Idle td = idle(tillerdock, store);
            const Idle base = idle(baseline, store);
            const char* state =
                store == Store::Full ? "in the tray (32 keys)" : "window shown (empty store)";
            const bool linux = td.fromLinux;
            rows.push_back(
                {format("Idle %s over 10 s, %s", linux ? "wake-ups" : "CPU cycles", state),
                 fixed(td.wakeups, "%.0f"), fixed(base.wakeups, "%.0f"),
                 ratioOf(td.wakeups, base.wakeups), "0",
                 verdict(td.wakeups.has_value(), td.wakeups && *td.wakeups == 0)});
            rows.push_back({format("Idle CPU time over 10 s, %s (ms)", state),
                            fixed(td.cpuMs, "%.2f"), fixed(base.cpuMs, "%.2f"),
                            ratioOf(td.cpuMs, base.cpuMs), "0",
                            verdict(td.cpuMs.has_value(), td.cpuMs && *td.cpuMs < 0.005)});
            if (linux && store == Store::Full)
                notes.push_back(format(
                    "Wake-ups are the voluntary context switches Linux counts for the program's "
                    "process. As a check, ten messages sent one at a time after the idle time "
                    "counted %s wake-ups for Tillerdock and %s for the baseline.",
                    fixed(td.tenMessages, "%.0f").c_str(),
                    fixed(base.tenMessages, "%.0f").c_str()));
        }
    }

    // Memory and object counts before and after 1,000 openings of the launch menu and 100
    // group launches; then the launch latency against a bare CreateProcess.
    void operationsAndLatency() {
        prepare(Store::Full);
        Instance base(baseline);
        prepare(Store::Full);
        Instance app(tillerdock);
        if (!app.start() || !base.start()) {
            notes.push_back("The programs did not start for the repeated operations.");
            return;
        }
        Sleep(300);
        app.sync();
        const Resources atStart = sampleResources(app);

        // A few of each first: the first menu and the first start allocate what every later
        // one reuses (caches, the heap's first blocks); growth after that is a leak.
        constexpr int kWarmMenus = 20, kWarmLaunches = 5, kMenus = 1000, kLaunches = 100;
        // A series stops at its first failure: each failure waits out a time-out.
        const auto repeat = [](int times, const std::function<bool()>& operation) {
            int done = 0;
            while (done < times && operation()) ++done;
            return done;
        };
        const auto openMenu = [&] { return openLaunchMenu(app); };
        const auto launchGroup = [&] {
            return commandLaunch(app, started.get(), ids::kMenuGroupLaunch).has_value();
        };
        const int menus = repeat(kWarmMenus, openMenu);
        const int launches = repeat(kWarmLaunches, launchGroup);
        Sleep(300);
        app.sync();
        const Resources warm = sampleResources(app);

        const double begin = nowMs();
        const int menusDone = repeat(kMenus, openMenu);
        const double menuMs = nowMs() - begin;
        const int launchesDone = repeat(kLaunches, launchGroup);
        Sleep(300);
        app.sync();
        const Resources after = sampleResources(app);
        base.sync();
        const Resources baseAfter = sampleResources(base);
        notes.push_back(
            format("Repeated operations: %d of %d launch-menu openings (tray pop-up, "
                   "%.1f ms each) and %d of %d group launches completed, after %d "
                   "openings and %d launches to warm up.",
                   menusDone, kMenus, menusDone ? menuMs / menusDone : 0.0, launchesDone, kLaunches,
                   menus, launches));
        const bool complete = menusDone == kMenus && launchesDone == kLaunches;

        rows.push_back({"Private bytes after 1,000 openings + 100 launches (KB)",
                        whole(after.privateKb), whole(baseAfter.privateKb),
                        ratioOf(after.privateKb, baseAfter.privateKb), "<= 1.2x baseline",
                        verdict(true, after.privateKb <= 1.2 * baseAfter.privateKb)});
        rows.push_back({"Working set after 1,000 openings + 100 launches (KB)",
                        whole(after.workingSetKb), whole(baseAfter.workingSetKb),
                        ratioOf(after.workingSetKb, baseAfter.workingSetKb), "<= 1.2x baseline",
                        verdict(true, after.workingSetKb <= 1.2 * baseAfter.workingSetKb)});
        // Growth: from after the warm-up to after all operations. The system counts memory
        // in pages; a few pages either way are the heap's own rounding, while a leak grows
        // with the 1,100 operations.
        const auto countRow = [&](const char* what, double s, double w, double a, double allowed,
                                  bool known) {
            rows.push_back({format("Growth: %s", what),
                            whole(s) + " / " + whole(w) + " / " + whole(a), "-", "-",
                            allowed > 0 ? format("<= +%.0f after warm-up", allowed)
                                        : "no growth after warm-up",
                            verdict(complete && known, a - w <= allowed)});
        };
        countRow("private bytes, KB (start / warm / after)", atStart.privateKb, warm.privateKb,
                 after.privateKb, 64, true);
        countRow("working set, KB (start / warm / after)", atStart.workingSetKb, warm.workingSetKb,
                 after.workingSetKb, 64, true);
        countRow("handles (start / warm / after)", atStart.handles, warm.handles, after.handles, 0,
                 true);
        countRow("windows (start / warm / after)", atStart.windows, warm.windows, after.windows, 0,
                 true);
        const bool gdiCounted = atStart.gdi || atStart.user || after.gdi || after.user;
        countRow("GDI objects (start / warm / after)", atStart.gdi, warm.gdi, after.gdi, 0,
                 gdiCounted);
        countRow("USER objects (start / warm / after)", atStart.user, warm.user, after.user, 0,
                 gdiCounted);
        if (!gdiCounted)
            notes.push_back(
                "GetGuiResources returns 0 for every process on this system (Wine "
                "does not count GDI and USER objects): the window count stands in "
                "for USER objects, and private bytes for GDI objects, which Wine "
                "keeps in the process's own memory.");

        // Launch latency: Tillerdock's slot command and a bare CreateProcess, alternating.
        std::vector<double> menuLaunches, bareLaunches;
        commandLaunch(app, started.get(), ids::kMenuSlotBase + 1);
        bareLaunch(target, started.get());
        int failures = 0;
        for (int run = 0; run < std::max(options.runs, 10) * 2 && failures < 3; ++run) {
            std::optional<double> viaMenu, bare;
            if (run & 1) {
                bare = bareLaunch(target, started.get());
                viaMenu = commandLaunch(app, started.get(), ids::kMenuSlotBase + 1);
            } else {
                viaMenu = commandLaunch(app, started.get(), ids::kMenuSlotBase + 1);
                bare = bareLaunch(target, started.get());
            }
            if (!viaMenu || !bare) {
                ++failures;
                continue;
            }
            menuLaunches.push_back(*viaMenu);
            bareLaunches.push_back(*bare);
        }
        const auto a = median(menuLaunches), b = median(bareLaunches);
        const auto ratio = pairedRatio(menuLaunches, bareLaunches);
        if (options.raw) {
            std::printf("Launch latency (ms):\n");
            printSeries("slot command", menuLaunches);
            printSeries("bare CreateProcess", bareLaunches);
        }
        rows.push_back(
            {format("Launch latency, slot command vs bare CreateProcess (ms, median of %zu)",
                    menuLaunches.size()),
             fixed(a), fixed(b), fixed(ratio, "%.2f"), "<= 1.1x bare CreateProcess",
             verdict(ratio.has_value(), ratio && *ratio <= 1.1)});
        app.stop();
        base.stop();
    }

    void sizeRows() {
        const auto a = fileSize(tillerdock.exe), b = fileSize(baseline.exe);
        rows.push_back({"Size of the .exe (bytes)", a ? grouped(*a) : "n/a",
                        b ? grouped(*b) : "n/a",
                        a && b ? format("%.2f", static_cast<double>(*a) / *b) : "n/a",
                        "< 300 KB (307,200 bytes)", verdict(a.has_value(), a && *a < 300 * 1024)});
    }

    // What the platform reports for one started program: the basis for the choices above.
    void probe() {
        for (const Subject* subject : {&tillerdock, &baseline}) {
            for (Store store : {Store::Empty, Store::Full}) {
                prepare(store);
                Instance app(*subject);
                const auto ms = app.start();
                std::printf("%s (%s): start-up %s ms, window %p, icon %d\n", subject->name,
                            store == Store::Empty ? "empty" : "full", fixed(ms).c_str(),
                            static_cast<void*>(app.window()),
                            app.window() ? iconPresent(app.window(), subject->iconId) : -1);
                Sleep(1000);
                const Resources r = sampleResources(app);
                std::printf(
                    "  private %.0f KB, working set %.0f KB, handles %lu, GDI %lu, USER %lu, "
                    "windows %d\n",
                    r.privateKb, r.workingSetKb, r.handles, r.gdi, r.user, r.windows);
                PROCESS_MEMORY_COUNTERS_EX memory = {};
                memory.cb = sizeof(memory);
                GetProcessMemoryInfo(app.process(),
                                     reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                     sizeof(memory));
                DWORD handles = 0;
                const BOOL haveHandles = GetProcessHandleCount(app.process(), &handles);
                std::printf(
                    "  as reported: PrivateUsage %zu, PagefileUsage %zu, "
                    "GetProcessHandleCount %d/%lu\n",
                    static_cast<std::size_t>(memory.PrivateUsage),
                    static_cast<std::size_t>(memory.PagefileUsage), haveHandles, handles);
                FILETIME c, e, k, u;
                GetProcessTimes(app.process(), &c, &e, &k, &u);
                ULONG64 cycles = 0;
                const BOOL haveCycles = QueryProcessCycleTime(app.process(), &cycles);
                std::printf("  GetProcessTimes kernel %.2f ms user %.2f ms; cycles %d/%llu\n",
                            fileTimeMs(k), fileTimeMs(u), haveCycles, cycles);
                if (const auto pid = app.linuxPid()) {
                    const auto t = linuxTotals(*pid);
                    const auto cmd = readFile(L"Z:\\proc\\" + std::to_wstring(*pid) + L"\\cmdline");
                    std::printf(
                        "  Linux pid %lu (%s): %d threads, cpu %.2f ms, switches %llu+%llu\n", *pid,
                        cmd ? cmd->c_str() : "?", t ? t->threads : 0, t ? t->cpuMs : 0.0,
                        t ? t->voluntarySwitches : 0ULL, t ? t->involuntarySwitches : 0ULL);
                } else {
                    std::printf("  no Linux process found\n");
                }
                if (subject == &tillerdock && store == Store::Full) {
                    const bool opened = openLaunchMenu(app);
                    std::printf("  launch menu opened and closed: %d\n", opened);
                    const auto launched = commandLaunch(app, started.get(), ids::kMenuSlotBase + 1);
                    std::printf("  slot 1 launch: %s ms\n", fixed(launched).c_str());
                }
                app.stop();
            }
        }
    }

    int run() {
        const Machine machine = describeMachine();
        std::printf("Tillerdock benchmark: %d runs per timing\n", options.runs);
        std::printf("Machine: %s, %s, %s RAM; %s; Wine %s; load %s\n", machine.cpu.c_str(),
                    machine.cores.c_str(), machine.memory.c_str(), machine.os.c_str(),
                    machine.wine.c_str(), machine.load.c_str());
        if (options.probe) {
            probe();
            return 0;
        }
        if (options.wants(L"size")) sizeRows();
        if (options.wants(L"startup")) {
            std::printf("Measuring start-up and memory (%d runs x 2 stores x 2 programs)...\n",
                        options.runs);
            startupRows();
        }
        if (options.wants(L"idle")) {
            std::printf("Measuring idle cost (4 x 10 s)...\n");
            idleRows();
        }
        if (options.wants(L"operations")) {
            std::printf("Measuring repeated operations and launch latency...\n");
            operationsAndLatency();
        }
        const std::string loadAfter = loadAverage();
        std::printf("\n");
        printTable(rows);
        for (const std::string& note : notes) std::printf("\n%s\n", note.c_str());
        clearStore();
        if (!options.markdown.empty()) writeMarkdown(machine, loadAfter);
        return 0;
    }

    void writeMarkdown(const Machine& machine, const std::string& loadAfter) {
        std::string text;
        SYSTEMTIME now;
        GetSystemTime(&now);
        text += "## Latest results\n\n";
        text += format(
            "Measured %04u-%02u-%02u %02u:%02u UTC by `scripts/bench.sh`, %s build "
            "(timings: median of %d runs).\n\n",
            now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
            options.build.empty() ? "this" : narrow(options.build).c_str(), options.runs);
        text += "| Machine | |\n|---|---|\n";
        text += "| CPU | " + machine.cpu + " |\n";
        text += "| Cores | " + machine.cores + " |\n";
        text += "| RAM | " + machine.memory + " |\n";
        text += "| OS | " + machine.os + " |\n";
        text += "| Wine | " + machine.wine + " |\n";
        text += "| Load average (1, 5, 15 min) | before " + machine.load + "; after " + loadAfter +
                " |\n\n";
        text += "| Figure | Tillerdock | Baseline | Ratio | Target | Result |\n";
        text += "|---|---:|---:|---:|---|---|\n";
        for (const Row& r : rows)
            text += "| " + r.figure + " | " + r.tillerdock + " | " + r.baseline + " | " + r.ratio +
                    " | " + r.target + " | " + r.result + " |\n";
        for (const std::string& note : notes) text += "\n" + note + "\n";
        UniqueHandle file(CreateFileW(options.markdown.c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file.get() == INVALID_HANDLE_VALUE ||
            !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            std::printf("Could not write %s\n", narrow(options.markdown).c_str());
    }
};

}  // namespace
}  // namespace bench

int wmain(int argc, wchar_t** argv) {
    using namespace bench;
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc)
            options.runs = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--build" && i + 1 < argc)
            options.build = argv[++i];
        else if (arg == L"--only" && i + 1 < argc)
            options.only = argv[++i];
        else if (arg == L"--markdown" && i + 1 < argc)
            options.markdown = argv[++i];
        else if (arg == L"--probe")
            options.probe = true;
        else if (arg == L"--raw")
            options.raw = true;
        else {
            std::printf(
                "usage: bench.exe [--runs N] [--only WHAT] [--build NAME] [--markdown FILE] "
                "[--probe] [--raw]\n");
            return 2;
        }
    }
    const std::wstring folder = programFolder();
    Bench bench{options,
                {"Tillerdock", folder + L"tillerdock.exe", ids::kConfigClass, ids::kTrayIconId},
                {"Baseline", folder + L"baseline_tray.exe", L"Tillerdock.BenchBaseline", 1},
                folder + L"launch_target.exe",
                UniqueHandle(CreateEventW(nullptr, FALSE, FALSE, kStartedEvent)),
                {},
                {}};
    if (!bench.started) {
        std::printf("Could not create the start event: %lu\n", GetLastError());
        return 1;
    }
    return bench.run();
}
