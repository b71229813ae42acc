#include "platform/win32/menu_icons.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
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
        UniqueBitmap picture;  // null: the line's program has no icon (any more)
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

// The icon as the menu draws it: a 32-bit picture with premultiplied alpha, for AlphaBlend.
// Drawn once on black and once on white, the difference gives each pixel's opacity, whatever
// the icon holds (an alpha channel, or a mask and colours).
UniqueBitmap premultiplied(HICON icon, int size) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return {};
    void* bits[2] = {};
    UniqueBitmap onBlack(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits[0], nullptr, 0));
    UniqueBitmap onWhite(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits[1], nullptr, 0));
    const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    bool drawn = onBlack && onWhite;
    if (drawn) {
        std::fill_n(static_cast<std::uint32_t*>(bits[1]), count, 0xFFFFFFFFu);
        const HGDIOBJ old = SelectObject(dc, onBlack.get());
        drawn = DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        SelectObject(dc, onWhite.get());
        drawn = drawn && DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
        GdiFlush();
    }
    DeleteDC(dc);
    if (!drawn) return {};
    auto* black = static_cast<std::uint32_t*>(bits[0]);
    const auto* white = static_cast<const std::uint32_t*>(bits[1]);
    for (std::size_t i = 0; i < count; ++i) {
        // On white a pixel shows 255 - alpha more of each colour than on black.
        unsigned alpha = 255;
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned b = black[i] >> shift & 0xFF, w = white[i] >> shift & 0xFF;
            alpha = std::min(alpha, 255 - std::min(255u, w > b ? w - b : 0u));
        }
        std::uint32_t pixel = alpha << 24;
        for (int shift = 0; shift < 24; shift += 8)
            pixel |= std::min(alpha, black[i] >> shift & 0xFF) << shift;
        black[i] = pixel;
    }
    return onBlack;
}

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
        const std::vector<std::wstring> lines = shared.wanted;
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
            // The first answer for a line is given even without an icon (its menu item then
            // keeps no place for one); after that, only a change.
            const bool answered = was != known.end();
            const bool hadIcon = answered && !was->second.program.empty();
            Known found;
            const UniqueIcon icon = read(line, size, found);
            known[line] = found;
            if (!icon && answered && !hadIcon) continue;
            UniqueBitmap picture = icon ? premultiplied(icon.get(), size) : UniqueBitmap();
            AcquireSRWLockExclusive(&shared.lock);
            shared.arrived.push_back({line, size, std::move(picture)});
            ReleaseSRWLockExclusive(&shared.lock);
            PostMessageW(shared.window, shared.message, 0, 0);
        }
    }
    if (com) endThreadCom();
    return 0;
}

}  // namespace

MenuIcons::MenuIcons(HWND window, UINT message) : shared_(std::make_shared<Shared>()) {
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
    asked_ = true;
    // The same lines at the same size: the thread looks again at what it has (a program file
    // changed, one not found yet), with the request it holds.
    if (size == size_ && commandLines == lines_) return;
    lines_ = commandLines;
    if (size != size_) pictures_.clear();
    size_ = size;
    const std::set<std::wstring> named(commandLines.begin(), commandLines.end());
    std::erase_if(pictures_, [&](const auto& picture) { return !named.count(picture.first); });
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->wanted = commandLines;
    shared_->size = size;
    ReleaseSRWLockExclusive(&shared_->lock);
}

void MenuIcons::start() {
    if (!asked_) return;
    asked_ = false;
    // The thread is made at the first opening, once its menu is on screen, and runs below the
    // user-interface thread.
    if (!thread_) {
        auto* parameter = new std::shared_ptr<Shared>(shared_);
        thread_.reset(CreateThread(nullptr, 256 * 1024, readIcons, parameter,
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!thread_) {
            delete parameter;
            return;
        }
        SetThreadPriority(thread_.get(), THREAD_PRIORITY_BELOW_NORMAL);
    }
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->asked = true;
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeConditionVariable(&shared_->wake);
}

bool MenuIcons::receive() {
    AcquireSRWLockExclusive(&shared_->lock);
    std::vector<Shared::Read> arrived = std::move(shared_->arrived);
    shared_->arrived.clear();
    ReleaseSRWLockExclusive(&shared_->lock);
    bool changed = false;
    for (Shared::Read& read : arrived) {
        // A line no item names any more, or read at a size no longer used, is dropped.
        if (read.size != size_) continue;
        Picture& picture = pictures_[read.line];
        // A line answered without a picture changes nothing on screen until its menu opens
        // again (its item then keeps no place).
        changed = changed || picture.bitmap || read.picture;
        picture.dc.reset();
        picture.bitmap = std::move(read.picture);
        if (picture.bitmap) {
            picture.dc.reset(CreateCompatibleDC(nullptr));
            if (picture.dc) SelectObject(picture.dc.get(), picture.bitmap.get());
        }
    }
    return changed;
}

HDC MenuIcons::pictureOf(const std::wstring& commandLine) const {
    auto picture = pictures_.find(commandLine);
    return picture == pictures_.end() ? nullptr : picture->second.dc.get();
}

bool MenuIcons::without(const std::wstring& commandLine) const {
    auto picture = pictures_.find(commandLine);
    return picture != pictures_.end() && !picture->second.bitmap;
}

}  // namespace td::win32
