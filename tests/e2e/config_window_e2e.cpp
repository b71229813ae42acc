// The real program's main window: its slots started from the tray menu, and what two copies and
// another program leave in the settings, one copy leaving by its Exit command, one at log-off.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {

TEST(SlotsE2E, TypedPathStartsFromTheKeyboardsTrayMenuAndAMissingFileShowsTheMessage) {
    clearSettings();
    const std::wstring missing = L"C:\\no such folder\\missing.exe";
    setSetting(L"App4", missing);
    Tillerdock td;
    ASSERT_TRUE(td.waitShown(true));
    // Typed into slot 2, whose item then heads the tray menu: Notepad opens the document named
    // by the argument, and the box keeps the reference.
    const std::wstring document = drive::programFolder() + L"e2e two words.txt";
    ASSERT_TRUE(drive::writeFile(document, "text"));
    const std::wstring typed = L"%WINDIR%\\notepad.exe \"" + document + L"\"";
    td.setText(ids::kAppBase + 2, typed);
    ASSERT_TRUE(td.pickFirstTrayItem());
    HWND notepad = nullptr;
    EXPECT_TRUE(waitFor([&] { return (notepad = FindWindowW(L"Notepad", nullptr)) != nullptr; }));
    EXPECT_TRUE(windowText(notepad).starts_with(L"e2e two words")) << windowText(notepad);
    PostMessageW(notepad, WM_CLOSE, 0, 0);
    EXPECT_EQ(td.text(ids::kAppBase + 2), typed);
    td.command(ids::kMenuSlotBase + 4);
    HWND box = td.waitForWindow(L"#32770", L"Tillerdocker");
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), L"File ''" + missing + L"'' not found.");
    click(GetDlgItem(box, IDOK));
    EXPECT_TRUE(waitFor([&] { return focusOf(td.main) == td.control(ids::kAppBase + 4); }));
    DeleteFileW(document.c_str());
}

TEST(ExitE2E, TwoCopiesAndAnotherProgramKeepWhatEachChangedSavedBeforeTheSessionEnds) {
    clearSettings();
    const DWORD one = 1;  // written by a deployment script: a number, and an expandable text
    const std::wstring notepad = L"%SystemRoot%\\system32\\notepad.exe";
    RegSetKeyValueW(HKEY_CURRENT_USER, drive::kSettingsKey, L"Startup", REG_DWORD, &one, 4);
    RegSetKeyValueW(HKEY_CURRENT_USER, drive::kSettingsKey, L"App9", REG_EXPAND_SZ, notepad.c_str(),
                    static_cast<DWORD>((notepad.size() + 1) * 2));
    Tillerdock a, b;
    ASSERT_TRUE(a.waitShown(true) && b.waitShown(true));
    // Each leaves as the icons of its menu's programs are being read.
    auto readIcons = [](const Tillerdock& td) {
        PostMessageW(td.main, win32::kTrayCallbackMessage, MAKEWPARAM(200, 200),
                     MAKELPARAM(WM_CONTEXTMENU, ids::kTrayIconId));
        HWND menu = td.waitForWindow(L"#32768");
        return menu && waitFor([&] {  // Esc until it closes: a key posted early can be lost
            if (IsWindowVisible(menu)) drive::pressKey(menu, VK_ESCAPE);
            return !IsWindowVisible(menu);
        });
    };
    EXPECT_EQ(a.text(ids::kAppBase + 9), notepad);
    a.setText(ids::kAppBase + 1, L"C:\\A.exe");
    click(a.control(ids::kOk));
    ASSERT_TRUE(a.waitShown(false));
    b.setText(ids::kAppBase + 2, L"\"C:\\B b\\b.exe\" /x");  // not confirmed: saved on leaving
    setSetting(L"Caption3", L"Outside");
    ASSERT_TRUE(readIcons(a) && readIcons(b));
    a.command(ids::kMenuExit);
    ASSERT_TRUE(a.waitForExit());
    // The end of the session, which may end the process right after WM_ENDSESSION: the program
    // lets it end, and has saved when WM_ENDSESSION returns.
    DWORD_PTR answer = 0;
    auto send = [&](UINT message, WPARAM ending) {
        return SendMessageTimeoutW(b.main, message, ending, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                                   &answer);
    };
    ASSERT_TRUE(send(WM_QUERYENDSESSION, 0) && answer);
    ASSERT_TRUE(send(WM_ENDSESSION, TRUE));
    auto keys = readSettings();  // Startup's bytes still a number's
    EXPECT_EQ(keys[L"App1"] + L"|" + keys[L"App2"] + L"|" + keys[L"Caption3"] + L"|" +
                  keys[L"App9"] + L"|" + keys[L"Startup"],
              L"C:\\A.exe|\"C:\\B b\\b.exe\" /x|Outside|" + notepad + L"|\x01");
    EXPECT_TRUE(b.waitForExit());
}

}  // namespace td::e2e
