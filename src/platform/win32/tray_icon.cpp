#include "platform/win32/tray_icon.h"

#include <shellapi.h>

#include <iterator>

#include "platform/win32/form_view.h"

namespace td::win32 {

namespace {

// The program's icon at the size the shell draws tray icons for the window's DPI. A program
// built without its icon resource gets a copy of the system's application icon, so that the
// tray never holds an invisible icon.
HICON loadTrayIcon(HWND window) {
    UINT dpi = window ? GetDpiForWindow(window) : 0;
    if (dpi == 0) dpi = GetDpiForSystem();
    HICON icon = loadProgramIcon(SM_CXSMICON, dpi);
    return icon ? icon : CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
}

// The shell's record of the owner's icon, with what every call names it by.
NOTIFYICONDATAW recordOf(ui::Form& owner, const TrayIconData& data) {
    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = hwndOf(owner);
    icon.uID = data.id;
    return icon;
}

}  // namespace

void Win32TrayIcon::listen(ui::Form& owner, std::function<void(const TrayEvent&)> handler) {
    handler_ = std::move(handler);
    // A restarted shell broadcasts this to every top-level window: icons must be added again.
    // It reaches a copy the user runs as administrator too.
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreated)
        ChangeWindowMessageFilterEx(hwndOf(owner), taskbarCreated, MSGFLT_ALLOW, nullptr);
    addMessageHook(owner, [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        std::optional<TrayEvent> event;
        if (message == kTrayCallbackMessage) {
            // Version 4 gives the place in wParam; only a classic callback needs the pointer,
            // which is a round trip to the display server to ask.
            POINT pointer = {};
            if (decoder_.version() < 4) GetCursorPos(&pointer);
            event = decoder_.decode(wParam, static_cast<std::intptr_t>(lParam),
                                    {pointer.x, pointer.y}, GetTickCount64());
        } else if (message == taskbarCreated && taskbarCreated != 0) {
            event = TrayEvent{TrayAction::ShellRestarted, {}};
        } else {
            return false;
        }
        if (event && handler_) {
            handler_(*event);
            if (message == kTrayCallbackMessage)
                decoder_.handled(static_cast<std::intptr_t>(lParam), GetTickCount64());
        }
        result = 0;
        return true;
    });
}

bool Win32TrayIcon::add(ui::Form& owner, const TrayIconData& data) {
    NOTIFYICONDATAW icon = recordOf(owner, data);
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayCallbackMessage;
    UniqueIcon picture(loadTrayIcon(icon.hWnd));
    icon.hIcon = picture.get();
    data.tip.copy(icon.szTip, std::size(icon.szTip) - 1);
    struct Calls : NotifyIconCalls {
        explicit Calls(NOTIFYICONDATAW& icon) : icon(icon) {}
        bool add() override { return Shell_NotifyIconW(NIM_ADD, &icon); }
        bool modify() override { return Shell_NotifyIconW(NIM_MODIFY, &icon); }
        bool setVersion4() override {
            icon.uVersion = NOTIFYICON_VERSION_4;
            return Shell_NotifyIconW(NIM_SETVERSION, &icon);
        }
        void showTip() override {
            icon.uFlags = NIF_TIP | NIF_SHOWTIP;
            Shell_NotifyIconW(NIM_MODIFY, &icon);
        }
        NOTIFYICONDATAW& icon;
    } calls(icon);
    const std::optional<unsigned> version = addNotifyIcon(calls);
    if (!version) return false;
    icon_ = std::move(picture);
    decoder_.setVersion(*version);
    return true;
}

void Win32TrayIcon::returnFocus(ui::Form& owner, const TrayIconData& data) {
    if (decoder_.version() < NOTIFYICON_VERSION_4) return;
    NOTIFYICONDATAW icon = recordOf(owner, data);
    Shell_NotifyIconW(NIM_SETFOCUS, &icon);
}

void Win32TrayIcon::remove(ui::Form& owner, const TrayIconData& data) {
    NOTIFYICONDATAW icon = recordOf(owner, data);
    // An icon that is already gone (the shell restarted without it) needs nothing more.
    Shell_NotifyIconW(NIM_DELETE, &icon);
    icon_.reset();
}

}  // namespace td::win32
