#include "platform/win32/native_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/accessibility.h"
#include "platform/win32/system_text.h"

namespace td::win32 {

void NativeControl::apply(ui::Property property) {
    switch (property) {
        case ui::Property::Caption:
            SetWindowTextW(hwnd_, model_.caption().c_str());
            break;
        case ui::Property::Enabled:
            EnableWindow(hwnd_, model_.enabled());
            break;
        case ui::Property::Visible:
            ShowWindow(hwnd_, model_.visible() ? SW_SHOWNA : SW_HIDE);
            break;
        default:
            break;
    }
}

namespace {

constexpr WPARAM kNoTextLimit = 0x7FFFFFFE;

class Edit : public NativeControl {
public:
    Edit(ui::TextBox& box, HWND hwnd) : NativeControl(box, hwnd), box_(box) {
        apply(ui::Property::MaxLength);
    }
    void apply(ui::Property property) override {
        if (property == ui::Property::Text) {
            // The native box may already hold it (the user typed it).
            if (windowText(hwnd_) != box_.text()) SetWindowTextW(hwnd_, box_.text().c_str());
        } else if (property == ui::Property::MaxLength) {
            SendMessageW(hwnd_, EM_SETLIMITTEXT, box_.maxLength() ? box_.maxLength() : kNoTextLimit,
                         0);
        } else {
            NativeControl::apply(property);
        }
    }
    void notify(int code) override {
        if (code == EN_CHANGE) box_.setText(windowText(hwnd_));
    }

private:
    ui::TextBox& box_;
};

// Three states, set only by the program: a click asks the model.
class Check : public NativeControl {
public:
    Check(ui::CheckBox& box, HWND hwnd) : NativeControl(box, hwnd), box_(box) {
        apply(ui::Property::Value);
    }
    void apply(ui::Property property) override {
        if (property == ui::Property::Value)
            SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(box_.value()), 0);
        else
            NativeControl::apply(property);
    }
    void notify(int code) override {
        if (code == BN_CLICKED) box_.userClick();
    }

private:
    ui::CheckBox& box_;
};

int shiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ui::kShiftMask;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ui::kCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= ui::kAltMask;
    return shift;
}

// A button with a key handler sees the keys pressed while it has the focus: its window
// procedure is replaced by one that tells the model first, until the button goes.
class Button : public NativeControl {
public:
    Button(ui::Button& button, HWND hwnd) : NativeControl(button, hwnd), button_(button) {
        if (!button_.KeyDown) return;
        SetPropW(hwnd_, kSelf, this);
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&keyProc)));
    }
    void notify(int code) override {
        if (code == BN_CLICKED && button_.Click) button_.Click();
    }

private:
    static constexpr wchar_t kSelf[] = L"Tillerdock.Button";

    static LRESULT CALLBACK keyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<Button*>(GetPropW(hwnd, kSelf));
        const WNDPROC previous = self->previous_;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            RemovePropW(hwnd, kSelf);
        } else if (message == WM_KEYDOWN && self->button_.KeyDown) {
            // The handler may close the window, and with it this button.
            self->button_.KeyDown(static_cast<int>(wParam), shiftState());
            if (!IsWindow(hwnd)) return 0;
        }
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }

    ui::Button& button_;
    WNDPROC previous_ = nullptr;
};

class Label : public NativeControl {
public:
    Label(ui::Label& label, HWND hwnd) : NativeControl(label, hwnd), label_(label) {}
    void notify(int code) override {
        if (code == STN_CLICKED && label_.Click) label_.Click();
    }
    bool isLink() const override { return label_.style() == ui::LabelStyle::Link; }

private:
    ui::Label& label_;
};

HWND createNative(const ui::Control& c, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                  HWND window, HINSTANCE instance) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (c.visible()) style |= WS_VISIBLE;
    if (!c.enabled()) style |= WS_DISABLED;
    const std::wstring& text = c.kind() == ui::ControlKind::TextBox
                                   ? static_cast<const ui::TextBox&>(c).text()
                                   : c.caption();
    return CreateWindowExW(exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id())), instance,
                           nullptr);
}

// The native control for a model control, or null when the system would not make one.
std::unique_ptr<NativeControl> make(ui::Control& c, HWND window, HINSTANCE instance) {
    auto create = [&](const wchar_t* windowClass, DWORD style, DWORD exStyle = 0) {
        return createNative(c, windowClass, style, exStyle, window, instance);
    };
    HWND h = nullptr;
    switch (c.kind()) {
        case ui::ControlKind::TextBox:
            if (!(h = create(WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE))) break;
            return std::make_unique<Edit>(static_cast<ui::TextBox&>(c), h);
        case ui::ControlKind::CheckBox:
            if (!(h = create(WC_BUTTONW, WS_TABSTOP | BS_3STATE))) break;
            return std::make_unique<Check>(static_cast<ui::CheckBox&>(c), h);
        case ui::ControlKind::Button:
            if (!(h = create(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON))) break;
            return std::make_unique<Button>(static_cast<ui::Button&>(c), h);
        case ui::ControlKind::Label: {
            auto& label = static_cast<ui::Label&>(c);
            const auto style = label.style();
            const DWORD align =
                style == ui::LabelStyle::Centered || style == ui::LabelStyle::Heading
                    ? SS_CENTER
                    : SS_LEFTNOWORDWRAP;
            const DWORD link = style == ui::LabelStyle::Link ? SS_NOTIFY | SS_NOPREFIX : 0;
            if (!(h = create(WC_STATICW, align | link))) break;
            return std::make_unique<Label>(label, h);
        }
        case ui::ControlKind::Frame:
            if (!(h = create(WC_BUTTONW, BS_GROUPBOX))) break;
            return std::make_unique<NativeControl>(c, h);
        case ui::ControlKind::Line:
            if (!(h = create(WC_STATICW, SS_ETCHEDVERT))) break;
            return std::make_unique<NativeControl>(c, h);
    }
    return nullptr;
}

// The common controls, version 6 as the manifest asks, with visual styles: loaded with the
// first window shown, as a start into the tray never needs them.
void loadCommonControls() {
    static const bool loaded = [] {
        HMODULE library = LoadLibraryW(L"comctl32.dll");
        auto initialise =
            library ? reinterpret_cast<decltype(&InitCommonControlsEx)>(
                          reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")))
                    : nullptr;
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        return initialise && initialise(&classes);
    }();
    (void)loaded;
}

}  // namespace

NativeControls::NativeControls(ui::Form& form, HWND window, HINSTANCE instance) {
    loadCommonControls();
    // Creation order is the keyboard focus order. Frames come last, so that they lie beneath
    // the controls drawn over their edges.
    std::vector<ui::Control*> order;
    for (ui::Control* c : form.controls())
        if (c->tabStop()) order.push_back(c);
    for (ui::Control* c : form.controls())
        if (!c->tabStop() && c->kind() != ui::ControlKind::Frame) order.push_back(c);
    for (ui::Control* c : form.controls())
        if (c->kind() == ui::ControlKind::Frame) order.push_back(c);

    for (ui::Control* c : order) {
        auto native = make(*c, window, instance);
        if (!native) continue;
        if (!c->tooltip().empty()) addTooltip(window, native->hwnd(), c->tooltip());
        if (!c->accessibleName().empty())
            native->setNameResult(nameForScreenReaders(native->hwnd(), c->accessibleName()));
        controls_.push_back(std::move(native));
    }
}

void NativeControls::addTooltip(HWND window, HWND control, const std::wstring& text) {
    if (!tooltip_)
        tooltip_ =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, nullptr, nullptr);
    if (!tooltip_) return;
    TTTOOLINFOW tool = {sizeof(tool)};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

NativeControl* NativeControls::find(const ui::Control& model) const {
    for (const auto& c : controls_)
        if (&c->model() == &model) return c.get();
    return nullptr;
}

NativeControl* NativeControls::find(HWND hwnd) const {
    for (const auto& c : controls_)
        if (c->hwnd() == hwnd) return c.get();
    return nullptr;
}

ui::TextBox* NativeControls::dropTarget(POINT at) const {
    for (const auto& c : controls_) {
        if (c->model().kind() != ui::ControlKind::TextBox) continue;
        auto& box = static_cast<ui::TextBox&>(c->model());
        RECT r;
        GetWindowRect(c->hwnd(), &r);
        MapWindowPoints(nullptr, GetParent(c->hwnd()), reinterpret_cast<POINT*>(&r), 2);
        if (box.Drop && box.enabled() && box.visible() && PtInRect(&r, at)) return &box;
    }
    return nullptr;
}

std::vector<const ui::Label*> NativeControls::labels() const {
    std::vector<const ui::Label*> labels;
    for (const auto& c : controls_)
        if (c->model().kind() == ui::ControlKind::Label)
            labels.push_back(static_cast<const ui::Label*>(&c->model()));
    return labels;
}

void NativeControls::layout(UINT dpi, const WindowFonts& fonts) {
    for (const auto& c : controls_) {
        const ui::Rect r = c->model().absoluteRect();
        int width = twipsToPixels(r.width, dpi);
        if (c->model().kind() == ui::ControlKind::Line)
            width = std::max(width, MulDiv(2, static_cast<int>(dpi), 96));
        SetWindowPos(c->hwnd(), nullptr, twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                     width, twipsToPixels(r.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(c->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts.fontOf(c->model())),
                     TRUE);
    }
    if (tooltip_)
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.message()), TRUE);
}

}  // namespace td::win32
