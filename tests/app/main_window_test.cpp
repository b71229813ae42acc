// The main window's life: start-up, the tray icon, hiding and showing, and every way out.
#include <gtest/gtest.h>

#include "about/frmAbout.h"
#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {

using MainWindow = Run;

TEST_F(MainWindow, StartupReadsThe32KeysInOrderAndShowsTheStoredSlotsVerbatim) {
    const std::wstring quoted = L"\"C:\\Program Files\\Ed\\ed.exe\" -n \"a b.txt\"";
    start({L"Startup=never", L"App1=" + quoted, L"Caption1=Éditeur – ü", L"Caption2=Orphan",
           L"App4=  "});
    EXPECT_EQ(Texts(reads.begin(), reads.begin() + 21), kMainKeys);
    EXPECT_EQ(Texts(reads.begin() + 21, reads.end()), kGroupKeys);
    // The group window is loaded hidden; an option that is no truth value reads as off.
    EXPECT_EQ(log, (Texts{L"attach Tillerdock", L"attach Group Launch", L"tray add",
                          L"Tillerdock shown"}));
    EXPECT_EQ(iconTip, L"Tillerdock");
    EXPECT_EQ(slotView(*config, 1), quoted + L"|Éditeur – ü|on|item shown: Éditeur – ü");
    EXPECT_EQ(slotView(*config, 2), L"|Orphan|off|item hidden: Orphan");
    EXPECT_EQ(slotView(*config, 3), L"||off|item hidden: ");
    EXPECT_EQ(slotView(*config, 4), L"  ||on|item shown: ");
}

TEST_F(MainWindow, TrayClicksAndTheMenuHideAndShowTheWindowAndOfferTheOtherItem) {
    start();
    log.clear();
    for (unsigned mouse : {0x200u, 0x201u, 0x202u, 0x204u, 0x206u}) config->TrayIcon_Notify(mouse);
    config->TrayIcon_Notify(0x205);  // right button up: the launch menu
    config->TrayIcon_Notify(0x203);  // double click
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    config->TrayIcon_Notify(0x205);
    config->TrayIcon_Notify(0x203);
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    config->mnuHide->Click();
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    config->mnuConfigure->Click();
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    EXPECT_EQ(log,
              (Texts{L"foreground Tillerdock", L"popup &Launch default &Hide", L"Tillerdock hidden",
                     L"foreground Tillerdock", L"popup &Launch default Configure",
                     L"foreground Tillerdock", L"Tillerdock shown", L"Tillerdock hidden",
                     L"foreground Tillerdock", L"Tillerdock shown"}));
}

TEST_F(MainWindow, RefusedTrayIconIsRetriedForAMinuteAndALostOneAddedAgainUntilTheClose) {
    refusedIcons = 5;  // every try of the first minute
    start({L"Startup=True"});
    runTimers();
    // With the option on the window is never shown, unless the icon never comes.
    EXPECT_EQ(log, (Texts{L"attach Tillerdock", L"attach Group Launch", L"tray add",
                          L"after 5000ms", L"Tillerdock hidden", L"tray add", L"after 10000ms",
                          L"tray add", L"after 15000ms", L"tray add", L"after 30000ms", L"tray add",
                          L"foreground Tillerdock", L"Tillerdock shown"}));
    log.clear();
    iconPresent = false;  // the shell restarted, or announces itself late
    config->TaskbarCreated();
    config->TaskbarCreated();  // announced again while the icon is still there
    EXPECT_TRUE(config->trayIconPresent());
    config->mnuExit->Click();
    config->TaskbarCreated();
    EXPECT_EQ(log,
              (Texts{L"tray add", L"tray add", L"tray remove", L"tray add", L"Group Launch closed",
                     L"Group Launch destroyed", L"tray remove", L"Tillerdock closed"}));

    Fixture late;  // there at the last try: the window stays hidden
    late.refusedIcons = 4;
    late.start({L"Startup=True"});
    late.runTimers();
    EXPECT_EQ(windowView(*late.config), L"hidden minimised Configure");
}

// The Exit item, the Exit button, the close command, the end of the session; a second close
// (here the end of the session) can arrive while the message of a first is up.
TEST(Closing, EveryWaySavesUnconfirmedEditsOnceTellsOfFailuresAndClosesEverything) {
    for (int way = 0; way < 4; ++way) {
        Fixture f;
        f.start({L"App2=old.exe", L"Caption2=Old"});
        f.config->App[2]->setText(L"new.exe /x");
        f.config->mnuStartup->Click();
        f.app.about.get();
        f.log.clear();
        f.failingWrites = {{L"Startup", L"No."}, {L"App3", L"No."}, {L"Caption10", L"Full."}};
        f.whileMessageUp = [&] { f.config->unload(ui::UnloadMode::EndSession); };
        if (way == 0) f.config->mnuExit->Click();
        if (way == 1) f.config->cmdExit->Click();
        if (way == 2) f.config->unload(ui::UnloadMode::CloseCommand);
        if (way == 3) f.config->unload(ui::UnloadMode::EndSession);

        EXPECT_EQ(f.writes, keyValues(kMainKeys, L"",
                                      {L"Startup=True", L"App2=new.exe /x", L"Caption2=Old"}));
        // What could not be saved is told once, unless nobody is there to read it.
        Texts seen;
        if (way != 3)
            seen.push_back(
                L"message Tillerdock (48) over Tillerdock: Tillerdock could not save "
                L"these settings:\n\nthe \"Minimize on Startup\" option: No.\nthe "
                L"program of slot 3: No.\nthe caption of slot 10: Full.\n\nThose "
                L"changes are lost; Tillerdock will now close.");
        seen.insert(seen.end(), {L"About Tillerdock closed", L"About Tillerdock destroyed",
                                 L"Group Launch closed", L"Group Launch destroyed", L"tray remove",
                                 L"Tillerdock closed"});
        EXPECT_EQ(f.log, seen) << way;
        EXPECT_FALSE(f.app.group.peek() || f.app.about.peek());
    }
}

}  // namespace td::test
