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

NativeControls::NativeControls(ui::Form& form, HWND window, HINSTANCE instance) : window_(window) {
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
        if (!c->tooltip().empty()) setTooltip(*native);
        if (!c->accessibleName().empty())
            native->setNameResult(nameForScreenReaders(native->hwnd(), c->accessibleName()));
        if (!c->accessibleDescription().empty()) describe(*native);
        controls_.push_back(std::move(native));
    }
}

void NativeControls::apply(const ui::Control& model, ui::Property property) {
    NativeControl* native = find(model);
    if (!native) return;
    if (property == ui::Property::Tooltip)
        setTooltip(*native);
    else if (property == ui::Property::Description)
        describe(*native);
    else
        native->apply(property);
}

// Two tools per control: the control itself, and its place on the window, whose mouse messages
// the window gets while the control is disabled, so that the tip shows then too. Each goes and
// comes back with a new text; the tooltip control keeps its own copy of the text.
void NativeControls::setTooltip(const NativeControl& native) {
    if (!tooltip_)
        tooltip_ =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, nullptr, nullptr);
    if (!tooltip_) return;
    TTTOOLINFOW onControl = {sizeof(onControl)};
    onControl.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    onControl.hwnd = window_;
    onControl.uId = reinterpret_cast<UINT_PTR>(native.hwnd());
    TTTOOLINFOW onWindow = {sizeof(onWindow)};
    onWindow.uFlags = TTF_SUBCLASS;
    onWindow.hwnd = window_;
    onWindow.uId = static_cast<UINT_PTR>(native.model().id());
    const std::wstring& text = native.model().tooltip();
    for (TTTOOLINFOW* tool : {&onControl, &onWindow}) {
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(tool));
        if (text.empty()) continue;
        tool->lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(tool));
    }
    placeTooltip(native);
}

// The window's tool of a control covers the control's place, kept there at every layout.
void NativeControls::placeTooltip(const NativeControl& native) const {
    if (!tooltip_ || native.model().tooltip().empty()) return;
    TTTOOLINFOW tool = {sizeof(tool)};
    tool.hwnd = window_;
    tool.uId = static_cast<UINT_PTR>(native.model().id());
    GetWindowRect(native.hwnd(), &tool.rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&tool.rect), 2);
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void NativeControls::describe(NativeControl& native) {
    describeForScreenReaders(native.hwnd(), native.model().accessibleDescription());
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
        if (box.Drop && box.enabled() && !box.readOnly() && box.visible() && PtInRect(&r, at))
            return &box;
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
        placeTooltip(*c);
    }
    if (tooltip_)
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.message()), TRUE);
}

}  // namespace td::win32
