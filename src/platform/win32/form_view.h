// The native window of a form: creates the window, its menu bar and its controls from the
// form's model, keeps them in step with the model both ways, and lays them out for the
// window's DPI.
#pragma once

#include <functional>

#include "platform/services.h"
#include "platform/ui/form.h"
#include "platform/win32/win32.h"

namespace td::win32 {

// A handling of a window's messages before the window's own (the tray service's shell
// messages); returns true when it handled the message.
using MessageHook =
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

// Creates the native window (hidden) for a form and attaches it as the form's view. Windows
// other than the main window are owned by `owner`.
Status createFormView(ui::Form& form, HINSTANCE instance, HWND owner, bool isMainWindow);

// The native window of a form, made now if it was not yet; null when it has none.
HWND hwndOf(const ui::Form& form);
// Whether the form has its native window, made now if it was not yet, or why the system
// refused it.
Status nativeWindowOf(const ui::Form& form);
// The form behind a native top-level window of the program, else null.
ui::Form* formOf(HWND hwnd);

// The native drop-down menu that renders a menu of the form's menu bar.
HMENU nativeMenuOf(const ui::Form& form, const ui::MenuItem& menu);
// Draws the item as its menu's default (bold); null for none.
void setDefaultMenuItem(const ui::Form& form, const ui::MenuItem* item);
// The window this form is modal over while it is shown modally, else null.
void setModalOwner(const ui::Form& form, HWND owner);
// Whether a menu of the form's window is open.
bool menuLoopOf(const ui::Form& form);
void addMessageHook(const ui::Form& form, MessageHook hook);
// What the system answered when a control was named for screen readers: S_OK, an error where
// it has no such service, or S_FALSE for a control its own text names.
HRESULT accessibleNameResult(HWND control);
// The program's own icon at the size the system uses for the metric (SM_CXICON,
// SM_CXSMICON) at this DPI; null in a program built without it.
HICON loadProgramIcon(int metric, UINT dpi);
// The access key of a menu item's caption, lower case, or 0.
wchar_t menuAccessKey(const ui::MenuItem& item);

}  // namespace td::win32
