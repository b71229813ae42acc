#include "platform/win32/form_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/resource_ids.h"

namespace td::win32 {

namespace {

constexpr wchar_t kClassPrefix[] = L"Tillerdock.";

// The windows' font; link labels draw it underlined in pure blue, headings bold at 12 pt.
constexpr wchar_t kFontFace[] = L"MS Sans Serif";
constexpr int kFontPointsTimes100 = 825;
constexpr int kHeadingPoints = 12;
// A label whose text is too wide for its box is set smaller, down to this size, and then
// narrower.
constexpr int kSmallestPointsTimes100 = 700;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// A font handle that deletes itself.
class Font {
public:
    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() { reset(nullptr); }
    void reset(HFONT font) {
        if (font_) DeleteObject(font_);
        font_ = font;
    }
    HFONT get() const { return font_; }

private:
    HFONT font_ = nullptr;
};

std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

int shiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ui::kShiftMask;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ui::kCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= ui::kAltMask;
    return shift;
}

// The access key of a caption ("&Launch" -> 'l'), or 0.
wchar_t accessKey(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towlower(caption[i + 1]));
    }
    return 0;
}

class Win32FormView;

// Holds the view of a native window; cleared when the window goes.
Win32FormView* viewOf(HWND hwnd) {
    return reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

class Win32FormView : public ui::FormView {
public:
    Win32FormView(ui::Form& form, HINSTANCE instance, HWND owner)
        : form_(form), instance_(instance), owner_(owner) {}

    ~Win32FormView() override {
        if (hwnd_) DestroyWindow(hwnd_);
        if (menuBar_) DestroyMenu(menuBar_);
        if (bigIcon_) DestroyIcon(bigIcon_);
        if (smallIcon_) DestroyIcon(smallIcon_);
    }

    void create(bool isMainWindow);
    ui::Form& form() const { return form_; }
    HWND hwnd() const { return hwnd_; }
    HMENU nativeMenu(const ui::MenuItem& menu) const {
        auto it = popups_.find(&menu);
        return it == popups_.end() ? nullptr : it->second;
    }
    void setDefaultItem(const ui::MenuItem* item) {
        defaultItem_ = item;
        renderMenus();
    }
    void setModalOwner(HWND owner) { modalOwner_ = owner; }

    void controlChanged(ui::Control& control, ui::Property property) override;
    void formChanged(ui::Form& form, ui::Property property) override;
    void formUnloaded(ui::Form& form) override;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR data);

    MessageHook hook;

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    void createControls();
    void createFonts();
    void layout();
    void applyFonts();
    HFONT designFontOf(const ui::Control& control) const;
    void fitLabelFonts();
    void renderMenus();
    void renderMenu(HMENU native, const ui::MenuItem& menu);
    void placeWindow();
    void showNative();
    HWND controlHwnd(const ui::Control& control) const {
        auto it = hwnds_.find(const_cast<ui::Control*>(&control));
        return it == hwnds_.end() ? nullptr : it->second;
    }
    ui::Control* controlOf(HWND hwnd) const {
        for (const auto& [control, h] : hwnds_)
            if (h == hwnd) return control;
        return nullptr;
    }

    ui::Form& form_;
    HINSTANCE instance_;
    HWND owner_;
    HWND modalOwner_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    HMENU menuBar_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool isMain_ = false;
    bool placed_ = false;
    bool applyingState_ = false;
    const ui::MenuItem* defaultItem_ = nullptr;
    std::map<ui::Control*, HWND> hwnds_;
    std::map<const ui::MenuItem*, HMENU> popups_;
    Font messageFont_;
    Font linkFont_;
    Font headingFont_;
    // Smaller faces for labels whose text would not fit their box at this DPI.
    std::map<const ui::Control*, std::unique_ptr<Font>> fittedFonts_;
};

// The program's icon at the size the system uses for the metric at this DPI.
HICON loadProgramIcon(HINSTANCE instance, int metric, UINT dpi) {
    const int size = GetSystemMetricsForDpi(metric, dpi);
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_TILLERDOCK), IMAGE_ICON, size, size, 0));
}

void registerClass(HINSTANCE instance, const std::wstring& name) {
    WNDCLASSEXW wc = {sizeof(wc)};
    if (GetClassInfoExW(instance, name.c_str(), &wc)) return;
    wc.lpfnWndProc = &Win32FormView::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);
}

void Win32FormView::create(bool isMainWindow) {
    isMain_ = isMainWindow;
    const std::wstring className = kClassPrefix + form_.name();
    registerClass(instance_, className);

    // The main window has a fixed border and a minimise box; the other windows are dialogs
    // owned by it, without a taskbar button.
    const DWORD style = isMain_ ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
                                : WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = form_.hasIcon() ? 0 : WS_EX_DLGMODALFRAME;
    hwnd_ = CreateWindowExW(exStyle, className.c_str(), form_.caption().c_str(),
                            style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, isMain_ ? nullptr : owner_, nullptr, instance_, this);
    if (!hwnd_) return;
    dpi_ = GetDpiForWindow(hwnd_);

    if (form_.hasIcon()) {
        bigIcon_ = loadProgramIcon(instance_, SM_CXICON, dpi_);
        smallIcon_ = loadProgramIcon(instance_, SM_CXSMICON, dpi_);
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }

    if (!form_.menuBar().empty()) {
        menuBar_ = CreateMenu();
        for (const ui::MenuItem* top : form_.menuBar()) {
            HMENU popup = CreatePopupMenu();
            popups_[top] = popup;
            AppendMenuW(menuBar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                        top->caption().c_str());
        }
        renderMenus();
        SetMenu(hwnd_, menuBar_);
    }

    createFonts();
    createControls();
    layout();
    applyFonts();
}

// The layout is measured for "MS Sans Serif" 8.25 pt, so every control uses that face; a
// wider face would wrap or clip the labels. Where the face is missing, the system's font
// mapper substitutes its nearest match.
// width: the characters' average width in pixels; 0 for the face's own proportions.
HFONT createFont(UINT dpi, int pointsTimes100, int weight, bool underline, int width = 0) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(pointsTimes100, static_cast<int>(dpi), 72 * 100);
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfUnderline = underline;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcscpy_s(font.lfFaceName, kFontFace);
    return CreateFontIndirectW(&font);
}

void Win32FormView::createFonts() {
    messageFont_.reset(createFont(dpi_, kFontPointsTimes100, FW_NORMAL, false));
    linkFont_.reset(createFont(dpi_, kFontPointsTimes100, FW_NORMAL, true));
    headingFont_.reset(createFont(dpi_, kHeadingPoints * 100, FW_BOLD, false));
}

void Win32FormView::createControls() {
    // Creation order is the keyboard focus order. Frames come last, so that they lie
    // beneath the controls drawn over their edges.
    std::vector<ui::Control*> order;
    for (ui::Control* c : form_.controls())
        if (c->tabStop()) order.push_back(c);
    for (ui::Control* c : form_.controls())
        if (!c->tabStop() && c->kind() != ui::ControlKind::Frame) order.push_back(c);
    for (ui::Control* c : form_.controls())
        if (c->kind() == ui::ControlKind::Frame) order.push_back(c);

    for (ui::Control* c : order) {
        const wchar_t* cls = WC_BUTTONW;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        std::wstring text = c->caption();
        switch (c->kind()) {
            case ui::ControlKind::TextBox:
                cls = WC_EDITW;
                style |= WS_TABSTOP | ES_AUTOHSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                text = static_cast<ui::TextBox*>(c)->text();
                break;
            case ui::ControlKind::CheckBox:
                // Three states, set only by the program: a click asks the model.
                style |= WS_TABSTOP | BS_3STATE;
                break;
            case ui::ControlKind::Button:
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
            case ui::ControlKind::Label: {
                cls = WC_STATICW;
                const auto labelStyle = static_cast<ui::Label*>(c)->style();
                style |= labelStyle == ui::LabelStyle::Centered || labelStyle == ui::LabelStyle::Heading
                             ? SS_CENTER
                             : SS_LEFTNOWORDWRAP;
                if (labelStyle == ui::LabelStyle::Link) style |= SS_NOTIFY | SS_NOPREFIX;
                break;
            }
            case ui::ControlKind::Frame:
                style |= BS_GROUPBOX;
                break;
            case ui::ControlKind::Line:
                cls = WC_STATICW;
                style |= SS_ETCHEDVERT;
                break;
        }
        if (c->visible()) style |= WS_VISIBLE;
        if (!c->enabled()) style |= WS_DISABLED;
        HWND h = CreateWindowExW(exStyle, cls, text.c_str(), style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c->id())), instance_,
                                 nullptr);
        if (!h) continue;
        hwnds_[c] = h;
        if (auto* box = dynamic_cast<ui::TextBox*>(c))
            SendMessageW(h, EM_SETLIMITTEXT, box->maxLength() ? box->maxLength() : 0x7FFFFFFE, 0);
        if (auto* check = dynamic_cast<ui::CheckBox*>(c))
            SendMessageW(h, BM_SETCHECK, static_cast<WPARAM>(check->value()), 0);
        if (auto* button = dynamic_cast<ui::Button*>(c); button && button->KeyDown)
            SetWindowSubclass(h, &Win32FormView::buttonProc, 1, reinterpret_cast<DWORD_PTR>(this));
        if (!c->tooltip().empty()) {
            if (!tooltip_)
                tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                           nullptr, instance_, nullptr);
            TTTOOLINFOW tool = {sizeof(tool)};
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd_;
            tool.uId = reinterpret_cast<UINT_PTR>(h);
            tool.lpszText = const_cast<wchar_t*>(c->tooltip().c_str());
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (form_.focused()) lastFocus_ = controlHwnd(*form_.focused());
}

void Win32FormView::layout() {
    const int dpi = static_cast<int>(dpi_);
    for (const auto& [control, h] : hwnds_) {
        const ui::Rect r = control->absoluteRect();
        int width = twipsToPixels(r.width, dpi_);
        int height = twipsToPixels(r.height, dpi_);
        if (control->kind() == ui::ControlKind::Line) width = std::max(width, MulDiv(2, dpi, 96));
        SetWindowPos(h, nullptr, twipsToPixels(r.left, dpi_), twipsToPixels(r.top, dpi_), width,
                     height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame = {0, 0, twipsToPixels(form_.clientWidth(), dpi_),
                  twipsToPixels(form_.clientHeight(), dpi_)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                             menuBar_ != nullptr,
                             static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps at this width makes the client area shorter: grow to fit.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int missing = twipsToPixels(form_.clientHeight(), dpi_) - client.bottom;
    if (missing > 0) {
        RECT window;
        GetWindowRect(hwnd_, &window);
        SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left,
                     window.bottom - window.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HFONT Win32FormView::designFontOf(const ui::Control& control) const {
    if (const auto* label = dynamic_cast<const ui::Label*>(&control)) {
        if (label->style() == ui::LabelStyle::Link) return linkFont_.get();
        if (label->style() == ui::LabelStyle::Heading) return headingFont_.get();
    }
    return messageFont_.get();
}

// A label shows its whole text on one line. Where the face the system substitutes is wider
// than the one the layout was measured for, the label's text is set a little smaller; where
// even the smallest size that still reads is too wide, its characters are set narrower at
// that size, which keeps their height.
void Win32FormView::fitLabelFonts() {
    fittedFonts_.clear();
    HDC dc = GetDC(hwnd_);
    for (const auto& [control, h] : hwnds_) {
        const auto* label = dynamic_cast<const ui::Label*>(control);
        if (!label || label->caption().empty()) continue;
        // A few pixels to spare: some substituted faces draw slightly past their measure.
        const int available =
            twipsToPixels(label->rect().width, dpi_) - MulDiv(4, static_cast<int>(dpi_), 96);
        const bool bold = label->style() == ui::LabelStyle::Heading;
        const bool underline = label->style() == ui::LabelStyle::Link;
        int points = bold ? kHeadingPoints * 100 : kFontPointsTimes100;
        int width = 0;
        HFONT font = designFontOf(*label);
        std::unique_ptr<Font> fitted;
        for (;;) {
            SIZE extent = {};
            TEXTMETRICW metrics = {};
            HGDIOBJ old = SelectObject(dc, font);
            GetTextExtentPoint32W(dc, label->caption().c_str(),
                                  static_cast<int>(label->caption().size()), &extent);
            GetTextMetricsW(dc, &metrics);
            SelectObject(dc, old);
            if (extent.cx <= available) break;
            if (points > kSmallestPointsTimes100) {
                points -= 25;
            } else {
                // The average width that would just fit, then a pixel less at each try.
                width = width ? width - 1
                              : MulDiv(metrics.tmAveCharWidth, available, extent.cx);
                if (width < 1) break;
            }
            fitted = std::make_unique<Font>();
            fitted->reset(createFont(dpi_, points, bold ? FW_BOLD : FW_NORMAL, underline, width));
            font = fitted->get();
        }
        if (fitted) fittedFonts_[control] = std::move(fitted);
    }
    ReleaseDC(hwnd_, dc);
}

void Win32FormView::applyFonts() {
    fitLabelFonts();
    for (const auto& [control, h] : hwnds_) {
        auto fitted = fittedFonts_.find(control);
        HFONT font = fitted != fittedFonts_.end() ? fitted->second->get() : designFontOf(*control);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont_.get()), TRUE);
}

void Win32FormView::renderMenus() {
    for (const auto& [menu, native] : popups_) renderMenu(native, *menu);
}

// Win32 menus have no hidden items: the native menu is rebuilt to hold exactly the visible
// items, so that anyone reading it (a screen reader, an automation tool) sees the truth.
void Win32FormView::renderMenu(HMENU native, const ui::MenuItem& menu) {
    while (GetMenuItemCount(native) > 0) RemoveMenu(native, 0, MF_BYPOSITION);
    UINT position = 0;
    for (const ui::MenuItem* item : menu.items()) {
        if (!item->visible()) continue;
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.wID = static_cast<UINT>(item->id());
        if (item->separator()) {
            info.fMask = MIIM_ID | MIIM_FTYPE;
            info.fType = MFT_SEPARATOR;
        } else {
            info.fType = MFT_STRING;
            info.fState = (item->enabled() ? MFS_ENABLED : MFS_GRAYED) |
                          (item->checked() ? MFS_CHECKED : MFS_UNCHECKED) |
                          (item == defaultItem_ ? MFS_DEFAULT : 0);
            info.dwTypeData = const_cast<wchar_t*>(item->caption().c_str());
        }
        InsertMenuItemW(native, position++, TRUE, &info);
    }
}

void Win32FormView::placeWindow() {
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
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    x = std::clamp(x, static_cast<int>(monitor.rcWork.left),
                   std::max(static_cast<int>(monitor.rcWork.left),
                            static_cast<int>(monitor.rcWork.right) - width));
    y = std::clamp(y, static_cast<int>(monitor.rcWork.top),
                   std::max(static_cast<int>(monitor.rcWork.top),
                            static_cast<int>(monitor.rcWork.bottom) - height));
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormView::showNative() {
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

void Win32FormView::controlChanged(ui::Control& control, ui::Property property) {
    HWND h = controlHwnd(control);
    if (!h) return;
    switch (property) {
        case ui::Property::Text: {
            const auto& text = static_cast<ui::TextBox&>(control).text();
            // The native box may already hold it (the user typed it).
            if (windowText(h) != text) SetWindowTextW(h, text.c_str());
            break;
        }
        case ui::Property::Caption:
            SetWindowTextW(h, control.caption().c_str());
            break;
        case ui::Property::Enabled:
            EnableWindow(h, control.enabled());
            break;
        case ui::Property::Visible:
            ShowWindow(h, control.visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case ui::Property::Value:
            SendMessageW(h, BM_SETCHECK, static_cast<WPARAM>(static_cast<ui::CheckBox&>(control).value()), 0);
            break;
        case ui::Property::MaxLength: {
            const auto max = static_cast<ui::TextBox&>(control).maxLength();
            SendMessageW(h, EM_SETLIMITTEXT, max ? max : 0x7FFFFFFE, 0);
            break;
        }
        default:
            break;
    }
}

void Win32FormView::formChanged(ui::Form& form, ui::Property property) {
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
            if (form.focused()) {
                lastFocus_ = controlHwnd(*form.focused());
                if (lastFocus_ && IsWindowVisible(hwnd_)) SetFocus(lastFocus_);
            }
            break;
        case ui::Property::Menu:
            renderMenus();
            break;
        default:
            break;
    }
}

void Win32FormView::formUnloaded(ui::Form&) {
    // The owner is enabled again before this window goes, so that the activation returns
    // to it and not to some other program.
    if (modalOwner_) EnableWindow(modalOwner_, TRUE);
    HWND h = hwnd_;
    hwnd_ = nullptr;
    if (h) DestroyWindow(h);
    if (isMain_) PostQuitMessage(0);
}

void Win32FormView::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND from = reinterpret_cast<HWND>(lParam);
    if (!from) {
        // A menu command. The dialog keys Enter and Esc arrive as commands 1 and 2, which no
        // item uses: they are bound to nothing.
        if (code != 0) return;
        if (ui::MenuItem* item = form_.findMenuItem(id); item && item->Click) item->Click();
        return;
    }
    ui::Control* control = controlOf(from);
    if (!control) return;
    if (auto* box = dynamic_cast<ui::TextBox*>(control)) {
        if (code == EN_CHANGE) box->setText(windowText(from));
    } else if (auto* check = dynamic_cast<ui::CheckBox*>(control)) {
        if (code == BN_CLICKED) check->userClick();
    } else if (auto* button = dynamic_cast<ui::Button*>(control)) {
        if (code == BN_CLICKED && button->Click) button->Click();
    } else if (auto* label = dynamic_cast<ui::Label*>(control)) {
        if (code == STN_CLICKED && label->Click) label->Click();
    }
}

LRESULT Win32FormView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (hook) {
        LRESULT result = 0;
        if (hook(message, wParam, lParam, result)) return result;
    }
    switch (message) {
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_INITMENUPOPUP: {
            // Opening a drop-down menu, from the menu bar or as a pop-up, runs its refresh.
            HMENU native = reinterpret_cast<HMENU>(wParam);
            for (const auto& [menu, h] : popups_)
                if (h == native && menu->Click) menu->Click();
            return 0;
        }
        case WM_SIZE:
            if (!applyingState_) {
                if (wParam == SIZE_MINIMIZED)
                    form_.setWindowState(ui::kMinimized);
                else if (wParam == SIZE_RESTORED && IsWindowVisible(hwnd_))
                    form_.setWindowState(ui::kNormal);
            }
            return 0;
        case WM_ACTIVATE:
            // Keep the keyboard focus on the control that had it when the user comes back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                HWND target = lastFocus_ && IsWindowEnabled(lastFocus_)
                                  ? lastFocus_
                                  : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                if (target) SetFocus(target);
            }
            return 0;
        case WM_CLOSE:
            form_.unload(ui::UnloadMode::CloseCommand);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The process ends as soon as this returns: everything is saved now.
            if (wParam && isMain_) form_.unload(ui::UnloadMode::EndSession);
            return 0;
        case WM_CTLCOLORSTATIC: {
            ui::Control* control = controlOf(reinterpret_cast<HWND>(lParam));
            auto* label = dynamic_cast<ui::Label*>(control);
            if (label && label->style() == ui::LabelStyle::Link) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kLinkColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        }
        case WM_SETCURSOR: {
            auto* label = dynamic_cast<ui::Label*>(controlOf(reinterpret_cast<HWND>(wParam)));
            if (label && label->style() == ui::LabelStyle::Link && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: fonts and positions follow.
            dpi_ = HIWORD(wParam);
            createFonts();
            layout();
            applyFonts();
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            RECT window;
            GetWindowRect(hwnd_, &window);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, window.right - window.left,
                         window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Win32FormView::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* view = static_cast<Win32FormView*>(create->lpCreateParams);
        view->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    Win32FormView* view = viewOf(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (view && view->hwnd_ == hwnd) view->hwnd_ = nullptr;
        view = nullptr;
    }
    if (!view || view->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    // A handler may close the window and drop the last reference to its form; the form and
    // this view stay alive until the message has been handled.
    std::shared_ptr<ui::Form> keep = view->form_.shared_from_this();
    return view->handle(message, wParam, lParam);
}

LRESULT CALLBACK Win32FormView::buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
    if (message == WM_KEYDOWN) {
        auto* view = reinterpret_cast<Win32FormView*>(data);
        if (auto* button = dynamic_cast<ui::Button*>(view->controlOf(hwnd)); button && button->KeyDown) {
            std::shared_ptr<ui::Form> keep = view->form_.shared_from_this();
            button->KeyDown(static_cast<int>(wParam), shiftState());
            if (!IsWindow(hwnd)) return 0;
        }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

Win32FormView* win32View(const ui::Form& form) { return dynamic_cast<Win32FormView*>(form.view()); }

}  // namespace

HWND hwndOf(const ui::Form& form) {
    Win32FormView* view = win32View(form);
    return view ? view->hwnd() : nullptr;
}

ui::Form* formOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (std::wstring_view(className).rfind(kClassPrefix, 0) != 0) return nullptr;
    Win32FormView* view = viewOf(hwnd);
    return view ? &view->form() : nullptr;
}

int twipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

void createFormView(ui::Form& form, HINSTANCE instance, HWND owner, bool isMainWindow) {
    auto view = std::make_unique<Win32FormView>(form, instance, owner);
    Win32FormView* raw = view.get();
    form.attachView(std::move(view));
    raw->create(isMainWindow);
}

HMENU nativeMenuOf(const ui::Form& form, const ui::MenuItem& menu) {
    Win32FormView* view = win32View(form);
    return view ? view->nativeMenu(menu) : nullptr;
}

void setDefaultMenuItem(const ui::Form& form, const ui::MenuItem* item) {
    if (Win32FormView* view = win32View(form)) view->setDefaultItem(item);
}

void setModalOwner(const ui::Form& form, HWND owner) {
    if (Win32FormView* view = win32View(form)) view->setModalOwner(owner);
}

void setMessageHook(const ui::Form& form, MessageHook hook) {
    if (Win32FormView* view = win32View(form)) view->hook = std::move(hook);
}

wchar_t menuAccessKey(const ui::MenuItem& item) { return accessKey(item.caption()); }

}  // namespace td::win32
