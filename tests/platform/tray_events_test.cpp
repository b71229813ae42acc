// What the shell's callbacks about the tray icon mean to the program.
#include "platform/tray_events.h"

#include <gtest/gtest.h>

#include <string>

namespace td {

TEST(TrayCallbacks, ClassicAndVersion4CallbacksBecomeOneEventForEachActionOfTheUser) {
    TrayCallbackDecoder decoder;
    std::uint32_t time = 1000;
    // "-" for nothing, "open" for the default action, "menu x,y" (" keys" from the keyboard).
    auto seen = [&](unsigned event, std::uintptr_t anchor = 0, std::uint32_t after = 5000) {
        time += after;
        const auto e =
            decoder.decode(anchor, static_cast<std::intptr_t>(event | 1u << 16), {7, 8}, time);
        if (!e) return std::wstring(L"-");
        if (e->action != TrayAction::ContextMenu) return std::wstring(L"open");
        return L"menu " + std::to_wstring(e->place.at.x) + L"," + std::to_wstring(e->place.at.y) +
               (e->place.fromKeyboard ? L" keys" : L"");
    };
    // Classic: the mouse message alone, the menu at the pointer.
    for (unsigned nothing : {0x200u, 0x201u, 0x202u, 0x204u, 0x206u, 0x400u, 0x401u, 0x7Bu})
        EXPECT_EQ(seen(nothing), L"-") << nothing;
    EXPECT_EQ(seen(0x203) + L"|" + seen(0x205), L"open|menu 7,8");
    // Version 4: the place in wParam, x and y signed (a screen left of the main one).
    decoder.setVersion(4);
    const std::uintptr_t anchor = 300u << 16 | 0xFFFBu;
    // NIN_SELECT and a single click; a double-click; a right click (WM_RBUTTONUP and
    // WM_CONTEXTMENU), then Shift+F10; NIN_KEYSELECT twice for one Enter, then the next Enter.
    const std::pair<unsigned, std::uint32_t> calls[] = {
        {0x400, 5000}, {0x202, 5000}, {0x203, 5000}, {0x205, 5000}, {0x7B, 0},
        {0x7B, 5000},  {0x401, 5000}, {0x401, 5},    {0x401, 5000}};
    std::wstring all;
    for (auto [event, after] : calls) all += seen(event, anchor, after) + L"|";
    EXPECT_EQ(all, L"-|-|open|menu -5,300|-|menu -5,300 keys|open|-|open|");
    // A repeat counts from the end of the handling of the first, however long that took.
    decoder.handled(0x401 | 1 << 16, time + 1000);
    EXPECT_EQ(seen(0x401, anchor, 1100), L"-");
}

// At sign-in the shell may time out on an add and hold the icon all the same.
TEST(TrayIconAdded, WhenTheAddFailsButTheShellHoldsTheIconAnywayVersion4Follows) {
    struct Shell : NotifyIconCalls {
        Shell(bool added, bool held) : added(added), held(held) {}
        bool added, held;
        std::wstring calls;
        bool add() override { return calls += L"add ", added; }
        bool modify() override { return calls += L"modify ", held; }
        bool setVersion4() override { return calls += L"version ", true; }
        void showTip() override { calls += L"tip"; }
    };
    auto add = [](bool added, bool held) {
        Shell shell(added, held);
        const auto version = addNotifyIcon(shell);
        return shell.calls + L"=" + (version ? std::to_wstring(*version) : L"none");
    };
    EXPECT_EQ(add(true, false), L"add version tip=4");
    EXPECT_EQ(add(false, true), L"add modify version tip=4");
    EXPECT_EQ(add(false, false), L"add modify =none");
}

}  // namespace td
