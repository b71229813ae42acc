// The native window of a form: creates the window, its controls and its menu bar from the
// form's model, keeps them in step with the model both ways, and lays them out for the
// window's DPI.
#pragma once

#include "platform/win32/win32.h"

#include <functional>

#include "platform/ui/form.h"

namespace td::win32 {

// A window's own handling of a message before the common one; returns true when handled.
using MessageHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

// Creates the native window (hidden) for a form and attaches it as the form's view. Windows
// other than the main window are owned by `owner`.
void createFormView(ui::Form& form, HINSTANCE instance, HWND owner, bool isMainWindow);

// The native window of a form that has one, else null.
HWND hwndOf(const ui::Form& form);
// The form behind a native top-level window of the program, else null.
ui::Form* formOf(HWND hwnd);

// Pixels for a length in twips at the given DPI.
int twipsToPixels(int twips, UINT dpi);

// The native drop-down menu that renders a menu of the form's menu bar.
HMENU nativeMenuOf(const ui::Form& form, const ui::MenuItem& menu);
// Draws the item as its menu's default (bold); null for none.
void setDefaultMenuItem(const ui::Form& form, const ui::MenuItem* item);
// The window this form is modal over while it is shown modally, else null.
void setModalOwner(const ui::Form& form, HWND owner);
void setMessageHook(const ui::Form& form, MessageHook hook);
// The access key of a menu item's caption, lower case, or 0.
wchar_t menuAccessKey(const ui::MenuItem& item);

}  // namespace td::win32
