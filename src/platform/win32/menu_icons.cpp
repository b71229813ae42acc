#include "platform/win32/menu_icons.h"

#include <shlobj.h>

#include <cstdint>
#include <set>

#include "platform/command_line.h"
#include "platform/win32/services.h"

namespace td::win32 {

namespace {

using Pixels = std::vector<std::uint32_t>;  // premultiplied BGRA, top row first

// What was found for a line: its program file and icon (none found: both empty).
struct Found {
    std::wstring program;
    Pixels pixels;
};

// Whether looking at the line's program touches only local drives: a share ("\\server") or
// a drive that is not a local one (a network drive, a missing one) is not looked at.
bool local(const std::wstring& line) {
    const std::wstring path = line.substr(line.front() == L'"' ? 1 : 0);
    if (path.rfind(L"\\\\", 0) == 0 || path.rfind(L"//", 0) == 0) return false;
    if (path.size() < 2 || path[1] != L':') return true;  // a name the search finds
    const std::wstring root = path.substr(0, 2) + L"\\";
    switch (GetDriveTypeW(root.c_str())) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK:
            return true;
        default:
            return false;
    }
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
    const std::wstring expanded = expandEnvironment(line, environmentVariable);
    if (expanded.empty() || !local(expanded)) return found;
    Win32FileSystem files;
    const std::optional<std::wstring> program = programFile(expanded, files);
    if (!program) return found;
    HICON icon = nullptr;
    bool shared = false;
    if (SHDefExtractIconW(program->c_str(), 0, 0, nullptr, &icon, MAKELONG(size, size)) != S_OK)
        icon = nullptr;
    if (!icon) {
        // A program without an icon of its own shows the system's, as the shell shows it.
        icon = static_cast<HICON>(
            LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED));
        shared = true;
    }
    if (!icon) return found;
    found.program = *program;
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

bool MenuIcons::receive(LPARAM) {
    finding_ = false;
    if (waiting_.empty()) return false;
    const std::wstring next = std::move(waiting_.front());
    waiting_.pop_front();
    if (!waiting_.empty()) finding_ = PostMessageW(window_, message_, 0, 0);
    auto line = lines_.find(next);
    if (line == lines_.end()) return false;  // no item names it any more
    const Found found = find(next, size_);
    if (found.pixels.empty()) return false;
    line->second.program = found.program;
    if (!icons_.count(found.program)) {
        Canvas icon(size_);
        if (!icon.bits) return false;
        std::copy(found.pixels.begin(), found.pixels.end(), icon.pixels());
        icons_[found.program] = std::move(icon.bitmap);
    }
    return true;
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
