#include "platform/win32/hot_key.h"

#include <commctrl.h>

#include "platform/text.h"
#include "platform/win32/form_view.h"

namespace td::win32 {

void Win32HotKey::listen(ui::Form& owner, std::function<void(const PopupPlace&)> pressed) {
    pressed_ = std::move(pressed);
    addMessageHook(owner, [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        // The window registers no other shortcut: every press it gets is this one's.
        if (message != WM_HOTKEY || id_ == 0) return false;
        // Where the user was, to go back to when the menu closes without a choice; the
        // system lets the program take the foreground for a press of its own shortcut.
        previousForeground_ = GetForegroundWindow();
        POINT pointer = {};
        GetCursorPos(&pointer);
        if (pressed_) pressed_(PopupPlace{{pointer.x, pointer.y}, true, true});
        result = 0;
        return true;
    });
}

bool Win32HotKey::set(ui::Form& owner, HotKeyCombination combination) {
    HWND window = hwndOf(owner);
    if (combination == inForce_ && (id_ != 0 || combination == 0)) return true;
    if (combination != 0) {
        const unsigned modifiers = combination >> 8;
        // Held down, the combination opens the menu once, not again with every repeat.
        const UINT mod = MOD_NOREPEAT | (modifiers & HOTKEYF_ALT ? MOD_ALT : 0) |
                         (modifiers & HOTKEYF_CONTROL ? MOD_CONTROL : 0) |
                         (modifiers & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
        const int id = id_ == 1 ? 2 : 1;
        if (!window || !RegisterHotKey(window, id, mod, combination & 0xFF)) return false;
        if (id_) UnregisterHotKey(window, id_);
        id_ = id;
    } else {
        if (id_ && window) UnregisterHotKey(window, id_);
        id_ = 0;
    }
    inForce_ = combination;
    return true;
}

std::wstring Win32HotKey::describe(HotKeyCombination combination) {
    const unsigned modifiers = combination >> 8, key = combination & 0xFF;
    std::wstring text;
    if (modifiers & HOTKEYF_CONTROL) text += L"Ctrl+";
    if (modifiers & HOTKEYF_SHIFT) text += L"Shift+";
    if (modifiers & HOTKEYF_ALT) text += L"Alt+";
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return text + static_cast<wchar_t>(key);
    // Other keys by the keyboard layout's own names ("F5", "Page Up", "Num 3").
    LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (modifiers & HOTKEYF_EXT) scan |= 1 << 24;
    wchar_t name[64] = {};
    if (GetKeyNameTextW(scan, name, 64) > 0) return text + name;
    return text + L"Key " + decimalText(static_cast<long>(key));
}

void Win32HotKey::returnFocus() {
    if (previousForeground_ && IsWindow(previousForeground_))
        SetForegroundWindow(previousForeground_);
    previousForeground_ = nullptr;
}

}  // namespace td::win32
