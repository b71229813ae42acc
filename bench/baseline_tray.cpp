// The cost floor of any tray program on this platform: one hidden window, one icon from the
// system's stock, a message loop, and nothing else. The benchmark starts it beside
// tillerdock.exe and reports every figure against it. It is built with the same compiler and
// linker flags as tillerdock.exe (static runtime included).
//
// It also opens the menu Tillerdock's tray shows (the Launch menu as it shows with the window
// hidden: ten slots, Group Launch, Configure as the default, Exit; no icons) the way a plain
// Win32 program does, on a right click on its icon and on a system-wide shortcut:
// SetForegroundWindow, TrackPopupMenuEx, then a posted WM_NULL. The menu is made at the first
// opening and kept. Started with "--hotkey N", N the decimal value of a hot-key control (the
// form of Tillerdock's stored "Hotkey"), it registers that shortcut when it starts; without it
// the program does exactly what the bare tray program does.
#include <windows.h>
// These build on windows.h.
#include <commctrl.h>
#include <shellapi.h>

namespace {

UINT const kTrayCallback = WM_APP + 1;
UINT const kIconId = 1;
int const kHotKeyId = 1;
wchar_t const kClassName[] = L"Tillerdock.BenchBaseline";
wchar_t const kTip[] = L"Tray baseline";

// Tillerdock's command identifiers, and the captions the benchmark stores for its slots.
UINT const kSlotBase = 2000, kGroupLaunch = 2011, kSeparator1 = 2012, kConfigure = 2013,
           kSeparator2 = 2015, kExit = 2016;
wchar_t const* const kSlotCaptions[10] = {L"Target 1", L"Target 2", L"Target 3", L"Target 4",
                                          L"Target 5", L"Target 6", L"Target 7", L"Target 8",
                                          L"Target 9", L"Target 10"};

HMENU launchMenu = nullptr;

HMENU createLaunchMenu() {
    HMENU menu = CreatePopupMenu();
    for (UINT n = 1; n <= 10; ++n)
        AppendMenuW(menu, MF_STRING, kSlotBase + n, kSlotCaptions[n - 1]);
    AppendMenuW(menu, MF_STRING, kGroupLaunch, L"&Group Launch");
    AppendMenuW(menu, MF_SEPARATOR, kSeparator1, nullptr);
    AppendMenuW(menu, MF_STRING, kConfigure, L"Configure");
    AppendMenuW(menu, MF_SEPARATOR, kSeparator2, nullptr);
    AppendMenuW(menu, MF_STRING, kExit, L"E&xit");
    SetMenuDefaultItem(menu, kConfigure, FALSE);
    return menu;
}

// The menu at the pointer, as the documentation of TrackPopupMenu asks of a tray program: its
// window in the foreground first, so that the menu closes when the user clicks elsewhere, and
// a message posted after it, so that the next opening works the same.
// Opened by the keyboard (the shortcut), the menu starts with its first item highlighted, as
// Tillerdock's does, so that the arrow keys and Enter work at once: its loop takes the posted
// key as its first.
void popUpMenu(HWND hwnd, bool fromKeyboard) {
    if (!launchMenu) launchMenu = createLaunchMenu();
    POINT at = {};
    GetCursorPos(&at);
    SetForegroundWindow(hwnd);
    if (fromKeyboard) PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    TrackPopupMenuEx(launchMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, hwnd,
                     nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kTrayCallback:
            // The classic callback carries the mouse message in lParam, version 4's in its low
            // word: either way, the right button's release opens the menu.
            if (LOWORD(lParam) == WM_RBUTTONUP) popUpMenu(hwnd, false);
            return 0;
        case WM_HOTKEY:
            popUpMenu(hwnd, true);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExit) PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE: {
            // The icon goes with the program, or the shell would show it until the pointer
            // passes over it.
            NOTIFYICONDATAW icon = {sizeof(icon)};
            icon.hWnd = hwnd;
            icon.uID = kIconId;
            Shell_NotifyIconW(NIM_DELETE, &icon);
            DestroyWindow(hwnd);
            return 0;
        }
        case WM_DESTROY:
            if (launchMenu) DestroyMenu(launchMenu);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The shortcut "--hotkey N" names: a hot-key control's value, the key in the low byte and the
// HOTKEYF_ modifiers in the next; 0 for none.
UINT hotKeyOf(PCWSTR commandLine) {
    static wchar_t const kOption[] = L"--hotkey ";
    PCWSTR at = commandLine;
    for (PCWSTR o = kOption; *o && *at == *o; ++o) ++at;
    if (at - commandLine != ARRAYSIZE(kOption) - 1) return 0;
    UINT value = 0;
    for (; *at >= L'0' && *at <= L'9'; ++at) value = value * 10 + static_cast<UINT>(*at - L'0');
    return value;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = &windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;

    // Never shown: the window only receives the icon's callbacks.
    HWND hwnd =
        CreateWindowExW(0, kClassName, kTip, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 2;

    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = hwnd;
    icon.uID = kIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayCallback;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(icon.szTip, kTip, ARRAYSIZE(icon.szTip));
    if (!Shell_NotifyIconW(NIM_ADD, &icon)) return 3;

    // The shortcut, as Tillerdock registers its own. Another program may hold the keys: the
    // program then opens its menu only for a WM_HOTKEY posted to it.
    if (UINT const keys = hotKeyOf(commandLine)) {
        UINT const modifiers = keys >> 8;
        RegisterHotKey(hwnd, kHotKeyId,
                       MOD_NOREPEAT | (modifiers & HOTKEYF_ALT ? MOD_ALT : 0) |
                           (modifiers & HOTKEYF_CONTROL ? MOD_CONTROL : 0) |
                           (modifiers & HOTKEYF_SHIFT ? MOD_SHIFT : 0),
                       keys & 0xFF);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
