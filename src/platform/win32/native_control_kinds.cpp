// One native control for each kind of model control: the standard EDIT, BUTTON and STATIC
// controls and the hot-key control, each kept in step with its model both ways.
#include "platform/win32/native_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/accessibility.h"
#include "platform/win32/system_text.h"

namespace td::win32 {

namespace {

constexpr WPARAM kNoTextLimit = 0x7FFFFFFE;

class Edit : public NativeControl {
public:
    Edit(ui::TextBox& box, HWND hwnd) : NativeControl(box, hwnd), box_(box) {
        // The limit first, then the text: the box takes what it can hold. The text is never
        // given at creation, where a long one would keep the control from being made at all.
        apply(ui::Property::MaxLength);
        apply(ui::Property::Text);
        apply(ui::Property::ReadOnly);
    }
    void apply(ui::Property property) override {
        if (property == ui::Property::Text) {
            // The native box may already hold it (the user typed it). What the program sets
            // is the model's text already: the box's change notification must not take back
            // a text the box held only in part.
            if (windowText(hwnd_) == box_.text()) return;
            applying_ = true;
            SetWindowTextW(hwnd_, box_.text().c_str());
            applying_ = false;
        } else if (property == ui::Property::ReadOnly) {
            SendMessageW(hwnd_, EM_SETREADONLY, box_.readOnly(), 0);
        } else if (property == ui::Property::MaxLength) {
            SendMessageW(hwnd_, EM_SETLIMITTEXT, box_.maxLength() ? box_.maxLength() : kNoTextLimit,
                         0);
        } else {
            NativeControl::apply(property);
        }
    }
    void notify(int code) override {
        if (code == EN_CHANGE && !applying_) box_.setText(windowText(hwnd_));
    }

private:
    ui::TextBox& box_;
    bool applying_ = false;
};

// The system's hot-key control. Combinations without Ctrl or Alt would take a key from every
// program: the control turns them into Ctrl+Alt ones.
class HotKeyEdit : public NativeControl {
public:
    HotKeyEdit(ui::HotKeyBox& box, HWND hwnd) : NativeControl(box, hwnd), box_(box) {
        SendMessageW(hwnd_, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                     MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        apply(ui::Property::Value);
    }
    void apply(ui::Property property) override {
        if (property == ui::Property::Value)
            SendMessageW(hwnd_, HKM_SETHOTKEY, box_.value(), 0);
        else
            NativeControl::apply(property);
    }
    void notify(int code) override {
        if (code == EN_CHANGE)
            box_.setValue(static_cast<std::uint16_t>(SendMessageW(hwnd_, HKM_GETHOTKEY, 0, 0)));
    }

private:
    ui::HotKeyBox& box_;
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

protected:
    ui::Label& label_;
};

// A link: a tab stop that opens with Enter or Space as with a click, draws a focus rectangle
// around its text while it has the focus, and is announced as a link.
class Link : public Label {
public:
    Link(ui::Label& label, HWND hwnd) : Label(label, hwnd) {
        SetPropW(hwnd_, kSelf, this);
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&linkProc)));
        announceAsLink(hwnd_);
    }

private:
    static constexpr wchar_t kSelf[] = L"Tillerdock.Link";

    static bool opensLink(WPARAM key) { return key == VK_RETURN || key == VK_SPACE; }

    void drawFocus() const {
        if (GetFocus() != hwnd_ || (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
            return;
        const std::wstring text = windowText(hwnd_);
        HDC dc = GetDC(hwnd_);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
        RECT area = {};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        RECT client;
        GetClientRect(hwnd_, &client);
        area.right = std::min(area.right + 1, client.right);
        area.bottom = std::min(area.bottom + 1, client.bottom);
        DrawFocusRect(dc, &area);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
    }

    static LRESULT CALLBACK linkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<Link*>(GetPropW(hwnd, kSelf));
        const WNDPROC previous = self->previous_;
        switch (message) {
            case WM_NCDESTROY:
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
                RemovePropW(hwnd, kSelf);
                break;
            case WM_GETDLGCODE:
                // Enter and Space are the link's; Tab and the arrows stay the dialog's.
                if (const auto* msg = reinterpret_cast<const MSG*>(lParam);
                    msg && msg->message == WM_KEYDOWN && opensLink(msg->wParam))
                    return DLGC_WANTMESSAGE;
                break;
            case WM_KEYDOWN:
                if (!opensLink(wParam)) break;
                if (self->label_.Click) self->label_.Click();
                return 0;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_UPDATEUISTATE:
                InvalidateRect(hwnd, nullptr, TRUE);
                break;
            case WM_PAINT: {
                const LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
                self->drawFocus();
                return result;
            }
            default:
                break;
        }
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }

    WNDPROC previous_ = nullptr;
};

HWND createNative(const ui::Control& c, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                  HWND window, HINSTANCE instance) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (c.visible()) style |= WS_VISIBLE;
    if (!c.enabled()) style |= WS_DISABLED;
    // Made without text: a text box's is given once the box holds its limit, and every other
    // control's right after, so that a text of any length can never keep a control from
    // being made.
    HWND made = CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id())), instance,
                                nullptr);
    if (made && c.kind() != ui::ControlKind::TextBox && !c.caption().empty())
        SetWindowTextW(made, c.caption().c_str());
    return made;
}

}  // namespace

std::unique_ptr<NativeControl> makeNativeControl(ui::Control& c, HWND window, HINSTANCE instance) {
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
            if (!(h = create(WC_BUTTONW, WS_TABSTOP | (static_cast<ui::Button&>(c).isDefault()
                                                              ? BS_DEFPUSHBUTTON
                                                              : BS_PUSHBUTTON))))
                break;
            return std::make_unique<Button>(static_cast<ui::Button&>(c), h);
        case ui::ControlKind::Label: {
            auto& label = static_cast<ui::Label&>(c);
            const auto style = label.style();
            const DWORD align =
                style == ui::LabelStyle::Centered || style == ui::LabelStyle::Heading
                    ? SS_CENTER
                    : SS_LEFTNOWORDWRAP;
            const DWORD link = style == ui::LabelStyle::Link ? SS_NOTIFY | SS_NOPREFIX : 0;
            if (style == ui::LabelStyle::Link) {
                if (!(h = create(WC_STATICW, align | link | WS_TABSTOP))) break;
                return std::make_unique<Link>(label, h);
            }
            if (!(h = create(WC_STATICW, align))) break;
            return std::make_unique<Label>(label, h);
        }
        case ui::ControlKind::Frame:
            if (!(h = create(WC_BUTTONW, BS_GROUPBOX))) break;
            return std::make_unique<NativeControl>(c, h);
        case ui::ControlKind::Line:
            if (!(h = create(WC_STATICW, SS_ETCHEDVERT))) break;
            return std::make_unique<NativeControl>(c, h);
        case ui::ControlKind::HotKeyBox:
            if (!(h = create(HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE))) break;
            return std::make_unique<HotKeyEdit>(static_cast<ui::HotKeyBox&>(c), h);
    }
    return nullptr;
}

}  // namespace td::win32
