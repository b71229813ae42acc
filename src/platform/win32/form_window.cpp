#include "platform/win32/form_window.h"

#include <algorithm>

#include "platform/win32/resource_ids.h"
#include "platform/win32/system_text.h"

namespace td::win32 {

namespace {

// The message in which a drag from Explorer hands over its data (WM_COPYGLOBALDATA).
constexpr UINT kCopyGlobalData = 0x0049;

}  // namespace

HICON loadProgramIcon(int metric, UINT dpi) {
    const int size = GetSystemMetricsForDpi(metric, dpi);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(IDI_TILLERDOCK), IMAGE_ICON, size, size,
                                         LR_DEFAULTCOLOR));
}

FormWindow::~FormWindow() {
    if (!hwnd_) return;
    // The window goes without reaching this view again, and without the menu bar, which the
    // view destroys itself.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    SetMenu(hwnd_, nullptr);
    DestroyWindow(hwnd_);
}

HWND FormWindow::made() {
    if (!tried_) create();
    return hwnd_;
}

Status FormWindow::create() {
    tried_ = true;
    created_ = makeWindow();
    return created_;
}

Status FormWindow::makeWindow() {
    const std::wstring className = kClassPrefix + form_.name();
    WNDCLASSEXW wc = {sizeof(wc)};
    if (!GetClassInfoExW(instance_, className.c_str(), &wc)) {
        wc.lpfnWndProc = &FormWindow::windowProc;
        wc.hInstance = instance_;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className.c_str();
        if (!RegisterClassExW(&wc)) return Status::failure(errorText(GetLastError()));
    }
    // The main window has a fixed border and a minimise box; the other windows are dialogs
    // owned by it, without a taskbar button.
    const DWORD style = isMain_ ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
                                : WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = form_.hasIcon() ? 0 : WS_EX_DLGMODALFRAME;
    // The window procedure takes this view at WM_NCCREATE and knows the window from then on.
    if (!CreateWindowExW(exStyle, className.c_str(), form_.caption().c_str(), style, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, isMain_ ? nullptr : owner_,
                         nullptr, instance_, this) ||
        !hwnd_)
        return Status::failure(errorText(GetLastError()));
    dpi_ = GetDpiForWindow(hwnd_);
    // The menu bar, the icons, the size and the controls come with the window's first show,
    // which a start into the tray never makes (the tray's pop-up menu makes the menus).
    return Status::success();
}

MenuBar* FormWindow::menuBar() {
    if (!menu_ && !form_.menuBar().empty()) menu_ = std::make_unique<MenuBar>(form_);
    return menu_.get();
}

void FormWindow::loadIcons() {
    if (!form_.hasIcon()) return;
    // The window switches to the new pictures before the old ones go.
    UniqueIcon big(loadProgramIcon(SM_CXICON, dpi_));
    UniqueIcon small(loadProgramIcon(SM_CXSMICON, dpi_));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

// The controls as the model has them now, with the focus it gives, and the boxes that take
// dropped files.
void FormWindow::createControls() {
    controls_ = std::make_unique<NativeControls>(form_, hwnd_, instance_);
    if (form_.focused())
        if (NativeControl* focus = controls_->find(*form_.focused())) lastFocus_ = focus->hwnd();
    layoutControls();
    for (const ui::Control* c : form_.controls())
        if (c->kind() == ui::ControlKind::TextBox && static_cast<const ui::TextBox*>(c)->Drop) {
            DragAcceptFiles(hwnd_, TRUE);
            // A copy the user runs as administrator still takes files from Explorer.
            for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData})
                ChangeWindowMessageFilterEx(hwnd_, message, MSGFLT_ALLOW, nullptr);
            break;
        }
}

// Positions and fonts of the controls for the window's DPI. The controls take their new
// fonts before the old ones are deleted.
void FormWindow::layoutControls() {
    HDC dc = GetDC(hwnd_);
    auto fonts = std::make_unique<WindowFonts>(dpi_, dc, controls_->labels());
    ReleaseDC(hwnd_, dc);
    controls_->layout(dpi_, *fonts);
    fonts_ = std::move(fonts);
}

// The window's size for its client area in twips at its DPI.
void FormWindow::sizeWindow() {
    RECT frame = {0, 0, twipsToPixels(form_.clientWidth(), dpi_),
                  twipsToPixels(form_.clientHeight(), dpi_)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                             menu_ != nullptr,
                             static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps at this width makes the client area shorter: grow to fit.
    RECT client, window;
    GetClientRect(hwnd_, &client);
    const int missing = twipsToPixels(form_.clientHeight(), dpi_) - client.bottom;
    if (missing > 0) {
        GetWindowRect(hwnd_, &window);
        SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left,
                     window.bottom - window.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Moved to a monitor of another scale: pictures, fonts and positions follow, and the window
// takes the place the system suggests for it.
void FormWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    loadIcons();
    if (controls_) layoutControls();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (client.bottom < twipsToPixels(form_.clientHeight(), dpi_)) sizeWindow();
}

void FormWindow::placeWindow() {
    if (placed_) return;
    placed_ = true;
    RECT window;
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // Centred over the owner, or on the work area of the monitor the window is on.
    RECT area;
    HWND over = isMain_ ? nullptr : (modalOwner_ ? modalOwner_ : owner_);
    MONITORINFO monitor = {sizeof(monitor)};
    GetMonitorInfoW(MonitorFromWindow(over ? over : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (over && IsWindowVisible(over) && !IsIconic(over))
        GetWindowRect(over, &area);
    else
        area = monitor.rcWork;
    const RECT& work = monitor.rcWork;
    const int x = std::clamp<int>(area.left + (area.right - area.left - width) / 2, work.left,
                                  std::max<int>(work.left, work.right - width));
    const int y = std::clamp<int>(area.top + (area.bottom - area.top - height) / 2, work.top,
                                  std::max<int>(work.top, work.bottom - height));
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::showNative() {
    if (!made()) return;
    if (!controls_) {
        if (MenuBar* bar = menuBar()) SetMenu(hwnd_, bar->handle());
        loadIcons();
        sizeWindow();
        createControls();
    }
    placeWindow();
    applyingState_ = true;
    // A plain show keeps a minimised window minimised.
    if (form_.windowState() == ui::kMinimized)
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_SHOW : SW_SHOWMINNOACTIVE);
    else
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    applyingState_ = false;
    if (lastFocus_ && form_.windowState() != ui::kMinimized) SetFocus(lastFocus_);
}

void FormWindow::controlChanged(ui::Control& control, ui::Property property) {
    if (controls_) controls_->apply(control, property);
}

void FormWindow::formChanged(ui::Form& form, ui::Property property) {
    switch (property) {
        case ui::Property::Visible:
            if (form.visible())
                showNative();
            else
                ShowWindow(hwnd_, SW_HIDE);
            break;
        case ui::Property::WindowState:
            // A hidden window takes its state when it is next shown.
            if (IsWindowVisible(hwnd_)) {
                applyingState_ = true;
                ShowWindow(hwnd_, form.windowState() == ui::kMinimized ? SW_MINIMIZE : SW_RESTORE);
                applyingState_ = false;
            }
            break;
        case ui::Property::Focus:
            if (form.focused() && controls_) {
                NativeControl* native = controls_->find(*form.focused());
                lastFocus_ = native ? native->hwnd() : nullptr;
                if (lastFocus_ && IsWindowVisible(hwnd_)) SetFocus(lastFocus_);
            }
            break;
        case ui::Property::Menu:
            if (menu_) menu_->render();
            break;
        default:
            break;
    }
}

void FormWindow::formUnloaded(ui::Form&) {
    // The owner is enabled again before this window goes, so that the activation returns
    // to it and not to some other program.
    if (modalOwner_) EnableWindow(modalOwner_, TRUE);
    HWND h = hwnd_;
    hwnd_ = nullptr;
    if (h) DestroyWindow(h);
    // The menus go with the window, and with them the thread that reads their icons, also at
    // the end of the session, after which the process ends without another word.
    menu_.reset();
    if (isMain_) PostQuitMessage(0);
}

}  // namespace td::win32
