#include "platform/win32/menu_icons.h"

#include <shlobj.h>

#include <cstdint>
#include <set>

#include "platform/command_line.h"
#include "platform/win32/services.h"
#include "platform/win32/user_environment.h"

namespace td::win32 {

namespace {

using Pixels = std::vector<std::uint32_t>;  // premultiplied BGRA, top row first

// What was found for a line: its program file and icon (none found: both empty).
struct Found {
    std::wstring program;
    Pixels pixels;
};

#ifndef FILE_ATTRIBUTE_RECALL_ON_OPEN
#define FILE_ATTRIBUTE_RECALL_ON_OPEN 0x00040000
#endif
#ifndef FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
#define FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS 0x00400000
#endif

// Whether what a path names can be looked at without waiting: on a local fixed disk, not on a
// share, a network drive, a removable or optical drive, or one that is missing. A name
// without a drive is looked at where it is found.
bool onFixedDisk(const std::wstring& path) {
    const std::wstring bare = path.substr(!path.empty() && path.front() == L'"' ? 1 : 0);
    if (bare.rfind(L"\\\\", 0) == 0 || bare.rfind(L"//", 0) == 0) return false;
    if (bare.size() < 2 || bare[1] != L':') return true;
    const std::wstring root = bare.substr(0, 2) + L"\\";
    const UINT type = GetDriveTypeW(root.c_str());
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

// Whether a program file's icon can be read at once: on a fixed disk, with its data there (a
// file kept offline, or a cloud placeholder, would be fetched to read it).
bool atHand(const std::wstring& program) {
    if (!onFixedDisk(program)) return false;
    const DWORD attributes = GetFileAttributesW(program.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_RECALL_ON_OPEN |
                           FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS));
}

// The system's application icon at the size, scaled down from a larger picture rather than up
// (comctl32, loaded for a program without an icon of its own only); else the system's own copy,
// which it hands out only as a shared icon (`shared` set), never to be destroyed.
HICON applicationIcon(int size, bool& shared) {
    using Load = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const Load load = [] {
        HMODULE library = LoadLibraryW(L"comctl32.dll");
        return library ? reinterpret_cast<Load>(reinterpret_cast<void*>(
                             GetProcAddress(library, "LoadIconWithScaleDown")))
                       : nullptr;
    }();
    HICON icon = nullptr;
    if (load && SUCCEEDED(load(nullptr, IDI_APPLICATION, size, size, &icon))) return icon;
    shared = true;
    return static_cast<HICON>(
        LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED));
}

// A 32-bit top-down bitmap that GDI draws into, and its pixels.
struct Canvas {
    explicit Canvas(int size) : size(size) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB}};
        bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    std::uint32_t* pixels() const { return static_cast<std::uint32_t*>(bits); }
    int size;
    void* bits = nullptr;
    UniqueBitmap bitmap;
};

// The icon drawn at the size, premultiplied by its alpha. An icon without alpha takes it from
// its mask: opaque where the mask is black.
Pixels draw(HICON icon, int size) {
    Canvas colour(size), mask(size);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc || !colour.bits || !mask.bits) {
        if (dc) DeleteDC(dc);
        return {};
    }
    HGDIOBJ old = SelectObject(dc, colour.bitmap.get());
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, mask.bitmap.get());
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_MASK);
    SelectObject(dc, old);
    DeleteDC(dc);
    GdiFlush();
    Pixels pixels(colour.pixels(), colour.pixels() + size * size);
    bool alpha = false;
    for (std::uint32_t p : pixels) alpha |= (p >> 24) != 0;
    for (std::size_t i = 0; !alpha && i < pixels.size(); ++i)
        pixels[i] = (mask.pixels()[i] & 0xFFFFFF) ? 0 : pixels[i] | 0xFF000000;
    return pixels;
}

Found find(const std::wstring& line, int size) {
    Found found;
    // A line that names a share or another drive outright is not looked at at all.
    if (line.empty() || !onFixedDisk(line) ||
        !onFixedDisk(expandEnvironment(line, environmentVariable)))
        return found;
    Win32FileSystem files;
    const std::optional<ProgramCall> call = programCall(line, files, environmentVariable);
    if (!call || !atHand(call->program)) return found;
    HICON icon = nullptr;
    if (SHDefExtractIconW(call->program.c_str(), 0, 0, nullptr, &icon, MAKELONG(size, size)) !=
        S_OK)
        icon = nullptr;
    // A program without an icon of its own shows the system's, as the shell shows it.
    bool shared = false;
    if (!icon) icon = applicationIcon(size, shared);
    if (!icon) return found;
    found.program = call->program;
    found.pixels = draw(icon, size);
    if (!shared) DestroyIcon(icon);
    return found;
}

}  // namespace

MenuIcons::MenuIcons(HWND window, UINT findMessage) : window_(window), message_(findMessage) {}

MenuIcons::~MenuIcons() = default;

void MenuIcons::request(const std::vector<std::wstring>& commandLines, UINT dpi) {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    if (size != size_) {
        lines_.clear();
        icons_.clear();
        waiting_.clear();
        blank_.reset();
        size_ = size;
    }
    std::set<std::wstring> named(commandLines.begin(), commandLines.end());
    std::erase_if(lines_, [&](const auto& line) { return !named.count(line.first); });
    std::set<std::wstring> programs;
    for (const auto& [line, known] : lines_) programs.insert(known.program);
    std::erase_if(icons_, [&](const auto& icon) { return !programs.count(icon.first); });

    for (const std::wstring& line : named) {
        if (line.empty() || lines_.count(line)) continue;
        lines_[line] = Line{};
        waiting_.push_back(line);
    }
    if (!finding_ && !waiting_.empty()) finding_ = PostMessageW(window_, message_, 0, 0);
}

std::optional<std::wstring> MenuIcons::receive(LPARAM) {
    finding_ = false;
    if (waiting_.empty()) return std::nullopt;
    std::wstring next = std::move(waiting_.front());
    waiting_.pop_front();
    if (!waiting_.empty()) finding_ = PostMessageW(window_, message_, 0, 0);
    auto line = lines_.find(next);
    if (line == lines_.end()) return std::nullopt;  // no item names it any more
    const Found found = find(next, size_);
    if (found.pixels.empty()) return std::nullopt;
    line->second.program = found.program;
    if (!icons_.count(found.program)) {
        Canvas icon(size_);
        if (!icon.bits) return std::nullopt;
        std::copy(found.pixels.begin(), found.pixels.end(), icon.pixels());
        icons_[found.program] = std::move(icon.bitmap);
    }
    return next;
}

HBITMAP MenuIcons::bitmapOf(const std::wstring& commandLine) {
    auto line = lines_.find(commandLine);
    if (line == lines_.end()) return nullptr;
    auto icon = icons_.find(line->second.program);
    if (icon != icons_.end()) return icon->second.get();
    if (!blank_) blank_ = std::move(Canvas(size_).bitmap);
    return blank_.get();
}

}  // namespace td::win32
