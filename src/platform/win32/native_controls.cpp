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
        auto native = makeNativeControl(*c, window, instance);
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
