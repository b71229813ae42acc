// The tray icon's mouse messages, showing and hiding the main window, and every way of
// leaving the real program.
#include <gtest/gtest.h>

#include "app/window_ids.h"
#include "driver.h"

namespace td::e2e {
namespace {

bool shown(const Tillerdock& app) {
    return IsWindowVisible(app.main()) != FALSE;
}

bool waitShown(const Tillerdock& app, bool wanted) {
    return waitFor([&] { return shown(app) == wanted; });
}

HWND waitForTrayMenu(const Tillerdock& app) {
    HWND menu = nullptr;
    waitFor([&] { return (menu = openPopupMenu(app.processId())) != nullptr; }, 3s);
    return menu;
}

TEST(TrayE2E, DoubleClickTogglesTheWindowAndOtherMouseMessagesDoNothing) {
    clearSettings();
    Tillerdock app;
    ASSERT_TRUE(app.main());
    ASSERT_TRUE(waitShown(app, true));
    EXPECT_TRUE(trayIconPresent(app.main(), ids::kTrayIconId));

    // A click, a press, a move on the icon; and real moves over the window whose x equals
    // a double-click or a right-button release: none of them is a tray event.
    for (UINT m : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONDBLCLK})
        app.trayEvent(m);
    PostMessageW(app.main(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 10));
    PostMessageW(app.main(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 10));
    Sleep(300);
    EXPECT_TRUE(shown(app));
    EXPECT_FALSE(openPopupMenu(app.processId()));

    app.trayEvent(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitShown(app, false));
    for (UINT m : {WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) app.trayEvent(m);
    Sleep(300);
    EXPECT_FALSE(shown(app));

    app.trayEvent(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitShown(app, true));
    EXPECT_FALSE(IsIconic(app.main()));
    EXPECT_EQ(GetForegroundWindow(), app.main());
    EXPECT_TRUE(app.running());
}

TEST(TrayE2E, RightButtonReleasePopsUpTheLaunchMenuWhoseItemsWork) {
    clearSettings();
    Recording recording;
    setSetting(L"App2", L"\"" + recorderPath() + L"\" from-tray");
    Tillerdock app;
    ASSERT_TRUE(app.main());
    ASSERT_TRUE(waitShown(app, true));

    // Escape closes the menu and nothing else happens.
    app.trayEvent(WM_RBUTTONUP);
    HWND menu = waitForTrayMenu(app);
    ASSERT_TRUE(menu);
    pressKey(menu, VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return !openPopupMenu(app.processId()); }));
    EXPECT_TRUE(shown(app));

    // Window hidden: the items are "App 2", "Configure", "E&xit" (separators are skipped).
    app.command(ids::kMenuHide);
    ASSERT_TRUE(waitShown(app, false));
    app.trayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(menu = waitForTrayMenu(app));
    pressKey(menu, VK_DOWN);
    pressKey(menu, VK_RETURN);
    ASSERT_TRUE(recording.waitForLines(1));
    EXPECT_NE(recording.lines()[0].find(L" from-tray"), std::wstring::npos);
    EXPECT_FALSE(shown(app));

    app.trayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(menu = waitForTrayMenu(app));
    pressKey(menu, VK_DOWN);
    pressKey(menu, VK_DOWN);
    pressKey(menu, VK_RETURN);  // "Configure"
    EXPECT_TRUE(waitShown(app, true));
    EXPECT_FALSE(IsIconic(app.main()));

    // Window shown: "App 2", "&Hide", "E&xit".
    app.trayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(menu = waitForTrayMenu(app));
    for (int i = 0; i < 3; ++i) pressKey(menu, VK_DOWN);
    pressKey(menu, VK_RETURN);
    EXPECT_TRUE(app.waitForExit());
    EXPECT_EQ(getSetting(L"App2"), L"\"" + recorderPath() + L"\" from-tray");
}

TEST(TrayE2E, MinimizeHideOkAndCancelHideTheWindowAndItComesBack) {
    clearSettings();
    Tillerdock app;
    ASSERT_TRUE(app.main());
    ASSERT_TRUE(waitShown(app, true));

    SendMessageW(app.main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(waitShown(app, false));
    app.trayEvent(WM_LBUTTONDBLCLK);  // "Configure" is now the visible item: shows
    EXPECT_TRUE(waitShown(app, true));
    EXPECT_FALSE(IsIconic(app.main()));

    app.command(ids::kMenuHide);
    EXPECT_TRUE(waitShown(app, false));
    app.command(ids::kMenuConfigure);
    EXPECT_TRUE(waitShown(app, true));
    EXPECT_FALSE(IsIconic(app.main()));
    EXPECT_EQ(GetForegroundWindow(), app.main());

    for (int button : {ids::kOk, ids::kCancel}) {
        SCOPED_TRACE(button);
        app.click(button);
        EXPECT_TRUE(waitShown(app, false));
        app.trayEvent(WM_LBUTTONDBLCLK);
        EXPECT_TRUE(waitShown(app, true));
        EXPECT_FALSE(IsIconic(app.main()));
    }
}

// A log-off as the system sends it; it may end the process right after WM_ENDSESSION.
void logOff(const Tillerdock& app) {
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(app.main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_NORMAL, 5000, &answer));
    EXPECT_TRUE(answer);  // the program lets the session end
    ASSERT_TRUE(SendMessageTimeoutW(app.main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                    5000, &answer));
}

TEST(ExitE2E, EveryWayOfLeavingSavesTheEditsInAll21KeysAndEnds) {
    using Leave = void (*)(const Tillerdock&);
    const std::pair<const char*, Leave> ways[] = {
        {"E&xit", [](const Tillerdock& a) { a.command(ids::kMenuExit); }},
        {"Exit button", [](const Tillerdock& a) { a.click(ids::kExit); }},
        {"WM_CLOSE", [](const Tillerdock& a) { PostMessageW(a.main(), WM_CLOSE, 0, 0); }},
        {"SC_CLOSE",
         [](const Tillerdock& a) { PostMessageW(a.main(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"log-off", &logOff},
    };
    const std::wstring edited = L"\"C:\\Edited Path\\tool.exe\" /x";
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        clearSettings();
        setSetting(L"App3", L"stored three");
        setSetting(L"Caption3", L"Three");
        Tillerdock app;
        ASSERT_TRUE(app.main());
        const HWND main = app.main();
        app.setText(ids::kAppBase + 1, edited);
        app.setText(ids::kCaptionBase + 1, L"Edited caption");

        leave(app);
        // After a log-off the keys must be there at once; otherwise once the process ends.
        if (leave != &logOff) {
            ASSERT_TRUE(app.waitForExit());
        }
        EXPECT_EQ(getSetting(L"Startup"), L"False");
        EXPECT_EQ(getSetting(L"App1"), edited);
        EXPECT_EQ(getSetting(L"Caption1"), L"Edited caption");
        EXPECT_EQ(getSetting(L"App3"), L"stored three");
        EXPECT_EQ(getSetting(L"Caption3"), L"Three");
        for (int n : {2, 4, 5, 6, 7, 8, 9, 10}) {
            EXPECT_EQ(getSetting(L"App" + std::to_wstring(n)), L"") << n;
            EXPECT_EQ(getSetting(L"Caption" + std::to_wstring(n)), L"") << n;
        }
        EXPECT_TRUE(app.waitForExit());
        EXPECT_TRUE(app.windows().empty());
        EXPECT_FALSE(trayIconPresent(main, ids::kTrayIconId));
    }
}

TEST(StartupE2E, MinimizeOnStartupIsSavedAtExitAndTheNextStartStaysInTheTray) {
    clearSettings();
    {
        Tillerdock app;
        ASSERT_TRUE(app.main());
        app.command(ids::kMenuStartup);
        Sleep(200);
        EXPECT_FALSE(getSetting(L"Startup"));  // the toggle itself writes nothing
        app.click(ids::kExit);
        ASSERT_TRUE(app.waitForExit());
        EXPECT_EQ(getSetting(L"Startup"), L"True");
    }
    Tillerdock app;
    ASSERT_TRUE(app.main());
    bool everShown = false;
    waitFor([&] { return (everShown = shown(app)); }, 1s);
    EXPECT_FALSE(everShown);
    EXPECT_TRUE(trayIconPresent(app.main(), ids::kTrayIconId));
    app.trayEvent(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitShown(app, true));
    EXPECT_FALSE(IsIconic(app.main()));

    app.command(ids::kMenuStartup);
    PostMessageW(app.main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(getSetting(L"Startup"), L"False");
}

TEST(TrayE2E, TaskbarCreatedAddsTheLostIconAgainAndLeavesTheWindowAlone) {
    clearSettings();
    Tillerdock app;
    ASSERT_TRUE(app.main());
    ASSERT_TRUE(waitShown(app, true));
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    DWORD_PTR answer = 0;
    auto announce = [&] {
        return SendMessageTimeoutW(app.main(), taskbarCreated, 0, 0, SMTO_NORMAL, 5000, &answer);
    };

    // The icon still there: it stays.
    ASSERT_TRUE(announce());
    EXPECT_TRUE(trayIconPresent(app.main(), ids::kTrayIconId));

    // A restarted shell has lost it.
    ASSERT_TRUE(removeTrayIcon(app.main(), ids::kTrayIconId));
    ASSERT_FALSE(trayIconPresent(app.main(), ids::kTrayIconId));
    ASSERT_TRUE(announce());
    EXPECT_TRUE(trayIconPresent(app.main(), ids::kTrayIconId));
    EXPECT_TRUE(app.running());
    EXPECT_TRUE(shown(app));

    app.command(ids::kMenuHide);
    ASSERT_TRUE(waitShown(app, false));
    ASSERT_TRUE(announce());
    Sleep(200);
    EXPECT_FALSE(shown(app));
    app.trayEvent(WM_LBUTTONDBLCLK);  // the icon's events still arrive and decode
    EXPECT_TRUE(waitShown(app, true));
}

}  // namespace
}  // namespace td::e2e
