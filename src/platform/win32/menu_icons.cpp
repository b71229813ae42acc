#include "platform/win32/menu_icons.h"

#include <shlobj.h>

#include <atomic>
#include <set>

#include "platform/command_line.h"
#include "platform/win32/com.h"
#include "platform/win32/services.h"
#include "platform/win32/user_environment.h"

namespace td::win32 {

// What the user-interface thread asks for and the reading thread answers, under the lock.
struct MenuIcons::Shared {
    struct Read {
        std::wstring line;
        int size;
        UniqueIcon icon;  // null: the line's program has no icon (any more)
    };
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
    std::vector<std::wstring> wanted;  // the lines the menus name, as last asked
    int size = 0;
    bool asked = false;  // a request the thread has not taken yet
    std::atomic<bool> stop = false;
    std::vector<Read> arrived;
    HWND window = nullptr;
    UINT message = 0;
};

namespace {

#ifndef FILE_ATTRIBUTE_RECALL_ON_OPEN
#define FILE_ATTRIBUTE_RECALL_ON_OPEN 0x00040000
#endif
#ifndef FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
#define FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS 0x00400000
#endif

// Whether a path is on a drive whose media may have to spin up or be asked for (removable,
// optical) or that is not there; a share, a network drive and a local disk are read.
bool onSkippedDrive(const std::wstring& path) {
    const std::wstring bare = path.substr(!path.empty() && path.front() == L'"' ? 1 : 0);
    if (bare.size() < 2 || bare[1] != L':') return false;
    const UINT type = GetDriveTypeW((bare.substr(0, 2) + L"\\").c_str());
    return type == DRIVE_REMOVABLE || type == DRIVE_CDROM || type == DRIVE_NO_ROOT_DIR ||
           type == DRIVE_UNKNOWN;
}

// When a program file last changed and its size, to tell whether its icon must be read again;
// zero when it is not there or its data is not (offline, a cloud placeholder).
ULONGLONG stampOf(const std::wstring& program) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(program.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_RECALL_ON_OPEN |
                                  FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS)))
        return 0;
    return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32 |
            data.ftLastWriteTime.dwLowDateTime) ^
           (ULONGLONG{data.nFileSizeHigh} << 32 | data.nFileSizeLow);
}

// The system's application icon at the size, scaled down from a larger picture rather than up
// (comctl32, loaded for a program without an icon of its own only); else a copy of the
// system's shared one, which is never to be destroyed itself.
HICON applicationIcon(int size) {
    using Load = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const Load load = [] {
        HMODULE library = LoadLibraryW(L"comctl32.dll");
        return library ? reinterpret_cast<Load>(reinterpret_cast<void*>(
                             GetProcAddress(library, "LoadIconWithScaleDown")))
                       : nullptr;
    }();
    HICON icon = nullptr;
    if (load && SUCCEEDED(load(nullptr, IDI_APPLICATION, size, size, &icon))) return icon;
    const auto shared =
        static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED));
    return shared ? CopyIcon(shared) : nullptr;
}

// What the reading thread knows of a line: the program it starts and that file's stamp; an
// empty program when none was found, which is looked for again at the next opening.
struct Known {
    std::wstring program;
    ULONGLONG stamp = 0;
};

// Finds the program a line starts as the starter would find it, and reads its icon.
UniqueIcon read(const std::wstring& line, int size, Known& known) {
    known = {};
    if (line.empty() || onSkippedDrive(expandEnvironment(line, environmentVariable))) return {};
    Win32FileSystem files;
    const std::optional<ProgramCall> call = programCall(line, files, environmentVariable);
    if (!call || onSkippedDrive(call->program)) return {};
    const ULONGLONG stamp = stampOf(call->program);
    if (!stamp) return {};
    HICON icon = nullptr;
    if (SHDefExtractIconW(call->program.c_str(), 0, 0, nullptr, &icon, MAKELONG(size, size)) !=
        S_OK)
        icon = nullptr;
    // A program without an icon of its own shows the system's, as the shell shows it.
    if (!icon) icon = applicationIcon(size);
    if (icon) known = {call->program, stamp};
    return UniqueIcon(icon);
}

// The reading thread: at each request, reads the icons of lines it does not know, and again
// those whose program was not found or whose file changed, until told to stop.
DWORD WINAPI readIcons(void* parameter) {
    const std::unique_ptr<std::shared_ptr<MenuIcons::Shared>> owned(
        static_cast<std::shared_ptr<MenuIcons::Shared>*>(parameter));
    MenuIcons::Shared& shared = **owned;
    // The shell's icon handlers may be COM objects.
    const bool com = startThreadCom();
    std::map<std::wstring, Known> known;
    int knownSize = 0;
    for (;;) {
        AcquireSRWLockExclusive(&shared.lock);
        while (!shared.asked && !shared.stop)
            SleepConditionVariableSRW(&shared.wake, &shared.lock, INFINITE, 0);
        const std::vector<std::wstring> lines = std::move(shared.wanted);
        const int size = shared.size;
        shared.asked = false;
        ReleaseSRWLockExclusive(&shared.lock);
        if (shared.stop) break;
        if (size != knownSize) known.clear();
        knownSize = size;
        const std::set<std::wstring> named(lines.begin(), lines.end());
        std::erase_if(known, [&](const auto& entry) { return !named.count(entry.first); });
        for (const std::wstring& line : named) {
            if (shared.stop) break;
            auto was = known.find(line);
            if (was != known.end() && !was->second.program.empty() &&
                stampOf(was->second.program) == was->second.stamp)
                continue;
            const bool hadIcon = was != known.end() && !was->second.program.empty();
            Known found;
            UniqueIcon icon = read(line, size, found);
            known[line] = found;
            if (!icon && !hadIcon) continue;
            AcquireSRWLockExclusive(&shared.lock);
            shared.arrived.push_back({line, size, std::move(icon)});
            ReleaseSRWLockExclusive(&shared.lock);
            PostMessageW(shared.window, shared.message, MenuIcons::kArrived, 0);
        }
    }
    if (com) endThreadCom();
    return 0;
}

}  // namespace

MenuIcons::MenuIcons(HWND window, UINT message)
    : window_(window), message_(message), shared_(std::make_shared<Shared>()) {
    shared_->window = window;
    shared_->message = message;
}

MenuIcons::~MenuIcons() {
    if (!thread_) return;
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->stop = true;
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeConditionVariable(&shared_->wake);
    // A program on a share that does not answer would hold the thread for as long as the
    // network waits; the read is cancelled, and the program's end is not held up by it.
    CancelSynchronousIo(thread_.get());
    WaitForSingleObject(thread_.get(), 500);
}

void MenuIcons::request(const std::vector<std::wstring>& commandLines, UINT dpi) {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    if (size != size_) icons_.clear();
    size_ = size;
    const std::set<std::wstring> named(commandLines.begin(), commandLines.end());
    std::erase_if(icons_, [&](const auto& icon) { return !named.count(icon.first); });
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->wanted = commandLines;
    shared_->size = size;
    ReleaseSRWLockExclusive(&shared_->lock);
    if (!wakePosted_) wakePosted_ = PostMessageW(window_, message_, kWake, 0);
}

bool MenuIcons::receive(WPARAM what) {
    if (what == kWake) {
        wakePosted_ = false;
        // The thread is made at the first opening, once its menu is on screen, and runs
        // below the user-interface thread.
        if (!thread_) {
            auto* parameter = new std::shared_ptr<Shared>(shared_);
            thread_.reset(CreateThread(nullptr, 256 * 1024, readIcons, parameter,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
            if (!thread_) {
                delete parameter;
                return false;
            }
            SetThreadPriority(thread_.get(), THREAD_PRIORITY_BELOW_NORMAL);
        }
        AcquireSRWLockExclusive(&shared_->lock);
        shared_->asked = true;
        ReleaseSRWLockExclusive(&shared_->lock);
        WakeConditionVariable(&shared_->wake);
        return false;
    }
    AcquireSRWLockExclusive(&shared_->lock);
    std::vector<Shared::Read> arrived = std::move(shared_->arrived);
    shared_->arrived.clear();
    ReleaseSRWLockExclusive(&shared_->lock);
    bool changed = false;
    for (Shared::Read& read : arrived) {
        // A line no item names any more, or read at a size no longer used, is dropped.
        if (read.size != size_) continue;
        icons_[read.line] = std::move(read.icon);
        changed = true;
    }
    return changed;
}

HICON MenuIcons::iconOf(const std::wstring& commandLine) const {
    auto icon = icons_.find(commandLine);
    return icon == icons_.end() ? nullptr : icon->second.get();
}

}  // namespace td::win32
