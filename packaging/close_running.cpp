// The Windows Installer package's custom actions (packaging/tillerdock.wxs), in a DLL carried in
// the package and never installed.
//
// CloseRunningTillerdock: before files are replaced or removed, every running Tillerdock whose
// program is about to change is closed the way Windows closes programs at the end of a session:
// WM_QUERYENDSESSION, then WM_ENDSESSION, both with ENDSESSION_CLOSEAPP. Tillerdock saves its
// settings then, as on any exit, and never asks anything (a failed save at that moment goes
// unreported, as at log-off), so an unattended install never waits for an answer.
//
// First through the Restart Manager, given the installed tillerdock.exe (and, when an upgrade
// moves it, the one the installed version recorded): it sends those messages to each copy that
// runs the file, in every session the installation's account may reach; an installation by a
// deployment tool runs as the system in session 0 and reaches them all. Where the Restart
// Manager is missing or closes nothing (Wine has none that works), every Tillerdock on this
// desktop is asked directly; its main window's handler saves before it returns, after which the
// program ends, and one that has not ended some seconds later is ended, as Windows ends a
// program once it has answered WM_ENDSESSION. The action never fails the installation: what it
// does is logged, with the number of copies closed either way.
//
// LogRefusals: writes to the log the message of every launch condition that stops this
// installation (a newer version installed, ...), before LaunchConditions stops it. Windows
// Installer logs it too; Wine's, in a silent installation, only returns 1603.
#include <windows.h>
// These need windows.h first.
#include <msi.h>
#include <msiquery.h>
#include <restartmanager.h>

#include <cwchar>
#include <vector>

namespace {

// The main window's class (src/shared/window_ids.h), the one window every running copy has.
constexpr wchar_t kMainWindowClass[] = L"Tillerdock.frmConfig";
constexpr wchar_t kProgram[] = L"tillerdock.exe";
constexpr UINT kAnswerTimeout = 10000;   // ms a copy has to handle each message
constexpr DWORD kExitTimeout = 10000;    // ms a copy has to end after saving
constexpr DWORD kRefusedTimeout = 1000;  // ms one has when the Restart Manager reports a failure
constexpr int kMaxCopies = MAXIMUM_WAIT_OBJECTS;

void log(MSIHANDLE install, const wchar_t* text) {
    PMSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

// The program's path in the folder a property names (resolved by costing, ending in a
// backslash); false when the property is empty or too long.
bool programIn(MSIHANDLE install, const wchar_t* folder, wchar_t (&path)[MAX_PATH]) {
    DWORD size = MAX_PATH;
    return MsiGetPropertyW(install, folder, path, &size) == ERROR_SUCCESS && size > 0 &&
           path[size - 1] == L'\\' && size + std::wcslen(kProgram) < MAX_PATH &&
           std::wcscat(path, kProgram);
}

// Whether a process the Restart Manager listed has ended, waiting for it up to `wait` ms. A
// process id that opens no process is gone (access refused proves nothing); one that opens a
// process started at another time has been given to a new process.
bool ended(const RM_UNIQUE_PROCESS& app, DWORD wait) {
    HANDLE process =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, app.dwProcessId);
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    FILETIME created, exited, kernel, user;
    const bool gone = GetProcessTimes(process, &created, &exited, &kernel, &user) &&
                      (CompareFileTime(&created, &app.ProcessStartTime) != 0 ||
                       WaitForSingleObject(process, wait) == WAIT_OBJECT_0);
    CloseHandle(process);
    return gone;
}

// Closes the copies that run one of the files through the Restart Manager, loaded from the
// system folder only; returns how many ended.
int closeThroughRestartManager(MSIHANDLE install, const wchar_t** files, UINT fileCount) {
    const HMODULE library = LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto function = [library](const char* name) {
        return library ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
    };
    const auto start = reinterpret_cast<decltype(&RmStartSession)>(function("RmStartSession"));
    const auto add =
        reinterpret_cast<decltype(&RmRegisterResources)>(function("RmRegisterResources"));
    const auto list = reinterpret_cast<decltype(&RmGetList)>(function("RmGetList"));
    const auto shutDown = reinterpret_cast<decltype(&RmShutdown)>(function("RmShutdown"));
    const auto end = reinterpret_cast<decltype(&RmEndSession)>(function("RmEndSession"));
    DWORD session = 0, result = ERROR_PROC_NOT_FOUND, reasons = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    UINT found = 0;
    int closed = 0;
    if (start && add && list && shutDown && end && fileCount > 0 &&
        (result = start(&session, 0, key)) == ERROR_SUCCESS) {
        std::vector<RM_PROCESS_INFO> apps;
        UINT count = 0;
        result = add(session, fileCount, files, 0, nullptr, 0, nullptr);
        // Asked again while copies start between the calls.
        while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
            count = static_cast<UINT>(apps.size());
            result = list(session, &found, &count, apps.data(), &reasons);
            if (result != ERROR_MORE_DATA) break;
            apps.resize(found);
        }
        if (result == ERROR_SUCCESS && count > 0) {
            // Not forced: a copy that does not answer is left to Windows Installer. A failure
            // (a copy of another user's, out of this account's reach) may leave others ending.
            result = shutDown(session, 0, nullptr);
            const DWORD wait = result == ERROR_SUCCESS ? kExitTimeout : kRefusedTimeout;
            for (UINT i = 0; i < count; ++i)
                if (ended(apps[i].Process, wait)) ++closed;
        }
        end(session);
    }
    wchar_t text[160];
    std::swprintf(
        text, 160,
        L"Tillerdock: the Restart Manager found %u running copies, %d closed (result %lu).", found,
        closed, result);
    log(install, text);
    if (library) FreeLibrary(library);
    return closed;
}

struct Copies {
    HWND windows[kMaxCopies];
    int count = 0;
};

BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto& copies = *reinterpret_cast<Copies*>(param);
    wchar_t name[64];
    if (copies.count < kMaxCopies && GetClassNameW(window, name, 64) &&
        std::wcscmp(name, kMainWindowClass) == 0)
        copies.windows[copies.count++] = window;
    return TRUE;
}

// Asks one copy to end as at the end of a session; returns its process, to wait for, or null.
HANDLE endSession(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    DWORD_PTR agrees = 0;
    if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG,
                             kAnswerTimeout, &agrees) ||
        !agrees) {
        // A copy that does not answer, or refuses, is left to Windows Installer.
        if (process) CloseHandle(process);
        return nullptr;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG,
                        kAnswerTimeout, &ignored);
    return process;
}

// Closes every Tillerdock on this desktop.
void closeOnThisDesktop(MSIHANDLE install) {
    Copies copies;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&copies));
    HANDLE processes[kMaxCopies];
    int waiting = 0, ended = 0;
    for (int i = 0; i < copies.count; ++i)
        if (HANDLE process = endSession(copies.windows[i])) processes[waiting++] = process;
    if (waiting > 0) WaitForMultipleObjects(waiting, processes, TRUE, kExitTimeout);
    for (int i = 0; i < waiting; ++i) {
        if (WaitForSingleObject(processes[i], 0) != WAIT_OBJECT_0) {
            TerminateProcess(processes[i], 0);
            WaitForSingleObject(processes[i], kExitTimeout);
        }
        CloseHandle(processes[i]);
        ++ended;
    }
    wchar_t text[160];
    std::swprintf(text, 160,
                  L"Tillerdock: %d running copies found on this desktop, %d closed after saving.",
                  copies.count, ended);
    log(install, text);
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningTillerdock(MSIHANDLE install) {
    // The program in the folder being installed or removed, and in the one the installed
    // version recorded for this context, when an upgrade names another.
    wchar_t target[MAX_PATH], recorded[MAX_PATH], context[8];
    DWORD size = 8;
    const bool allUsers =
        MsiGetPropertyW(install, L"ALLUSERS", context, &size) == ERROR_SUCCESS && size > 0;
    const wchar_t* files[2];
    UINT count = 0;
    if (programIn(install, L"INSTALLDIR", target)) files[count++] = target;
    if (programIn(install, allUsers ? L"MACHINEDIR" : L"USERDIR", recorded) &&
        (count == 0 || _wcsicmp(recorded, target) != 0))
        files[count++] = recorded;
    if (closeThroughRestartManager(install, files, count) == 0) closeOnThisDesktop(install);
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall LogRefusals(MSIHANDLE install) {
    PMSIHANDLE database = MsiGetActiveDatabase(install);
    PMSIHANDLE view;
    if (MsiDatabaseOpenViewW(database, L"SELECT `Condition`, `Description` FROM `LaunchCondition`",
                             &view) != ERROR_SUCCESS ||
        MsiViewExecute(view, 0) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    PMSIHANDLE row;
    while (MsiViewFetch(view, &row) == ERROR_SUCCESS) {
        wchar_t condition[512], message[512];
        DWORD size = 512;
        if (MsiRecordGetStringW(row, 1, condition, &size) != ERROR_SUCCESS) continue;
        size = 512;
        if (MsiEvaluateConditionW(install, condition) == MSICONDITION_FALSE &&
            MsiRecordGetStringW(row, 2, message, &size) == ERROR_SUCCESS)
            log(install, message);
    }
    return ERROR_SUCCESS;
}
