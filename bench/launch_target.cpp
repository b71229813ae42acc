// The program the benchmark has started, by Tillerdock's menu or by itself: it signals the
// benchmark's event the moment it runs, and ends.
#include "launch_target.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, bench::kStartedEvent);
    if (!started) return 1;
    SetEvent(started);
    CloseHandle(started);
    return 0;
}
