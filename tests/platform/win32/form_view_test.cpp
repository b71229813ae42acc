// The real Win32 layer in process: native windows, controls and menus built from the core,
// read back with the platform's own API.
#include "platform/win32/form_view.h"

#include <gtest/gtest.h>

#include "app/window_ids.h"
#include "platform/win32/shell_messages.h"
#include "platform/win32/window_system.h"
#include "support/fakes.h"

namespace td::test {

// The program on the double for every service but the window system, which is real.
struct NativeWindow : Fake, ::testing::Test {
    win32::Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    Application app{Services{*this, *this, *this, windows, *this, *this, *this, *this}};
    NativeWindow() { windows.onAttach = &win32::routeShellMessages; }
    ~NativeWindow() override {
        if (auto config = app.config.peek()) config->unload(ui::UnloadMode::Code);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // Starts the program on these stored "Key=Value" texts and returns its main window.
    HWND start(const Texts& values = {}) {
        stored = byKey(values);
        app.start();
        return win32::hwndOf(*app.config.get());
    }
};

// Each item of a native menu: "id caption" (a separator's caption is "-"), then " grey",
// " checked" and " default" as they apply.
Texts readMenu(HMENU menu) {
    Texts items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        items.push_back(
            std::to_wstring(GetMenuItemID(menu, i)) + L" " + (state & MF_SEPARATOR ? L"-" : text) +
            (state & MF_GRAYED ? L" grey" : L"") + (state & MF_CHECKED ? L" checked" : L"") +
            (state & MF_DEFAULT ? L" default" : L""));
    }
    return items;
}

TEST_F(NativeWindow, TypingFollowsTheChangeRulesAndMenusHoldExactlyTheVisibleItemsInTheirState) {
    HWND main = start({L"App1=helper.exe one", L"Caption1=Editor", L"App3= ", L"Caption4=No path"});
    HMENU launch = GetSubMenu(GetMenu(main), 0);
    EXPECT_EQ(readMenu(launch), (Texts{L"2001 Editor", L"2003 ", L"2012 -", L"2014 &Hide",
                                       L"2015 -", L"2016 E&xit"}));
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    SetWindowTextW(GetDlgItem(main, ids::kAppBase + 1), L"");   // the item goes at once
    SetWindowTextW(GetDlgItem(main, ids::kAppBase + 5), L"e");  // comes, grey until the menu opens
    EXPECT_EQ(readMenu(launch),
              (Texts{L"2003 ", L"2005  grey", L"2012 -", L"2014 &Hide", L"2015 -", L"2016 E&xit"}));
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    EXPECT_EQ(readMenu(launch)[1], L"2005 ");
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMenuStartup, 0), 0);
    EXPECT_EQ(readMenu(GetSubMenu(GetMenu(main), 1)),
              (Texts{L"2101 &Group Launch", L"2102 &Minimize on Startup checked"}));

    EXPECT_EQ(SendMessageW(GetDlgItem(main, ids::kCaptionBase + 1), EM_GETLIMITTEXT, 0, 0), 22);
    EXPECT_EQ(SendMessageW(GetDlgItem(main, ids::kCaptionBase + 9), EM_GETLIMITTEXT, 0, 0), 30);
    EXPECT_GT(SendMessageW(GetDlgItem(main, ids::kAppBase + 1), EM_GETLIMITTEXT, 0, 0), 1000000);
    // OK, Cancel, Exit, the enabled caption boxes of slots 10, 8, 6, 4, 2, 9, 7, 5, 3, 1, then
    // the Browse buttons from slot 10.
    std::vector<int> order{ids::kOk};
    for (HWND at = GetDlgItem(main, ids::kOk); order.size() < 6; order.push_back(GetDlgCtrlID(at)))
        at = GetNextDlgTabItem(main, at, FALSE);
    EXPECT_EQ(order, (std::vector<int>{ids::kOk, ids::kCancel, ids::kExit, ids::kCaptionBase + 5,
                                       ids::kCaptionBase + 3, ids::kBrowseBase + 10}));
}

TEST_F(NativeWindow, TrayPopUpDrawsTheOfferedItemAsDefaultWhileItIsOpen) {
    HWND main = start();
    app.config.get()->mnuHide_Click();
    static Texts seen;
    // Reads the menu while the pop-up is open, then closes it.
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        seen = readMenu(GetSubMenu(GetMenu(FindWindowW(ids::kConfigClass, nullptr)), 0));
        EndMenu();
    });
    SendMessageW(main, ids::kTrayCallback, ids::kTrayIconId, WM_RBUTTONUP);
    EXPECT_EQ(seen, (Texts{L"2012 -", L"2013 Configure default", L"2015 -", L"2016 E&xit"}));
    EXPECT_EQ(readMenu(GetSubMenu(GetMenu(main), 0))[1], L"2013 Configure");
}

TEST_F(NativeWindow, ControlsSitAtTheirTwipPositionsAtScreenDpi) {
    HWND main = start();
    const int dpi = static_cast<int>(GetDpiForWindow(main));
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT r;
    GetClientRect(main, &r);
    EXPECT_EQ(r.right, px(9000));
    EXPECT_NEAR(r.bottom, px(4935), 1);
    // App1: 3135 wide at (120, 600) in the frame at (45, -15).
    GetWindowRect(GetDlgItem(main, ids::kAppBase + 1), &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, px(45 + 120), 1);
    EXPECT_NEAR(r.top, px(-15 + 600), 1);
    EXPECT_NEAR(r.right - r.left, px(3135), 1);
}

struct NativeClosing : NativeWindow, ::testing::WithParamInterface<UINT> {};
INSTANTIATE_TEST_SUITE_P(CloseAndEndOfSession, NativeClosing,
                         ::testing::Values(WM_CLOSE, WM_ENDSESSION));

TEST_P(NativeClosing, MinimisingHidesTheWindowAndEveryCloseSavesAndEndsTheLoop) {
    HWND main = start();
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(windowView(*app.config.get()), L"hidden minimised Configure");
    failingWrites[L"App1"] = L"No.";
    log.clear();
    SendMessageW(main, GetParam(), TRUE, 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(writes.size(), 21u);
    // The failure is told only when someone can read it.
    EXPECT_EQ(log.size(), GetParam() == WM_CLOSE ? 2u : 1u);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace td::test
