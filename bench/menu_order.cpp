// The check that the Launch menu is on screen before its icons, never after them: at the first
// opening after start-up no icon is read yet, and the menu must not wait for one. The menu
// watcher (menu_watch.cpp), loaded into Tillerdock's user-interface thread for these openings
// only, logs in order the menu window shown and each item the program draws itself, with
// whether that drawing put an icon on it.
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>

#include "bench.h"
#include "driving.h"
#include "menu_watch.h"

namespace bench {

namespace {

// First openings checked per press, each in a start of its own.
constexpr int kChecks = 5;

// What the log of one opening says: the items that got an icon, and whether each of them had
// been drawn without it first, after the menu window was shown.
struct Order {
    std::size_t icons = 0;
    bool inOrder = false;
};

Order readOrder(const MenuWatchLog& log) {
    const LONG count = std::min(log.count, MenuWatchLog::kCapacity);
    LONG shown = -1, firstIcon = -1;
    std::map<LONG, LONG> firstDrawing;  // item: Bare or Drawn
    std::set<LONG> withIcon;
    for (LONG i = 0; i < count; ++i) {
        const MenuWatchLog::Event& event = log.events[i];
        if (event.kind == MenuWatchLog::Shown) {
            if (shown < 0) shown = i;
            continue;
        }
        firstDrawing.emplace(event.item, event.kind);
        if (event.kind != MenuWatchLog::Drawn) continue;
        withIcon.insert(event.item);
        if (firstIcon < 0) firstIcon = i;
    }
    Order order{withIcon.size(), !withIcon.empty()};
    // Where the system tells no window shown (a window manager that shows menus without the
    // message), each item's first drawing still says it.
    if (shown >= 0 && firstIcon < shown) order.inOrder = false;
    for (LONG item : withIcon)
        if (firstDrawing[item] != MenuWatchLog::Bare) order.inOrder = false;
    return order;
}

}  // namespace

void Bench::menuOrderRow(UserWindow& user) {
    const UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  sizeof(MenuWatchLog), kMenuWatchLog));
    auto* log =
        mapping ? static_cast<MenuWatchLog*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0))
                : nullptr;
    const HMODULE watcher = LoadLibraryW((drive::programFolder() + L"menu_watch.dll").c_str());
    const auto hook = [&](const char* name) {
        return watcher ? reinterpret_cast<HOOKPROC>(
                             reinterpret_cast<void*>(GetProcAddress(watcher, name)))
                       : nullptr;
    };
    const HOOKPROC before = hook("menuWatchBefore"), after = hook("menuWatchAfter");
    int checked = 0, inOrder = 0, byShortcut = 0;
    std::vector<double> icons;
    for (Press press : {Press::HotKey, Press::Tray}) {
        for (int check = 0; log && before && after && check < kChecks; ++check) {
            prepare(Store::Menu);
            Instance app(subjects_.tillerdock);
            if (!app.start()) continue;
            Sleep(300);
            app.sync();
            const DWORD thread = GetWindowThreadProcessId(app.window(), nullptr);
            log->count = 0;
            const HHOOK hooks[] = {SetWindowsHookExW(WH_CALLWNDPROC, before, watcher, thread),
                                   SetWindowsHookExW(WH_CALLWNDPROCRET, after, watcher, thread)};
            // The system loads the watcher into the program as it handles this, before the press.
            app.sync();
            user.toFront();
            postPress(app, press, kMenuHotKey);
            HWND popup = nullptr;
            const bool opened =
                hooks[0] && hooks[1] &&
                waitUntil([&] { return (popup = visiblePopupMenu(app.pid())) != nullptr; }, 10000);
            // The icons come while the menu is open: the first, then time for the others.
            if (opened) {
                waitUntil([&] { return readOrder(*log).icons > 0; }, 3000);
                Sleep(300);
                closeMenu(app, popup);
            }
            for (HHOOK h : hooks)
                if (h) UnhookWindowsHookEx(h);
            const Order order = readOrder(*log);
            ++checked;
            byShortcut += press == Press::HotKey;
            inOrder += order.inOrder;
            icons.push_back(static_cast<double>(order.icons));
            app.stop();
            UserWindow::pump();
        }
    }
    if (log) UnmapViewOfFile(log);
    if (watcher) FreeLibrary(watcher);
    rows_.push_back({"Launch menu on screen before its icons, first opening (openings in order)",
                     format("%d of %d", inOrder, checked), "-", "-",
                     "every opening: each icon drawn after its item was drawn without it",
                     verdict(checked > 0, checked > 0 && inOrder == checked)});
    notes_.push_back(format(
        "Menu before icons: %d first openings after start-up (%d by the shortcut, %d by the tray "
        "icon), each with the menu watcher in Tillerdock's user-interface thread. Icons drawn "
        "while the menu was open: %s per opening (median; ten slots, nine of them on the local "
        "disk and one on the unreachable share).",
        checked, byShortcut, checked - byShortcut, fixed(median(icons), "%.0f").c_str()));
}

}  // namespace bench
