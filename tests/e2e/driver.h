// Drives the real tillerdock.exe from a second process, as a user's clicks would: window
// messages to its windows, the registry, and the command lines the recorder program wrote.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace td::e2e {

using namespace std::chrono_literals;

// The folder holding this test program, tillerdock.exe and the recorder, with a trailing '\'.
std::wstring testFolder();

// Polls until the condition holds or the time is up; returns whether it held.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s);

// The program's settings key, HKCU\Software\Brackenfold\Quaymaster.
void clearSettings();
void setSetting(const std::wstring& key, const std::wstring& value);
std::optional<std::wstring> getSetting(const std::wstring& key);

// One running tillerdock.exe.
class Tillerdock {
public:
    // Starts the program and waits until its main window exists with its controls (and,
    // unless it starts hidden, is visible).
    Tillerdock();
    ~Tillerdock();
    Tillerdock(const Tillerdock&) = delete;
    Tillerdock& operator=(const Tillerdock&) = delete;

    HWND main() const { return main_; }
    HWND control(int id) const { return GetDlgItem(main_, id); }
    DWORD processId() const { return process_.dwProcessId; }
    bool running() const;
    // Waits for the process to end; true when it ended within the time.
    bool waitForExit(std::chrono::milliseconds timeout = 10s);

    // A menu command or a button press, posted so that modal UI it opens does not block.
    void command(int id) const;
    void click(int controlId) const;
    void setText(int controlId, const std::wstring& text) const;
    std::wstring text(int controlId) const;
    // Types text into a control as key messages, one character at a time.
    void type(int controlId, const std::wstring& text) const;
    void trayEvent(UINT mouseMessage) const;

    // Top-level windows of this process of the given class (null for any) and title.
    HWND findWindow(const wchar_t* className, const wchar_t* title) const;
    std::vector<HWND> windows() const;

private:
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

// A message box of the given process with this title, waited for.
HWND waitForMessageBox(DWORD processId, const std::wstring& title,
                       std::chrono::milliseconds timeout = 5s);
std::wstring messageBoxText(HWND box);
void closeMessageBox(HWND box);

std::wstring windowText(HWND hwnd);
// Window rectangle of a control in its parent's client coordinates.
RECT childRect(HWND parent, int id);

// The recorder: a helper program that appends its command line to a file.
std::wstring recorderPath();
class Recording {
public:
    Recording();  // a fresh file, named to started programs through the environment
    ~Recording();
    std::vector<std::wstring> lines() const;
    // Waits until at least n lines are there.
    bool waitForLines(std::size_t n, std::chrono::milliseconds timeout = 5s) const;

private:
    std::wstring path_;
};

// Top-level windows of any process, by process id, class (null for any) and title.
std::vector<HWND> windowsOf(DWORD processId, const wchar_t* className, const wchar_t* title);
// A visible top-level window of the process with this class and title, waited for.
HWND waitForVisibleWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                          std::chrono::milliseconds timeout = 5s);
// The open pop-up menu ("#32768") of the process, or null.
HWND openPopupMenu(DWORD processId);
// A key pressed and released, posted to the window's thread.
void pressKey(HWND window, UINT virtualKey);
// The window that has the keyboard focus in the thread that owns this window.
HWND focusedWindow(HWND window);
// Whether the shell holds the notification icon of this window and id.
bool trayIconPresent(HWND owner, UINT id);
// Removes that icon from the shell, as a shell that restarts loses it.
bool removeTrayIcon(HWND owner, UINT id);
// What the screen shows in an area, row by row from the top, one 0x00RRGGBB value a pixel.
std::vector<std::uint32_t> screenPixels(const RECT& area);
// Saves what the screen shows of a window as a 24-bit BMP file; true when written.
bool saveWindowImage(HWND window, const std::wstring& path);

}  // namespace td::e2e
