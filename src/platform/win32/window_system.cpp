#include "platform/win32/window_system.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/form.h"
#include "platform/win32/form_view.h"

namespace td::win32 {

namespace {

// One-shot timers: the callbacks waiting for their thread timer to fire.
std::map<UINT_PTR, std::function<void()>>& pendingTimers() {
    static std::map<UINT_PTR, std::function<void()>> timers;
    return timers;
}

void CALLBACK timerFired(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto& timers = pendingTimers();
    auto it = timers.find(id);
    if (it == timers.end()) return;
    auto callback = std::move(it->second);
    timers.erase(it);
    callback();
}

// Whether a key message is one for the dialog navigation of the window (Tab, arrows,
// mnemonics of its controls) rather than for its menu bar.
bool forDialogNavigation(HWND root, const MSG& msg) {
    if (msg.message != WM_SYSCHAR) return true;
    ui::Form* form = formOf(root);
    if (!form) return true;
    const wchar_t key = static_cast<wchar_t>(std::towlower(static_cast<wchar_t>(msg.wParam)));
    for (const ui::MenuItem* top : form->menuBar())
        if (menuAccessKey(*top) == key) return false;
    return true;
}

// The events the message loops wait for besides messages, and what each one's signal runs.
std::vector<std::pair<HANDLE, std::function<void()>>>& eventWaits() {
    static std::vector<std::pair<HANDLE, std::function<void()>>> waits;
    return waits;
}

// Sleeps until a message arrives for the thread or one of the events is signalled, and runs
// that event's callback: no timer and no polling, so an idle program never wakes. The system
// resets an auto-reset event as the wait ends, so that one signal runs its callback once.
// While the system runs a loop of its own (a menu, a message box, the Open dialog) an event
// stays signalled until this loop runs again.
void waitForMessageOrEvent() {
    std::vector<HANDLE> events;
    for (const auto& wait : eventWaits()) events.push_back(wait.first);
    const auto count = static_cast<DWORD>(events.size());
    // Input that arrived before the wait started ends it at once.
    const DWORD woken = MsgWaitForMultipleObjectsEx(count, events.data(), INFINITE, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken < WAIT_OBJECT_0 + count) {
        const auto signalled = eventWaits()[woken - WAIT_OBJECT_0].second;
        signalled();
    } else if (woken == WAIT_FAILED) {
        WaitMessage();  // never a busy loop, whatever happened to an event
    }
}

// The monitor where the last pop-up kept within the work area opened, with that work area.
// Asking the system costs a few round trips to the window manager, about as much as the rest
// of the pop-up's own work; the answer holds until the system announces a change.
std::optional<MONITORINFO>& lastMonitor() {
    static std::optional<MONITORINFO> kept;
    return kept;
}

}  // namespace

void runWhenSignalled(HANDLE event, std::function<void()> signalled) {
    eventWaits().emplace_back(event, std::move(signalled));
}

void stopWaitingFor(HANDLE event) {
    std::erase_if(eventWaits(), [event](const auto& wait) { return wait.first == event; });
}

void forgetWorkAreas() {
    lastMonitor().reset();
}

bool runMessageLoop(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            waitForMessageOrEvent();
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        // Keyboard navigation (Tab, Shift+Tab, access keys) within the program's windows.
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && formOf(root) && forDialogNavigation(root, msg) && IsDialogMessageW(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

Status Win32WindowSystem::attach(ui::Form& form) {
    const bool isMain = mainWindow_ == nullptr;
    const Status created = createFormView(form, instance_, mainWindow_, isMain);
    if (isMain) mainWindow_ = hwndOf(form);
    return created;
}

Status Win32WindowSystem::showModal(ui::Form& form, ui::Form& owner) {
    std::shared_ptr<ui::Form> keep = form.shared_from_this();
    HWND window = hwndOf(form);
    // A form without a native window has nothing to show and would never close: the reason.
    if (!window) return nativeWindowOf(form);
    HWND ownerWindow = hwndOf(owner);
    setModalOwner(form, ownerWindow);
    EnableWindow(ownerWindow, FALSE);
    form.show();
    SetForegroundWindow(window);
    runMessageLoop([&] { return form.unloaded() || !form.visible(); });
    // Closed by other means than its own closing (hidden): the owner comes back all the same.
    EnableWindow(ownerWindow, TRUE);
    setModalOwner(form, nullptr);
    if (IsWindowVisible(ownerWindow)) SetActiveWindow(ownerWindow);
    return Status::success();
}

void Win32WindowSystem::setForeground(ui::Form& form) {
    if (HWND h = hwndOf(form)) SetForegroundWindow(h);
}

bool Win32WindowSystem::popupMenu(ui::Form& form, ui::MenuItem& menu, ui::MenuItem* defaultItem,
                                  const PopupPlace& place) {
    HWND h = hwndOf(form);
    HMENU native = nativeMenuOf(form, menu);
    // One menu at a time: never a second pop-up over an open one.
    if (!h || !native || menuLoopOf(form)) return false;
    setDefaultMenuItem(form, defaultItem);
    // Opened from the keyboard, the menu starts with its first item highlighted, so that the
    // arrow keys and Enter work at once: the menu's loop takes this key as its first.
    if (place.fromKeyboard) PostMessageW(h, WM_KEYDOWN, VK_DOWN, 0);
    // A point inside the work area keeps the whole menu inside it, the system moving the
    // menu where it would cross the edge: a point beyond it (over the taskbar) is moved in.
    POINT at = {place.at.x, place.at.y};
    if (place.withinWorkArea) {
        std::optional<MONITORINFO>& monitor = lastMonitor();
        if (!monitor || !PtInRect(&monitor->rcMonitor, at)) {
            MONITORINFO asked = {sizeof(asked)};
            if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &asked))
                monitor = asked;
            else
                monitor.reset();
        }
        if (monitor) {
            at.x = std::clamp(at.x, monitor->rcWork.left, monitor->rcWork.right - 1);
            at.y = std::clamp(at.y, monitor->rcWork.top, monitor->rcWork.bottom - 1);
        }
    }
    // Left edge at the point, items chosen with the left button. The chosen command comes
    // back here and is posted, so that its handler runs once the menu has gone.
    const UINT command =
        TrackPopupMenuEx(native, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD,
                         at.x, at.y, h, nullptr);
    // Without this the menu would not close when the user clicks elsewhere the next time.
    PostMessageW(h, WM_NULL, 0, 0);
    setDefaultMenuItem(form, nullptr);
    if (command == 0) return false;
    PostMessageW(h, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return true;
}

bool Win32WindowSystem::menuOpen(ui::Form& form) {
    return menuLoopOf(form);
}

void Win32WindowSystem::closeMenu() {
    EndMenu();
}

bool Win32WindowSystem::bringModalToFront(ui::Form& form) {
    HWND window = hwndOf(form);
    // A modal window of the program disables its owner while it is open.
    if (!window || IsWindowEnabled(window)) return false;
    // The topmost of the program's enabled windows is the one that takes input: the window
    // shown modally, a message box over it, or the Open dialog.
    struct Search {
        HWND owner;
        HWND found = nullptr;
    } search{window};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t className[32] = {};
            GetClassNameW(h, className, 32);
            if (h == s->owner || !IsWindowVisible(h) || !IsWindowEnabled(h) ||
                lstrcmpW(className, L"#32768") == 0 || lstrcmpW(className, TOOLTIPS_CLASSW) == 0)
                return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) SetForegroundWindow(search.found);
    return true;
}

bool Win32WindowSystem::runAfter(std::chrono::milliseconds delay, std::function<void()> callback) {
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(delay.count()), &timerFired);
    if (!id) return false;
    pendingTimers()[id] = std::move(callback);
    return true;
}

}  // namespace td::win32
