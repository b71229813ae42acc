// What Tillerdock's main window costs without Tillerdock: a plain Win32 program that shows one
// window with the same 45 controls, the same menu bar and the same tray icon, created straight
// from tables, and runs a message loop. The benchmark measures Tillerdock's shown start against
// it. It is built with the same compiler and linker flags, static runtime, manifest (common
// controls 6, per-monitor DPI aware) and icon as tillerdock.exe, and loads comctl32 as
// Tillerdock does.
#include <windows.h>
// These build on windows.h.
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <span>
#include <type_traits>

#include "platform/win32/resource_ids.h"
#include "shared/window_ids.h"

#if defined(__GLIBCXX__)
// As in tillerdock.exe: the handles' destructors bring the C++ runtime's unwinding, and with
// the library's own terminate handler a symbol demangler and formatted printing, which
// Tillerdock leaves out the same way.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
#endif

namespace {

namespace ids = td::ids;
// The tray icon's callback message, as Tillerdock's.
UINT const kTrayCallback = WM_APP + 1;

wchar_t const kClassName[] = L"Tillerdock.BenchWindow";
wchar_t const kTitle[] = L"Window baseline";

// The main window's client area and the positions of its controls, in twips (1/1440 inch),
// as Tillerdock's layout gives them.
int const kClientWidth = 9000, kClientHeight = 4935;
int const kFrameLeft = 45, kFrameTop = -15;

// Each slot inside the frame: its caption box, path box and Browse button.
struct SlotLayout {
    int captionLeft, captionTop;
    int appLeft, appTop;
    int browseLeft, browseTop;
};
SlotLayout const kSlots[10] = {
    {840, 270, 120, 600, 3345, 555},    {5265, 270, 4560, 600, 7800, 555},
    {825, 1110, 120, 1440, 3360, 1395}, {5265, 1110, 4605, 1440, 7800, 1395},
    {825, 1965, 120, 2295, 3360, 2235}, {5265, 1965, 4560, 2295, 7800, 2235},
    {825, 2805, 120, 3135, 3360, 3090}, {5265, 2805, 4560, 3135, 7800, 3090},
    {825, 3660, 120, 3990, 3360, 3945}, {5265, 3660, 4560, 3990, 7800, 3945},
};
int const kCaptionWidth = 1965, kCaptionHeight = 285;
int const kAppWidth = 3135, kAppHeight = 285;
int const kBrowseWidth = 975, kBrowseHeight = 375;
// The "Caption:" label sits left of its caption box, level with its text.
int const kLabelGap = 30, kLabelWidth = 690, kLabelTopOffset = 45, kLabelHeight = 195;
int const kCaptionMaxLength = 22, kCaption9MaxLength = 30;

enum class Kind { Frame, Label, Edit, Button, Line };

struct Twips {
    int left, top, width, height;
};

struct ControlRow {
    Kind kind;
    int id;
    wchar_t const* text;
    Twips at;  // in the window's client area
    wchar_t const* tooltip = nullptr;
    int maxLength = 0x7FFFFFFE;  // of an edit box's text
    bool disabled = false;
};

// The frame around the slots, and the buttons and the line below it.
ControlRow const kFrame = {
    Kind::Frame, ids::kConfigFrame, L"", {kFrameLeft, kFrameTop, 8910, 4455}};
ControlRow const kBottom[] = {
    {Kind::Button, ids::kOk, L"OK", {5385, 4530, 1065, 345}, L"Save changes and minimize"},
    {Kind::Button,
     ids::kCancel,
     L"Cancel",
     {6585, 4530, 1065, 345},
     L"Discard changes and minimize"},
    {Kind::Button, ids::kExit, L"Exit", {7905, 4530, 1065, 345}, L"Save and Exit"},
    {Kind::Line, ids::kLine, L"", {7770, 4545, 0, 330}},
};

// The four controls of slot n (1 to 10): its label, caption box, path box and Browse button.
std::array<ControlRow, 4> slotControls(int n) {
    SlotLayout const& s = kSlots[n - 1];
    int const x = kFrameLeft, y = kFrameTop;
    return {{
        {Kind::Label,
         ids::kCaptionLabelBase + n,
         L"Caption:",
         {x + s.captionLeft - kLabelWidth - kLabelGap, y + s.captionTop + kLabelTopOffset,
          kLabelWidth, kLabelHeight}},
        // With an empty store no slot has a program, and Tillerdock shows its caption box
        // disabled.
        {Kind::Edit,
         ids::kCaptionBase + n,
         L"",
         {x + s.captionLeft, y + s.captionTop, kCaptionWidth, kCaptionHeight},
         nullptr,
         n == 9 ? kCaption9MaxLength : kCaptionMaxLength,
         true},
        {Kind::Edit, ids::kAppBase + n, L"", {x + s.appLeft, y + s.appTop, kAppWidth, kAppHeight}},
        {Kind::Button,
         ids::kBrowseBase + n,
         L"&Browse",
         {x + s.browseLeft, y + s.browseTop, kBrowseWidth, kBrowseHeight}},
    }};
}

// The menu bar: each menu's items in order after the slots' items; a null caption is a
// separator.
struct MenuEntry {
    int id;
    wchar_t const* caption;
};
wchar_t const* const kSlotCaptions[10] = {L"App 1", L"App 2", L"App 3", L"App 4", L"App 5",
                                          L"App 6", L"App 7", L"App 8", L"App 9", L"App 10"};
MenuEntry const kLaunchAfterSlots[] = {
    {ids::kMenuGroupLaunch, L"&Group Launch"}, {ids::kMenuSeparator1, nullptr},
    {ids::kMenuConfigure, L"Configure"},       {ids::kMenuHide, L"&Hide"},
    {ids::kMenuSeparator2, nullptr},           {ids::kMenuExit, L"E&xit"},
};
MenuEntry const kOptions[] = {
    {ids::kMenuGroup, L"&Group Launch"},
    {ids::kMenuStartup, L"&Minimize on Startup"},
    {ids::kMenuShortcut, L"Launch Menu &Shortcut..."},
};
MenuEntry const kHelp[] = {{ids::kMenuAbout, L"&About"}};

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

int twipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The program's icon at the size the system uses for the metric at this DPI.
UniqueIcon loadIcon(HINSTANCE instance, int metric, UINT dpi) {
    int const size = GetSystemMetricsForDpi(metric, dpi);
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_TILLERDOCK), IMAGE_ICON, size, size, 0)));
}

// The layout was measured for "MS Sans Serif" 8.25 pt; the program draws it in "MS Shell Dlg"
// at the same size, with the user's smoothing.
UniqueFont createFont(UINT dpi) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(825, static_cast<int>(dpi), 72 * 100);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

void appendItems(HMENU menu, std::span<MenuEntry const> entries) {
    for (MenuEntry const& entry : entries)
        AppendMenuW(menu, entry.caption ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(entry.id),
                    entry.caption);
}

void appendPopup(HMENU bar, wchar_t const* caption, HMENU popup) {
    AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption);
}

// "&Launch" (the ten slots and six more items), "&Options" and "&Help".
HMENU createMenuBar() {
    HMENU launch = CreatePopupMenu();
    for (int n = 1; n <= 10; ++n)
        AppendMenuW(launch, MF_STRING, static_cast<UINT_PTR>(ids::kMenuSlotBase + n),
                    kSlotCaptions[n - 1]);
    appendItems(launch, kLaunchAfterSlots);
    HMENU options = CreatePopupMenu();
    appendItems(options, kOptions);
    HMENU help = CreatePopupMenu();
    appendItems(help, kHelp);
    HMENU bar = CreateMenu();
    appendPopup(bar, L"&Launch", launch);
    appendPopup(bar, L"&Options", options);
    appendPopup(bar, L"&Help", help);
    return bar;
}

// One control, placed and set in the font; a tooltip tool when it has a tip.
void createControl(HWND window, ControlRow const& row, UINT dpi, HFONT font, HWND tooltip) {
    wchar_t const* cls = WC_BUTTONW;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE;
    DWORD exStyle = 0;
    int width = twipsToPixels(row.at.width, dpi);
    switch (row.kind) {
        case Kind::Frame:
            style |= BS_GROUPBOX;
            break;
        case Kind::Label:
            cls = WC_STATICW;
            style |= SS_LEFTNOWORDWRAP;
            break;
        case Kind::Edit:
            cls = WC_EDITW;
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::Button:
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case Kind::Line:
            cls = WC_STATICW;
            style |= SS_ETCHEDVERT;
            width = MulDiv(2, static_cast<int>(dpi), 96);
            break;
    }
    if (row.disabled) style |= WS_DISABLED;
    HWND control = CreateWindowExW(
        exStyle, cls, row.text, style, twipsToPixels(row.at.left, dpi),
        twipsToPixels(row.at.top, dpi), width, twipsToPixels(row.at.height, dpi), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), nullptr, nullptr);
    if (!control) return;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (row.kind == Kind::Edit)
        SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(row.maxLength), 0);
    if (row.tooltip) {
        TTTOOLINFOW tool = {sizeof(tool)};
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(row.tooltip);
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// Every control: the buttons and line, the slots, and the frame last so that it lies beneath
// the controls drawn over its edges.
void createControls(HWND window, UINT dpi, HFONT font) {
    HWND tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, nullptr, nullptr);
    SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (ControlRow const& row : kBottom) createControl(window, row, dpi, font, tooltip);
    for (int n = 1; n <= 10; ++n)
        for (ControlRow const& row : slotControls(n))
            createControl(window, row, dpi, font, tooltip);
    createControl(window, kFrame, dpi, font, tooltip);
}

// The client area of the layout at this DPI, centred on the work area of the window's monitor.
void placeWindow(HWND window, UINT dpi) {
    RECT frame = {0, 0, twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), TRUE,
                             0, dpi);
    MONITORINFO monitor = {sizeof(monitor)};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT const& area = monitor.rcWork;
    int const width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: {
            // The icon goes with the program, or the shell would show it until the pointer
            // passes over it.
            NOTIFYICONDATAW icon = {sizeof(icon)};
            icon.hWnd = hwnd;
            icon.uID = ids::kTrayIconId;
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
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = &windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;

    HWND window = CreateWindowExW(0, kClassName, kTitle,
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, createMenuBar(), instance, nullptr);
    if (!window) return 2;
    UINT const dpi = GetDpiForWindow(window);

    UniqueIcon const bigIcon = loadIcon(instance, SM_CXICON, dpi);
    UniqueIcon const smallIcon = loadIcon(instance, SM_CXSMICON, dpi);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    UniqueFont const font = createFont(dpi);
    createControls(window, dpi, font.get());
    placeWindow(window, dpi);

    // The tray icon before the window shows, as Tillerdock adds it at the end of its load.
    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = window;
    icon.uID = ids::kTrayIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayCallback;
    UniqueIcon const trayIcon = loadIcon(instance, SM_CXSMICON, dpi);
    icon.hIcon = trayIcon.get();
    lstrcpynW(icon.szTip, kTitle, ARRAYSIZE(icon.szTip));
    if (!Shell_NotifyIconW(NIM_ADD, &icon)) return 3;

    ShowWindow(window, SW_SHOW);
    // The keyboard focus on the first control, as in a dialog.
    SetFocus(GetNextDlgTabItem(window, nullptr, FALSE));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab and the access keys move between the controls.
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
