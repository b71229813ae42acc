// Drives the real tillerdock.exe from a second process, as a user's clicks would: window
// messages to its windows, the registry, and the command lines the recorder program wrote.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "drive/process.h"
#include "drive/settings.h"
#include "platform/win32/tray_icon.h"
#include "shared/window_ids.h"

namespace td::e2e {

using namespace std::chrono_literals;
using Keys = drive::Settings;

// The folder holding this test program, tillerdock.exe and the recorder, with a trailing '\'.
inline std::wstring testFolder() {
    return drive::programFolder();
}
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = 5s) {
    return drive::waitUntil(condition, timeout, 20ms);
}
// The program's settings key, HKCU\Software\Brackenfold\Quaymaster, and every value there.
using drive::clearSettings, drive::setSetting, drive::windowText;
inline Keys settings() {
    return drive::readSettings();
}
inline void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

// One running tillerdock.exe, started from this program's folder or the given file.
class Tillerdock {
public:
    explicit Tillerdock(const std::wstring& exe = testFolder() + L"tillerdock.exe");
    ~Tillerdock();

    HWND main = nullptr;
    HWND control(int id) const { return GetDlgItem(main, id); }
    bool shown() const { return IsWindowVisible(main) != FALSE; }
    bool waitShown(bool wanted) const {
        return waitFor([&] { return shown() == wanted; });
    }
    bool waitForExit() { return WaitForSingleObject(process_.handle.get(), 10000) == 0; }

    // Commands and clicks are posted, so that modal UI they open does not block.
    void command(int id) const { PostMessageW(main, WM_COMMAND, id, 0); }
    void click(int id) const { e2e::click(control(id)); }
    void setText(int id, const std::wstring& text) const {
        SendMessageW(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring text(int id) const { return windowText(control(id)); }
    // Types text into a control as key messages, one character at a time.
    void type(int id, const std::wstring& text) const {
        for (wchar_t c : text) SendMessageW(control(id), WM_CHAR, c, 1);
    }
    void tray(UINT mouse) const {
        PostMessageW(main, win32::kTrayCallbackMessage, ids::kTrayIconId, mouse);
    }
    // Pops up the tray menu, by the mouse or the keyboard, and chooses its item at this index
    // with the keyboard.
    bool pickTrayItem(int index, bool keyboard = false) const;

    // Top-level windows of this process, by class and title unless null, visible unless asked.
    std::vector<HWND> windows(const wchar_t* className, const wchar_t* title = nullptr,
                              bool hiddenToo = false) const;
    HWND waitForWindow(const wchar_t* className, const wchar_t* title = nullptr) const;

private:
    drive::Process process_;
};

HWND focusOf(HWND window);  // the focus in the thread owning this window
// What the screen shows in an area, row by row from the top, 0x00RRGGBB a pixel.
std::vector<DWORD> capture(const RECT& area);

// The recorder, a helper program that appends its command line to a file; a Recording
// names a fresh file to programs started after it.
inline std::wstring recorderPath() {
    return testFolder() + L"recorder.exe";
}
class Recording {
public:
    Recording();
    ~Recording() { DeleteFileW(path_.c_str()); }
    std::vector<std::wstring> lines() const;
    bool waitForLines(std::size_t n) const {
        return waitFor([&] { return lines().size() >= n; });
    }

private:
    std::wstring path_;
};

}  // namespace td::e2e
