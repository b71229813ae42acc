// Starting a program from a slot's command line: CreateProcessW, and the shell for a program
// that asks for administrator rights.
#include "platform/win32/services.h"

#include <shellapi.h>

#include <vector>

#include "platform/command_line.h"
#include "platform/win32/com.h"
#include "platform/win32/handles.h"
#include "platform/win32/user_environment.h"

namespace td::win32 {

namespace {

// What CreateProcessW answers for a program whose manifest asks for administrator rights
// (winerror.h; not in every Windows SDK's headers).
constexpr DWORD kElevationRequired = 740;

constexpr wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// A path as the file functions take it whatever its length: a long one in its "\\?\" form,
// which reaches past MAX_PATH also where the system does not allow long paths to every
// program.
std::wstring extendedForm(const std::wstring& path) {
    if (path.size() < kMaxPath) return path;
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    if (full.empty() || full.rfind(L"\\\\?\\", 0) == 0) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The system's process start, and the shell's for what it refuses for want of rights.
class Win32ProcessStarts : public ProcessStarts {
public:
    explicit Win32ProcessStarts(HWND owner) : owner_(owner) {}

    StartOutcome create(const ProgramCall& call, int showState) override {
        // CreateProcessW may write into the command line, so it gets a copy of its own.
        std::vector<wchar_t> line(call.commandLine.begin(), call.commandLine.end());
        line.push_back(L'\0');
        STARTUPINFOW startup = {sizeof(startup)};
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showState);
        PROCESS_INFORMATION process = {};
        // The launcher's own environment, or that with the PATH the program's registration
        // asks for.
        std::vector<wchar_t> environment;
        if (!call.path.empty()) environment = environmentWithPath(call.path);
        if (!CreateProcessW(call.program.c_str(), line.data(), nullptr, nullptr, FALSE,
                            environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                            environment.empty() ? nullptr : environment.data(),
                            call.folder.empty() ? nullptr : call.folder.c_str(), &startup,
                            &process))
            return GetLastError() == kElevationRequired ? StartOutcome::NeedsElevation
                                                        : StartOutcome::Failed;
        // The program runs on its own: nothing waits for it or keeps its handles.
        const UniqueHandle processHandle(process.hProcess);
        const UniqueHandle threadHandle(process.hThread);
        return StartOutcome::Started;
    }

    StartOutcome openElevated(const ProgramCall& call, int showState) override {
        // The shell may hand the start to COM components.
        startCom();
        SHELLEXECUTEINFOW open = {sizeof(open)};
        // Synchronous, as the call returns before any message loop could finish it. The
        // consent prompt belongs to the main window; the shell shows no error box of its own,
        // as the slot's own message tells of a failure.
        open.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        open.hwnd = owner_;
        open.lpVerb = L"open";
        open.lpFile = call.program.c_str();
        open.lpParameters = call.arguments.empty() ? nullptr : call.arguments.c_str();
        open.lpDirectory = call.folder.empty() ? nullptr : call.folder.c_str();
        open.nShow = showState;
        // The program inherits the launcher's environment: its PATH is the program's for the
        // length of the call.
        const std::optional<std::wstring> path =
            call.path.empty() ? std::nullopt : environmentVariable(L"PATH");
        if (!call.path.empty()) SetEnvironmentVariableW(L"PATH", call.path.c_str());
        const BOOL started = ShellExecuteExW(&open);
        const DWORD error = GetLastError();
        if (!call.path.empty()) SetEnvironmentVariableW(L"PATH", path ? path->c_str() : nullptr);
        if (started) return StartOutcome::Started;
        return error == ERROR_CANCELLED ? StartOutcome::Declined : StartOutcome::Failed;
    }

private:
    HWND owner_;
};

}  // namespace

PathKind Win32FileSystem::kind(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(extendedForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

std::optional<std::wstring> Win32FileSystem::search(const std::wstring& name) {
    std::wstring found(kMaxCommandLine + 1, L'\0');
    const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe",
                                     static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (length == 0 || length >= found.size()) return std::nullopt;
    found.resize(length);
    return found;
}

std::optional<FileSystem::Registration> Win32FileSystem::registeredProgram(
    const std::wstring& fileName) {
    const std::wstring path = kAppPaths + fileName;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
            continue;
        const UniqueKey key(opened);
        // Texts as stored, an expandable one unexpanded.
        const StoredValue program = readRegistryValue(key.get(), L"");
        if (program.kind != StoredValue::Kind::Text || program.text.empty()) continue;
        return Registration{program.text, readRegistryValue(key.get(), L"Path").text};
    }
    return std::nullopt;
}

std::optional<std::wstring> Win32FileSystem::shortForm(const std::wstring& path) {
    const std::wstring extended = extendedForm(path);
    std::wstring brief(GetShortPathNameW(extended.c_str(), nullptr, 0), L'\0');
    if (brief.empty()) return std::nullopt;
    const DWORD length =
        GetShortPathNameW(extended.c_str(), brief.data(), static_cast<DWORD>(brief.size()));
    if (length == 0 || length >= brief.size()) return std::nullopt;
    brief.resize(length);
    if (brief.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + brief.substr(8);
    if (brief.rfind(L"\\\\?\\", 0) == 0) return brief.substr(4);
    return brief;
}

bool Win32ProgramStarter::StartProgram(const std::wstring& commandLine, int showState) {
    Win32FileSystem files;
    Win32ProcessStarts processes(owner_ ? owner_() : nullptr);
    return startProgram(commandLine, showState, files, environmentVariable, processes);
}

}  // namespace td::win32
