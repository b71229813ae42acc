// The real Win32 layer in process: native windows, controls and menus built from the core,
// read back with the platform's own API.
#include "platform/win32/form_view.h"
#include "platform/win32/shell_messages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/frmConfig.h"
#include "app/window_ids.h"
#include "group/frmGroup.h"
#include "platform/win32/window_system.h"
#include "support/fakes.h"

namespace td::test {
namespace {

// The application on doubles for every service but the window system, which is real.
struct NativeFixture {
    FakeStore store;
    FakeStarter starter;
    FakeMessages messages;
    win32::Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    FakeTray tray;
    FakeShell shell;
    FakeOpenDialog openDialog;
    FakeEnvironment environment;
    Application app{
        Services{store, starter, messages, windows, tray, shell, openDialog, environment}};

    NativeFixture() { windows.onAttach = &win32::routeShellMessages; }
    ~NativeFixture() {
        if (auto config = app.config.peek()) config->unload(ui::UnloadMode::Code);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    HWND main() { return win32::hwndOf(*app.config.get()); }
};

struct MenuEntry {
    UINT id;
    std::wstring text;
    UINT state;
    bool separator;
};

std::vector<MenuEntry> readMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        entries.push_back({info.wID, text, info.fState, (info.fType & MFT_SEPARATOR) != 0});
    }
    return entries;
}

RECT clientRectOf(HWND parent, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(parent, id), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(NativeWindow, LaunchMenuHoldsExactlyTheVisibleItemsWithTheirState) {
    NativeFixture f;
    f.store.values = {{L"App1", L"helper.exe one two"},
                      {L"Caption1", L"Editor"},
                      {L"App3", L" "},
                      {L"Caption4", L"No path"}};
    f.app.start();
    HWND main = f.main();
    ASSERT_TRUE(main);
    HMENU bar = GetMenu(main);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    HMENU launch = GetSubMenu(bar, 0);

    auto items = readMenu(launch);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].text, L"Editor");
    EXPECT_EQ(items[0].id, static_cast<UINT>(ids::kMenuSlotBase + 1));
    EXPECT_EQ(items[1].text, L"");  // slot 3: a blank path counts, its caption is empty
    EXPECT_EQ(items[1].id, static_cast<UINT>(ids::kMenuSlotBase + 3));
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[3].text, L"&Hide");
    EXPECT_TRUE(items[4].separator);
    EXPECT_EQ(items[5].text, L"E&xit");
    for (const auto& item : items) EXPECT_FALSE(item.state & MFS_DEFAULT);

    // Opening the menu runs its refresh; emptying a path takes the item out at once.
    f.app.config.get()->App[1]->setText(L"");
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    items = readMenu(launch);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].id, static_cast<UINT>(ids::kMenuSlotBase + 3));
    EXPECT_FALSE(items[0].state & MFS_GRAYED);

    auto options = readMenu(GetSubMenu(bar, 1));
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].text, L"&Group Launch");
    EXPECT_EQ(options[1].text, L"&Minimize on Startup");
    EXPECT_FALSE(options[1].state & MFS_CHECKED);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMenuStartup, 0), 0);
    EXPECT_TRUE(readMenu(GetSubMenu(bar, 1))[1].state & MFS_CHECKED);
    EXPECT_EQ(readMenu(GetSubMenu(bar, 2))[0].text, L"&About");
}

TEST(NativeWindow, TrayPopupDrawsTheVisiblePairItemAsDefault) {
    NativeFixture f;
    f.app.start();
    auto config = f.app.config.get();
    HMENU launch = GetSubMenu(GetMenu(f.main()), 0);

    static UINT seenDefault;
    auto popupAndRead = [&] {
        seenDefault = 0;
        // Reads the default item while the pop-up is open, then closes it.
        SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HMENU m = GetSubMenu(GetMenu(FindWindowW(ids::kConfigClass, nullptr)), 0);
            seenDefault = GetMenuDefaultItem(m, FALSE, 0);
            EndMenu();
        });
        SendMessageW(f.main(), ids::kTrayCallback, ids::kTrayIconId, WM_RBUTTONUP);
    };
    popupAndRead();
    EXPECT_EQ(seenDefault, static_cast<UINT>(ids::kMenuHide));
    config->mnuHide_Click();
    EXPECT_FALSE(IsWindowVisible(f.main()));
    popupAndRead();
    EXPECT_EQ(seenDefault, static_cast<UINT>(ids::kMenuConfigure));
    // Outside the pop-up no item is the default.
    EXPECT_EQ(GetMenuDefaultItem(launch, FALSE, 0), static_cast<UINT>(-1));
}

TEST(NativeWindow, ControlsSitAtTheirTwipPositionsAtScreenDpi) {
    NativeFixture f;
    f.app.start();
    HWND main = f.main();
    const UINT dpi = GetDpiForWindow(main);
    auto px = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };

    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, px(9000));
    EXPECT_NEAR(client.bottom, px(4935), 1);

    // Frame at (45, -15); App1 at (120, 600) inside it, 3135 x 285.
    RECT app1 = clientRectOf(main, ids::kAppBase + 1);
    EXPECT_NEAR(app1.left, px(45 + 120), 1);
    EXPECT_NEAR(app1.top, px(-15 + 600), 1);
    EXPECT_NEAR(app1.right - app1.left, px(3135), 1);
    EXPECT_NEAR(app1.bottom - app1.top, px(285), 1);
    RECT browse10 = clientRectOf(main, ids::kBrowseBase + 10);
    EXPECT_NEAR(browse10.left, px(45 + 7800), 1);
    EXPECT_NEAR(browse10.top, px(-15 + 3945), 1);
    RECT exit = clientRectOf(main, ids::kExit);
    EXPECT_NEAR(exit.left, px(7905), 1);
    EXPECT_NEAR(exit.top, px(4530), 1);
    EXPECT_NEAR(exit.right - exit.left, px(1065), 1);

    wchar_t title[64] = {};
    GetWindowTextW(main, title, 64);
    EXPECT_STREQ(title, L"Tillerdock");
    EXPECT_EQ(FindWindowW(ids::kConfigClass, L"Tillerdock"), main);
}

TEST(NativeWindow, TypingFollowsTheChangeRulesAndTabSkipsGreyedCaptions) {
    NativeFixture f;
    f.store.values = {{L"App2", L"b.exe"}};
    f.app.start();
    HWND main = f.main();
    auto config = f.app.config.get();

    HWND app5 = GetDlgItem(main, ids::kAppBase + 5);
    SendMessageW(app5, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tool.exe"));
    EXPECT_EQ(config->App[5]->text(), L"tool.exe");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, ids::kCaptionBase + 5)));
    EXPECT_TRUE(config->mnu[5]->visible());

    // Caption boxes stop at 22 characters, the ninth at 30; path boxes have no practical limit.
    EXPECT_EQ(SendMessageW(GetDlgItem(main, ids::kCaptionBase + 1), EM_GETLIMITTEXT, 0, 0), 22);
    EXPECT_EQ(SendMessageW(GetDlgItem(main, ids::kCaptionBase + 9), EM_GETLIMITTEXT, 0, 0), 30);
    EXPECT_GT(SendMessageW(app5, EM_GETLIMITTEXT, 0, 0), 1000000);

    // Focus order: OK, Cancel, Exit, then the enabled caption boxes (5 and 2 of 10, 8, 6,
    // 4, 2, 9, 7, 5, 3, 1), then the Browse buttons from slot 10.
    std::vector<int> order;
    HWND at = GetDlgItem(main, ids::kOk);
    for (int i = 0; i < 6; ++i) {
        order.push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(main, at, FALSE);
    }
    EXPECT_EQ(order, (std::vector<int>{ids::kOk, ids::kCancel, ids::kExit, ids::kCaptionBase + 2,
                                       ids::kCaptionBase + 5, ids::kBrowseBase + 10}));
}

TEST(NativeWindow, MinimisingHidesTheWindowAndClosingEndsTheLoop) {
    NativeFixture f;
    f.app.start();
    HWND main = f.main();
    EXPECT_TRUE(IsWindowVisible(main));
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(f.app.config.get()->mnuConfigure->visible());

    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(f.store.writes().size(), 21u);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace td::test
