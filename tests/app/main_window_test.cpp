// The main window's life: start-up, the tray icon, hiding and showing, and every way out.
#include "about/frmAbout.h"
#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {

using MainWindow = Run;

TEST_F(MainWindow, StartupReadsThe32KeysInOrderAndShowsTheStoredSlotsVerbatim) {
    const std::wstring quoted = L"\"C:\\Program Files\\Ed\\ed.exe\" -n \"a b.txt\"";
    start({L"Startup=never", L"App1=" + quoted, L"Caption1=Éditeur – ü", L"Caption2=Orphan",
           L"App4=  ", L"App5=x", L"Caption5=-"});
    Texts order = kMainKeys;  // the group's keys as its window loads, the shortcut's last
    order.insert(order.end(), kGroupKeys.begin(), kGroupKeys.end());
    order.push_back(L"Hotkey");
    EXPECT_EQ(reads, order);
    // The group window is loaded hidden; an option that is no truth value reads as off.
    EXPECT_EQ(log, (Texts{L"attach Tillerdock", L"attach Group Launch", L"tray add",
                          L"Tillerdock shown"}));
    EXPECT_EQ(slotView(*config, 1), quoted + L"|Éditeur – ü|on|item shown: Éditeur – ü");
    EXPECT_EQ(slotView(*config, 2), L"|Orphan|off|item hidden: Orphan");
    EXPECT_EQ(slotView(*config, 4), L"  ||on|item shown: ");
    EXPECT_FALSE(config->mnu[5]->separator());  // a caption is text, whatever it says
}

TEST_F(MainWindow, TrayEventsToggleTheWindowOpenTheMenuWhereAskedAndBringTheIconBack) {
    start();
    log.clear();
    tray(TrayAction::ContextMenu, {{40, 700}, false});
    tray(TrayAction::Activate);
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    tray(TrayAction::ContextMenu, {{1200, 780}, true});
    tray(TrayAction::Activate);
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    config->mnuHide->Click();
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    config->mnuConfigure->Click();
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    EXPECT_EQ(log, (Texts{L"foreground Tillerdock", L"popup &Launch default &Hide at 40,700",
                          L"Tillerdock hidden", L"foreground Tillerdock",
                          L"popup &Launch default Configure at 1200,780 keyboard", L"tray focus",
                          L"foreground Tillerdock", L"Tillerdock shown", L"Tillerdock hidden",
                          L"foreground Tillerdock", L"Tillerdock shown"}));
    // The shell restarted, or announced itself late, and again while the icon is there.
    log.clear();
    iconPresent = false;
    tray(TrayAction::ShellRestarted);
    tray(TrayAction::ShellRestarted);
    EXPECT_TRUE(config->trayIconPresent());
    config->mnuExit->Click();
    tray(TrayAction::ShellRestarted);
    EXPECT_EQ(log,
              (Texts{L"tray add", L"tray add", L"tray remove", L"tray add", L"Group Launch closed",
                     L"Group Launch destroyed", L"tray remove", L"Tillerdock closed"}));
}

TEST(TrayIconRefused, IsRetriedForAMinuteThenTheHiddenWindowShownAsWithoutATimer) {
    // "tries in time|window" after a start into the tray, the icon refused this many times.
    auto run = [](int refused, bool timers) {
        Fixture f;
        f.refusedIcons = refused;
        f.noTimers = !timers;
        f.start({L"Startup=True"});
        f.runTimers();
        return to_wstring(std::count(f.log.begin(), f.log.end(), L"tray add")) + L" in " +
               to_wstring(f.timersTotal.count()) + L"ms|" + windowView(*f.config);
    };
    EXPECT_EQ(run(5, true), L"5 in 60000ms|shown normal Hide");  // every try of the first minute
    EXPECT_EQ(run(4, true), L"5 in 60000ms|hidden minimised Configure");  // there at the last try
    EXPECT_EQ(run(5, false), L"1 in 0ms|shown normal Hide");
}

TEST_F(MainWindow, AMainWindowTheSystemRefusesIsToldAndTheProgramDoesNotRun) {
    refuseWindows = true;
    EXPECT_FALSE(start());
    EXPECT_EQ(log, (Texts{L"attach Tillerdock",
                          L"message Tillerdock (48) over nothing: Tillerdock could not create its "
                          L"window \"Tillerdock\".\n\nNo room."}));
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
        Texts seen;  // what could not be saved is told once, unless nobody is there to read it
        if (way != 3)
            seen.push_back(
                L"message Tillerdock (48) over Tillerdock: Tillerdock could not save these "
                L"settings:\n\nthe \"Minimize on Startup\" option: No.\nthe program of slot 3: "
                L"No.\nthe caption of slot 10: Full.\n\nThose changes are lost; Tillerdock will "
                L"now close.");
        seen.insert(seen.end(), {L"About Tillerdock closed", L"About Tillerdock destroyed",
                                 L"Group Launch closed", L"Group Launch destroyed", L"tray remove",
                                 L"Tillerdock closed"});
        EXPECT_EQ(f.log, seen) << way;
        EXPECT_FALSE(f.app.group.peek() || f.app.about.peek());
    }
}

}  // namespace td::test
