#include "platform/win32/hot_key.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/text.h"
#include "platform/win32/form_view.h"

namespace td::win32 {

namespace {

// Whether a window belongs to this program (a null window does not).
bool ours(HWND window) {
    DWORD process = 0;
    return window && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

}  // namespace

void Win32HotKey::listen(ui::Form& owner, std::function<void(const PopupPlace&)> pressed) {
    pressed_ = std::move(pressed);
    owner_ = &owner;
    addMessageHook(owner, [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        // The window registers no other shortcut: every press it gets is this one's.
        if (message != WM_HOTKEY || id_ == 0) return false;
        // Where the user was, to go back to when the menu closes without a choice; the
        // system lets the program take the foreground for a press of its own shortcut. A
        // press while the menu is open closes it and leaves that place as it was (the
        // foreground is then this program's own). Whose window it is is asked only when the
        // menu has closed (returnFocus), not while the user waits for the menu.
        if (!menuLoopOf(*owner_)) previousForeground_ = GetForegroundWindow();
        // The pointer where it was when the system posted the press: the message carries it,
        // where asking for the pointer now would be a round trip to the display server.
        const DWORD pointer = GetMessagePos();
        if (pressed_)
            pressed_(PopupPlace{{GET_X_LPARAM(pointer), GET_Y_LPARAM(pointer)}, true, true});
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

std::wstring Win32HotKey::typedText(HotKeyCombination combination) {
    const unsigned modifiers = combination >> 8, key = combination & 0xFF;
    BYTE keys[256] = {};
    if (modifiers & HOTKEYF_CONTROL) keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    if (modifiers & HOTKEYF_ALT) keys[VK_MENU] = keys[VK_LMENU] = 0x80;
    if (modifiers & HOTKEYF_SHIFT) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    keys[key] = 0x80;
    const HKL layout = GetKeyboardLayout(0);
    wchar_t typed[8] = {};
    // Flag 4: the layout's dead-key state stays as it is. A dead key (-1) types its character
    // with the next key.
    int count =
        ToUnicodeEx(key, MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, layout), keys, typed, 8, 4, layout);
    if (count < 0) count = 1;
    std::wstring text;
    for (int i = 0; i < count && i < 8; ++i)
        if (typed[i] >= 0x20 && typed[i] != 0x7F) text += typed[i];
    return text;
}

void Win32HotKey::returnFocus() {
    // Only to another program's window (from a window of this program there is nowhere else
    // to go back to), and only while the foreground is still this program's: a user who
    // closed the menu by clicking another program keeps that one in front.
    if (previousForeground_ && IsWindow(previousForeground_) && !ours(previousForeground_) &&
        ours(GetForegroundWindow()))
        SetForegroundWindow(previousForeground_);
    previousForeground_ = nullptr;
}

}  // namespace td::win32
