// What the menu watcher (menu_watch.dll) writes in the watched program, in memory the benchmark
// shares with it: in order, each pop-up menu window shown and each menu item the program drew
// itself (WM_DRAWITEM), with whether that drawing changed the item's pixels (an icon drawn).
#pragma once

#include <windows.h>

namespace bench {

inline constexpr wchar_t kMenuWatchLog[] = L"Local\\Tillerdock.BenchMenuWatch";

struct MenuWatchLog {
    enum Kind : LONG { Shown = 1, Bare = 2, Drawn = 3 };
    struct Event {
        LONG kind;
        LONG item;  // the menu item's identifier; 0 for a window shown
    };
    static constexpr LONG kCapacity = 4096;
    LONG count;  // events written (they stop at the capacity)
    Event events[kCapacity];
};

}  // namespace bench
