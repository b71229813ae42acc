// Drives the real tillerdock.exe from a second process, as a user's clicks would: window
// messages to its windows, and the registry.
#pragma once

#include <windows.h>

#include "drive/files.h"
#include "drive/process.h"
#include "drive/settings.h"
#include "platform/win32/tray_icon.h"
#include "shared/window_ids.h"

namespace td::e2e {

using namespace std::chrono_literals;
// The program's settings key, HKCU\Software\Brackenfold\Quaymaster, and every value there.
using drive::clearSettings, drive::readSettings, drive::setSetting, drive::windowText;

inline bool waitFor(const std::function<bool()>& condition) {
    return drive::waitUntil(condition, 10s, 20ms);
}
inline void click(HWND button) {  // posted, so that modal UI it opens does not block
    PostMessageW(button, BM_CLICK, 0, 0);
}
inline HWND focusOf(HWND window) {  // the focus in the thread owning this window
    GUITHREADINFO info = {sizeof(info)};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// One running tillerdock.exe, beside this test program; ended with the test.
struct Tillerdock {
    Tillerdock()
        : process(drive::startProcess(drive::quoted(drive::programFolder() + L"tillerdock.exe"))) {
        // Found shown or not; its controls come with its first show, which a start into the
        // tray never makes.
        main = waitForWindow(ids::kConfigClass, nullptr, true);
    }
    ~Tillerdock() {
        TerminateProcess(process.handle.get(), 1);
        WaitForSingleObject(process.handle.get(), 5000);
    }
    HWND main = nullptr;
    HWND control(int id) const { return GetDlgItem(main, id); }
    bool waitShown(bool wanted) const {
        return waitFor([&] { return (IsWindowVisible(main) != FALSE) == wanted; });
    }
    bool waitForExit() { return WaitForSingleObject(process.handle.get(), 10000) == 0; }
    void command(int id) const { PostMessageW(main, WM_COMMAND, id, 0); }
    void setText(int id, const std::wstring& text) const {
        SendMessageW(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring text(int id) const { return windowText(control(id)); }
    // Chooses the first item of the tray menu opened by the keyboard (Shift+F10 on the icon).
    bool pickFirstTrayItem() const {
        PostMessageW(main, win32::kTrayCallbackMessage, MAKEWPARAM(200, 200),
                     MAKELPARAM(WM_CONTEXTMENU, ids::kTrayIconId));
        HWND menu = waitForWindow(L"#32768");
        drive::pressKey(menu, VK_RETURN);
        return menu && waitFor([&] { return !IsWindowVisible(menu); });
    }
    // Waits for a top-level window of this process: by class, title unless null, visible unless
    // hidden ones are asked for.
    HWND waitForWindow(const wchar_t* className, const wchar_t* title = nullptr,
                       bool hidden = false) const {
        HWND found = nullptr;
        waitFor([&] {
            for (HWND h : drive::topLevelWindows(process.id, className))
                if ((hidden || IsWindowVisible(h)) && (!title || windowText(h) == title)) found = h;
            return found != nullptr;
        });
        return found;
    }
    drive::Process process;
};

}  // namespace td::e2e
