// The shortcut that opens the Launch menu from any program, chosen in its window and pressed on
// the display's keyboard while another program is in the foreground.
#include "driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace td::e2e {

// Keys pressed on the display as a user presses them (xdotool), in the window xdotool's search
// finds. Without a window manager the display's keyboard does not follow the active window by
// itself, so the window is given it first; and Wine can miss a release once the keyboard has
// moved, so the keys are released first, lest a press count as a held key's repeat. The
// caller waits for what the keys do.
void pressKeys(const std::wstring& window, const std::wstring& keys) {
    drive::startProcess(L"Z:\\usr\\bin\\xdotool search --sync " + window +
                        L" windowfocus --sync keyup " + keys + L" key " + keys);
}
const std::wstring kNotepad = L"--name Notepad", kOpenMenu = L"--onlyvisible --class tillerdock";
const auto ctrlAltK = static_cast<WORD>(MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));

// A program started for the test, ended with it.
struct Started : drive::Process {
    explicit Started(drive::Process process) : drive::Process(std::move(process)) {}
    ~Started() { TerminateProcess(handle.get(), 0); }
};

TEST(ShortcutE2E, ChosenInItsWindowItOpensTheMenuOverAnotherProgramAndADigitStartsTheSlot) {
    clearSettings();
    const std::wstring record = drive::programFolder() + L"shortcut-record.txt";
    DeleteFileW(record.c_str());
    SetEnvironmentVariableW(L"TILLERDOCK_RECORD", record.c_str());
    setSetting(L"App2", drive::quoted(drive::programFolder() + L"recorder.exe") + L" slot two");
    // Chooses the keys in a copy's shortcut window and presses OK.
    auto choose = [](const Tillerdock& td) {
        td.command(ids::kMenuShortcut);
        HWND window = td.waitForWindow(ids::kShortcutClass, ids::kShortcutTitle);
        HWND keys = GetDlgItem(window, ids::kShortcutKeys);
        SendMessageW(keys, HKM_SETHOTKEY, ctrlAltK, 0);  // as typed, and told as the control tells
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(ids::kShortcutKeys, EN_CHANGE),
                     reinterpret_cast<LPARAM>(keys));
        click(GetDlgItem(window, ids::kShortcutOk));
        return window;
    };
    {
        Tillerdock td;
        ASSERT_TRUE(td.waitShown(true));
        HWND window = choose(td);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(window); }));
        td.command(ids::kMenuExit);
        ASSERT_TRUE(td.waitForExit());
    }
    EXPECT_EQ(readSettings()[L"Hotkey"], std::to_wstring(ctrlAltK));
    setSetting(L"Startup", L"True");  // from now on only the menu is seen
    Tillerdock first;
    const Started notepad(drive::startProcess(L"notepad.exe"));
    pressKeys(kNotepad, L"ctrl+alt+k");
    ASSERT_TRUE(first.waitForWindow(L"#32768"));
    pressKeys(kOpenMenu, L"2");
    EXPECT_TRUE(waitFor([&] {
        return drive::readFile(record).value_or("").find("slot two") != std::string::npos;
    }));
    // A second copy cannot have the same keys: its window says so, and so does its OK.
    Tillerdock second;
    HWND window = choose(second);
    EXPECT_EQ(windowText(GetDlgItem(window, ids::kShortcutInUse)),
              L"Ctrl+Alt+K is in use by another program.");
    HWND box = second.waitForWindow(L"#32770", kProductName);
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)),
              L"Ctrl+Alt+K is in use by another program. Choose another shortcut.");
    click(GetDlgItem(box, IDOK));
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box) && IsWindowVisible(window); }));
    // The first copy's still works; leaving the session while its menu is open saves as ever.
    pressKeys(kNotepad, L"ctrl+alt+k");
    ASSERT_TRUE(first.waitForWindow(L"#32768"));
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(first.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                        &answer);
    SendMessageTimeoutW(first.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                        &answer);
    EXPECT_EQ(readSettings().count(L"Caption10"), 1u);
}

// The keyboard goes back to the program that had it when a second press closes the menu, and
// stays with a window the user clicked while the menu was open.
TEST(ShortcutE2E, TheKeyboardGoesBackWhereItWasButNeverFromAWindowClickedMeanwhile) {
    clearSettings();
    setSetting(L"Startup", L"True");
    setSetting(L"Hotkey", std::to_wstring(ctrlAltK));
    Tillerdock td;
    const Started mines(drive::startProcess(L"winemine.exe"));
    HWND field = nullptr, edit = nullptr;
    ASSERT_TRUE(waitFor([&] { return (field = FindWindowW(nullptr, L"WineMine")) != nullptr; }));
    const Started notepad(drive::startProcess(L"notepad.exe"));  // in front, with the keyboard
    ASSERT_TRUE(waitFor([&] {
        edit = FindWindowExW(FindWindowW(L"Notepad", nullptr), nullptr, L"Edit", nullptr);
        return edit && GetForegroundWindow() == GetParent(edit);
    }));
    pressKeys(kNotepad, L"ctrl+alt+k");
    HWND menu = td.waitForWindow(L"#32768");
    ASSERT_TRUE(menu);
    pressKeys(kNotepad, L"ctrl+alt+k");  // again, where the keyboard is: the menu takes none
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(menu) && GetForegroundWindow() == GetParent(edit); }));
    // Typed once the display's keyboard has followed the foreground back to Notepad (where
    // Wine's AltGr may have typed the chord's letter too).
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    drive::startProcess(L"Z:\\bin\\sh -c \"until xdotool getwindowfocus getwindowname | grep -q "
                        L"Notepad; do sleep 0.1; done; xdotool keyup ctrl+alt+k type abc\"");
    EXPECT_TRUE(waitFor([&] { return windowText(edit) == L"abc"; })) << windowText(edit);
    pressKeys(kNotepad, L"ctrl+alt+k");
    ASSERT_TRUE(menu = td.waitForWindow(L"#32768"));
    // A click on another program: Windows brings it to the front, which Wine leaves to the
    // test as its menu keeps the click for itself; the click closes the menu.
    SetForegroundWindow(field);
    drive::startProcess(L"Z:\\usr\\bin\\xdotool search --name WineMine mousemove --window %1 30 80 click 1");
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(menu) && GetForegroundWindow() == field; }));
}

}  // namespace td::e2e
