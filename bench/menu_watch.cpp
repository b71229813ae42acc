// The menu watcher: hook procedures the benchmark sets on the user-interface thread of the
// program it checks (SetWindowsHookExW with this library, which the system loads into that
// program). They log, in the order the thread handles them, the pop-up menu windows it shows
// and the menu items it draws itself, telling a drawing that put something on the item (an
// icon) from one that left it as the system had painted it. The log is in memory the benchmark
// made (menu_watch.h). Nothing else of the program is touched.
#include "menu_watch.h"

namespace {

bench::MenuWatchLog* log() {
    static bench::MenuWatchLog* mapped = [] {
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, bench::kMenuWatchLog);
        return mapping ? static_cast<bench::MenuWatchLog*>(
                             MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0))
                       : nullptr;
    }();
    return mapped;
}

void write(bench::MenuWatchLog::Kind kind, LONG item) {
    bench::MenuWatchLog* to = log();
    if (!to || to->count >= bench::MenuWatchLog::kCapacity) return;
    to->events[to->count] = {kind, item};
    InterlockedIncrement(&to->count);
}

// The pixels of an item's place, as the drawing DC has them, before and after its drawing.
constexpr int kSide = 64;
struct Pixels {
    DWORD at[kSide * kSide];
};
Pixels before, after;

bool copy(HDC from, const RECT& place, Pixels& into) {
    static HDC memory = CreateCompatibleDC(nullptr);
    static void* bits = nullptr;
    static HBITMAP bitmap = [] {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        return CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }();
    if (!memory || !bitmap) return false;
    const HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, kSide, kSide, BLACKNESS);
    const int width = place.right - place.left < kSide ? place.right - place.left : kSide;
    const int height = place.bottom - place.top < kSide ? place.bottom - place.top : kSide;
    BitBlt(memory, 0, 0, width, height, from, place.left, place.top, SRCCOPY);
    GdiFlush();
    CopyMemory(into.at, bits, sizeof(into.at));
    SelectObject(memory, old);
    return true;
}

bool isMenuWindow(HWND window) {
    wchar_t name[8] = {};
    return GetClassNameW(window, name, 8) && lstrcmpW(name, L"#32768") == 0;
}

}  // namespace

extern "C" {

// WH_CALLWNDPROC: before a message is handled.
__declspec(dllexport) LRESULT CALLBACK menuWatchBefore(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(sent->lParam);
        if (item->CtlType == ODT_MENU) copy(item->hDC, item->rcItem, before);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// WH_CALLWNDPROCRET: after it was handled.
__declspec(dllexport) LRESULT CALLBACK menuWatchAfter(int code, WPARAM wParam, LPARAM lParam) {
    const auto* done = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && done->message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(done->lParam);
        if (item->CtlType == ODT_MENU && copy(item->hDC, item->rcItem, after)) {
            const bool changed = !RtlEqualMemory(before.at, after.at, sizeof(before.at));
            write(changed ? bench::MenuWatchLog::Drawn : bench::MenuWatchLog::Bare,
                  static_cast<LONG>(item->itemID));
        }
    } else if (code == HC_ACTION && done->message == WM_WINDOWPOSCHANGED) {
        const auto* place = reinterpret_cast<const WINDOWPOS*>(done->lParam);
        if ((place->flags & SWP_SHOWWINDOW) && isMenuWindow(done->hwnd))
            write(bench::MenuWatchLog::Shown, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // extern "C"
