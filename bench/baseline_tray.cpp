// The cost floor of any tray program on this platform: one hidden window, one icon from the
// system's stock, a message loop, and nothing else. The benchmark starts it beside
// tillerdock.exe and reports every figure against it. It is built with the same compiler and
// linker flags as tillerdock.exe (static runtime included).
#include <windows.h>
// These build on windows.h.
#include <shellapi.h>

namespace {

UINT const kTrayCallback = WM_APP + 1;
UINT const kIconId = 1;
wchar_t const kClassName[] = L"Tillerdock.BenchBaseline";
wchar_t const kTip[] = L"Tray baseline";

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
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

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
