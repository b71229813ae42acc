// The shortcut that opens the Launch menu from any program: what is stored, what is in force,
// its window, and what a press does.
#include "app/frmShortcut.h"
#include "support/fakes.h"

namespace td::test {

TEST(StoredShortcut, OnlyAKeyWithCtrlOrAltIsPutInForceAndReadingNeverChangesTheValue) {
    // What the program asks of the system at start for a stored value.
    auto registered = [](const std::wstring& stored, bool otherKind = false) {
        Fixture f;
        if (otherKind) f.otherKinds.insert(L"Hotkey");
        f.start({L"Hotkey=" + stored});
        f.config->mnuExit->Click();
        EXPECT_EQ(byKey(f.writes).count(L"Hotkey"), 0u) << stored;
        std::wstring calls;
        for (const auto& line : f.log)
            if (line.starts_with(L"shortcut")) calls += line + L"|";
        return calls;
    };
    // Nothing, none, a sign, too large, no number, no key, a modifier as the key, no Ctrl or Alt.
    for (const wchar_t* none : {L"", L"0", L"-1612", L"70000", L"Ctrl+L", L"512", L"529", L"76",
                                L"332"})
        EXPECT_EQ(registered(none), L"") << none;
    EXPECT_EQ(registered(L"1612", true), L"");
    EXPECT_EQ(registered(L" 1612"), L"shortcut 1612|shortcut 0|");  // Ctrl+Alt+L, released at exit
}

using Shortcut = Run;

TEST_F(Shortcut, AShortcutAnotherProgramHoldsIsToldAnotherChosenIsStoredAndAPressOpensTheMenu) {
    heldElsewhere = {1612};
    start({L"Hotkey=1612"});
    config->mnuShortcut->Click();
    auto window = app.shortcut.peek();
    ASSERT_TRUE(window && window->visible());
    EXPECT_EQ(window->hkyShortcut->value(), 1612);
    EXPECT_EQ(window->Label2->caption() + (window->Label2->visible() ? L" shown" : L""),
              L"Keys 1612 is in use by another program. shown");
    log.clear();
    window->cmdOK->Click();  // still held elsewhere: told, and the window stays
    EXPECT_EQ(log, (Texts{L"shortcut 1612", L"message Tillerdock (48) over Launch Menu Shortcut: "
                                            L"Keys 1612 is in use by another program. Choose "
                                            L"another shortcut."}));
    EXPECT_TRUE(window->visible());
    window->hkyShortcut->setValue(1613);
    window->cmdOK->Click();
    EXPECT_EQ(byKey(writes)[L"Hotkey"], L"1613");
    EXPECT_FALSE(app.shortcut.peek());
    EXPECT_TRUE(config->launchShortcut.inForce());
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
