// The Windows Installer package's custom actions (packaging/tillerdock.wxs), in a DLL carried in
// the package and never installed.
//
// CloseRunningTillerdock: before files are replaced or removed, every Tillerdock running on this desktop is closed the
// way Windows closes programs at the end of a session, and the way Windows Installer's Restart
// Manager closes a program that holds a file: WM_QUERYENDSESSION, then WM_ENDSESSION, both
// with ENDSESSION_CLOSEAPP. Tillerdock saves its settings then, as on any exit, and never asks
// anything (a failed save at that moment goes unreported, as at log-off), so an unattended
// install never waits for an answer. Its main window's handler saves before it returns, after
// which the program ends; one that has not ended some seconds later is ended, as Windows ends
// a program once it has answered WM_ENDSESSION.
//
// Windows Installer under Wine has no Restart Manager and replaces a file in use only at the
// next restart; on Windows, copies in other sessions (which this desktop cannot reach) are still
// left to the Restart Manager. The action never fails the installation: what it does is logged.
//
// LogRefusals: writes to the log the message of every launch condition that stops this
// installation (a newer version installed, ...), before LaunchConditions stops it. Windows
// Installer logs it too; Wine's, in a silent installation, only returns 1603.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <cwchar>

namespace {

// The main window's class (src/shared/window_ids.h), the one window every running copy has.
constexpr wchar_t kMainWindowClass[] = L"Tillerdock.frmConfig";
constexpr UINT kAnswerTimeout = 10000;  // ms a copy has to handle each message
constexpr DWORD kExitTimeout = 10000;   // ms a copy has to end after saving
constexpr int kMaxCopies = MAXIMUM_WAIT_OBJECTS;

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

void log(MSIHANDLE install, const wchar_t* text) {
    PMSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
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

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningTillerdock(MSIHANDLE install) {
    Copies copies;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&copies));
    if (copies.count == 0) return ERROR_SUCCESS;

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
    std::swprintf(text, 160, L"Tillerdock: %d running copies found, %d closed after saving.",
                  copies.count, ended);
    log(install, text);
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
