// The tray icon's mouse messages, its return after a shell restart, and every way of leaving
// the real program.
#include <gtest/gtest.h>
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "driver.h"

namespace td::e2e {
namespace {

// NIM_MODIFY tells whether the shell holds the program's icon; NIM_DELETE removes it.
bool trayIcon(HWND owner, DWORD operation) {
    NOTIFYICONDATAW icon = {sizeof(icon), owner, ids::kTrayIconId};
    return Shell_NotifyIconW(operation, &icon) != FALSE;
}

TEST(TrayE2E, SavedOptionStartsInTheTrayDoubleClickTogglesOtherMessagesDoNothing) {
    clearSettings();
    setSetting(L"Startup", L"True");
    Tillerdock td;
    ASSERT_TRUE(td.main);
    EXPECT_FALSE(waitFor([&] { return td.shown(); }, 1s));

    // The icon is there; a restarted shell has lost it, and its announcement brings it back.
    ASSERT_TRUE(trayIcon(td.main, NIM_DELETE));
    SendMessageW(td.main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(trayIcon(td.main, NIM_MODIFY));

    for (bool hidden : {true, false}) {
        SCOPED_TRACE(hidden);
        // Clicks, presses and moves on the icon; and plain moves over the window whose x
        // equals a double-click or a right-button release.
        for (UINT m :
             {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONDBLCLK})
            td.tray(m);
        PostMessageW(td.main, WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 10));
        PostMessageW(td.main, WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 10));
        Sleep(300);
        EXPECT_EQ(td.shown(), !hidden);
        EXPECT_TRUE(td.windows(L"#32768").empty()) << "no menu";
        td.tray(WM_LBUTTONDBLCLK);
        EXPECT_TRUE(td.waitShown(hidden));
    }
    td.tray(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(td.waitShown(true));
    EXPECT_FALSE(IsIconic(td.main));
    // Minimised by the window's command: hidden.
    SendMessageW(td.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(td.waitShown(false));
}

// A log-off as the system sends it; the process may be ended right after WM_ENDSESSION.
void logOff(const Tillerdock& td) {
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(td.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                    5000, &answer));
    EXPECT_TRUE(answer);  // the program lets the session end
    ASSERT_TRUE(SendMessageTimeoutW(td.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                    5000, &answer));
}

TEST(ExitE2E, EveryWayOfLeavingSavesAll21KeysAndEndsAnEmptyStoreIsWrittenOnlyThen) {
    using Leave = void (*)(const Tillerdock&);
    const std::tuple<const char*, bool, Leave> ways[] = {
        {"E&xit", false, [](const Tillerdock& td) { td.command(ids::kMenuExit); }},
        {"Exit button", true, [](const Tillerdock& td) { td.click(ids::kExit); }},
        {"WM_CLOSE", false, [](const Tillerdock& td) { PostMessageW(td.main, WM_CLOSE, 0, 0); }},
        {"log-off", true, &logOff},
    };
    const std::wstring edited = L"\"C:\\Edited Path\\tool.exe\" /x";
    for (const auto& [name, startup, leave] : ways) {
        SCOPED_TRACE(name);
        clearSettings();
        Tillerdock td;
        ASSERT_TRUE(td.waitShown(true));
        td.setText(ids::kAppBase + 1, edited);
        td.setText(ids::kCaptionBase + 1, L"Edited");
        if (startup) SendMessageW(td.main, WM_COMMAND, ids::kMenuStartup, 0);
        EXPECT_EQ(settings(), Keys{});

        leave(td);
        // After a log-off the keys must be there at once; otherwise once the process ends.
        if (leave != &logOff) {
            ASSERT_TRUE(td.waitForExit());
        }
        EXPECT_EQ(settings(), savedSlots({{L"App1", edited}, {L"Caption1", L"Edited"}}, startup));
        EXPECT_TRUE(td.waitForExit());
        EXPECT_TRUE(td.windows(nullptr).empty());
    }
}

}  // namespace
}  // namespace td::e2e
