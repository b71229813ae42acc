#include "platform/win32/form_view.h"

#include <cwctype>
#include <string_view>

#include "platform/win32/form_window.h"

namespace td::win32 {

namespace {

FormWindow* windowOf(const ui::Form& form) {
    return dynamic_cast<FormWindow*>(form.view());
}

}  // namespace

Status createFormView(ui::Form& form, HINSTANCE instance, HWND owner, bool isMainWindow) {
    auto view = std::make_unique<FormWindow>(form, instance, owner, isMainWindow);
    FormWindow* raw = view.get();
    form.attachView(std::move(view));
    // The main window at once: the tray icon's and the shortcut's messages come to it. Another
    // window is made at its first use, which a start into the tray never makes.
    return isMainWindow ? raw->create() : Status::success();
}

HWND hwndOf(const ui::Form& form) {
    FormWindow* window = windowOf(form);
    return window ? window->made() : nullptr;
}

Status nativeWindowOf(const ui::Form& form) {
    FormWindow* window = windowOf(form);
    if (!window) return Status::failure(L"");
    window->made();
    return window->creation();
}

ui::Form* formOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (std::wstring_view(className).rfind(kClassPrefix, 0) != 0) return nullptr;
    FormWindow* view = viewOf(hwnd);
    return view ? &view->form() : nullptr;
}

HMENU nativeMenuOf(const ui::Form& form, const ui::MenuItem& menu) {
    FormWindow* window = windowOf(form);
    return window && window->menuBar() ? window->menuBar()->popupOf(menu) : nullptr;
}

void setDefaultMenuItem(const ui::Form& form, const ui::MenuItem* item) {
    if (FormWindow* window = windowOf(form); window && window->menuBar())
        window->menuBar()->setDefault(item);
}

void setModalOwner(const ui::Form& form, HWND owner) {
    if (FormWindow* window = windowOf(form)) window->setModalOwner(owner);
}

bool menuLoopOf(const ui::Form& form) {
    FormWindow* window = windowOf(form);
    return window && window->menuLoop();
}

void addMessageHook(const ui::Form& form, MessageHook hook) {
    if (FormWindow* window = windowOf(form)) window->addHook(std::move(hook));
}

HRESULT accessibleNameResult(HWND control) {
    FormWindow* window = viewOf(GetParent(control));
    const NativeControl* native = window ? window->nativeControl(control) : nullptr;
    return native ? native->nameResult() : E_INVALIDARG;
}

// "&Launch" -> 'l'; "&&" is a plain ampersand.
wchar_t menuAccessKey(const ui::MenuItem& item) {
    const std::wstring& caption = item.caption();
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

}  // namespace td::win32
