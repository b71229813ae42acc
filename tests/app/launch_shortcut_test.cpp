// The shortcut that opens the Launch menu from any program: what is stored, what is in force,
// its window, and what a press does.
#include "app/frmShortcut.h"
#include "support/fakes.h"

namespace td::test {

TEST(StoredShortcut, OnlyAKeyWithCtrlOrAltIsPutInForceAndNothingElseIsAsked) {
    // The shortcut in force after a start on a stored value, and the system's shortcuts asked.
    auto inForce = [](const std::wstring& stored, bool otherKind = false) {
        Fixture f;
        if (otherKind) f.otherKinds.insert(L"Hotkey");
        f.start({L"Hotkey=" + stored});
        return to_wstring(f.config->launchShortcut.chosen()) + L"|" +
               to_wstring(std::count_if(f.log.begin(), f.log.end(),
                                        [](auto& l) { return l.starts_with(L"shortcut"); }));
    };
    // Nothing, none, a sign, too large, no number, no key, a modifier as the key, no Ctrl or Alt.
    for (const wchar_t* none : {L"", L"0", L"-1612", L"70000", L"Ctrl+L", L"512", L"529", L"76",
                                L"332"})
        EXPECT_EQ(inForce(none), L"0|0") << none;
    EXPECT_EQ(inForce(L"1612", true), L"0|0");
    EXPECT_EQ(inForce(L" 1612"), L"1612|1");  // Ctrl+Alt+L
}

using Shortcut = Run;

TEST_F(Shortcut, AChosenShortcutIsInForceAndStoredAndAPressOpensTheMenuAtThePointer) {
    start({L"Hotkey=1612"});
    config->mnuShortcut->Click();
    auto window = app.shortcut.peek();
    ASSERT_TRUE(window && window->visible() && !window->Label2->visible());
    EXPECT_EQ(window->hkyShortcut->value(), 1612);
    window->hkyShortcut->setValue(1613);
    window->cmdOK->Click();
    EXPECT_EQ(byKey(writes)[L"Hotkey"], L"1613");
    EXPECT_TRUE(!app.shortcut.peek() && config->launchShortcut.inForce());
    // Keys that type a character are registered only once the user says yes.
    config->mnuShortcut->Click();
    app.shortcut.peek()->hkyShortcut->setValue(1612);
    log.clear();
    app.shortcut.peek()->cmdOK->Click();
    ASSERT_TRUE(app.shortcut.peek());
    answerYes = true;
    app.shortcut.peek()->cmdOK->Click();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], log[1]);
    EXPECT_EQ(log[0].substr(0, 60), L"message Tillerdock (308) over Launch Menu Shortcut: Keys 161");
    EXPECT_NE(log[0].find(L"Keys 1612 types \u201C\u0142\u201D"), std::wstring::npos);
    EXPECT_EQ(log[2] + byKey(writes)[L"Hotkey"], L"shortcut 16121612");
    // A press opens the Launch menu at the pointer, unless a menu or a modal window is open.
    config->mnuHide->Click();
    log.clear();
    hotKeyHandler(PopupPlace{{300, 200}, true, true});
    menuIsOpen = true;
    hotKeyHandler(PopupPlace{{300, 200}, true, true});  // again: the open menu closes
    menuIsOpen = false;
    modalOpen = true;
    hotKeyHandler(PopupPlace{{300, 200}, true, true});
    EXPECT_EQ(log, (Texts{L"foreground Tillerdock",
                          L"popup &Launch default Configure at 300,200 keyboard",
                          L"back to the program", L"menu closed", L"modal to front"}));
}

}  // namespace td::test
