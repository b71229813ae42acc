#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "about/frmAbout.h"
#include "app/frmConfig.h"
#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {
namespace {

using ::testing::HasSubstr;
using Texts = std::vector<std::wstring>;

TEST(TrayIcon, DoubleClickTogglesTheWindowAndRightReleasePopsUpTheLaunchMenu) {
    Fixture f;
    auto config = f.start({{L"App2", L"b.exe"}, {L"App5", L" "}, {L"Caption7", L"no path"}});
    const Texts visibilityBefore = f.windows.visibility;
    f.windows.log.clear();
    for (unsigned message : {0x200u, 0x201u, 0x202u, 0x204u, 0x206u})
        config->TrayIcon_Notify(message);
    EXPECT_TRUE(f.windows.log.empty());
    EXPECT_EQ(f.windows.visibility, visibilityBefore);

    std::vector<int> enabledDuringPopup;
    f.windows.whilePopup = [&] { enabledDuringPopup = enabledSlots(*config); };
    config->TrayIcon_Notify(0x205);
    EXPECT_EQ(f.windows.log, (Texts{L"foreground Tillerdock", L"popup &Launch default &Hide"}));
    EXPECT_EQ(enabledDuringPopup, (std::vector<int>{2, 5}));

    f.windows.log.clear();
    config->TrayIcon_Notify(0x203);
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    EXPECT_TRUE(f.windows.log.empty());
    config->TrayIcon_Notify(0x205);
    EXPECT_EQ(f.windows.lastDefault, config->mnuConfigure);
    f.windows.log.clear();
    config->TrayIcon_Notify(0x203);
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    EXPECT_EQ(f.windows.log, Texts{L"foreground Tillerdock"});
}

TEST(WindowVisibility, MinimiseAndHideHideTheWindowAndConfigureBringsItBack) {
    Fixture f;
    auto config = f.start();
    config->setWindowState(1);  // the title bar's minimise
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    config->mnuConfigure->Click();
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    config->mnuHide->Click();
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    f.windows.log.clear();
    config->mnuConfigure->Click();
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    EXPECT_EQ(f.windows.log, Texts{L"foreground Tillerdock"});

    config->mnuStartup->Click();  // only the check mark: nothing stored, nothing shown
    EXPECT_TRUE(config->mnuStartup->checked());
    config->mnuStartup->Click();
    EXPECT_FALSE(config->mnuStartup->checked());
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    EXPECT_TRUE(f.store.writes().empty());
}

// The Exit item, the Exit button, the close command, the end of the session.
TEST(Closing, EveryWaySavesUnconfirmedEditsClosesTheOtherWindowsAndRemovesTheIcon) {
    for (int way = 0; way < 4; ++way) {
        SCOPED_TRACE(way);
        Fixture f;
        auto config = f.start({{L"App2", L"old.exe"}, {L"Caption2", L"Old"}});
        config->App[2]->setText(L"new.exe /x");
        config->Caption[7]->setText(L"Seven");
        config->mnuStartup->Click();
        auto group = f.app.group.peek();
        group->chkGroupE->setValue(1);  // as the user left it, never saved
        auto about = f.app.about.get();
        f.store.clearLog();
        f.store.failingWrites = {{L"App3", L"Access is denied."}, {L"Caption10", L"Disk full."}};
        f.windows.visibility.clear();
        f.tray.onRemove = [&] { EXPECT_TRUE(group->unloaded() && about->unloaded()); };

        if (way == 0) config->mnuExit->Click();
        if (way == 1) config->cmdExit->Click();
        if (way == 2) config->unload(ui::UnloadMode::CloseCommand);
        if (way == 3) config->unload(ui::UnloadMode::EndSession);

        EXPECT_EQ(f.store.log, writesOf(mainWindowKeys(),
                                        {{L"Startup", L"True"},
                                         {L"App2", L"new.exe /x"},
                                         {L"Caption2", L"Old"},
                                         {L"Caption7", L"Seven"}},
                                        L""));
        EXPECT_TRUE(config->mnuGroupL->visible());  // from the group window's switch
        EXPECT_FALSE(f.app.group.peek() || f.app.about.peek());
        EXPECT_EQ(f.windows.visibility, (Texts{L"About Tillerdock closed", L"Group Launch closed",
                                               L"Tillerdock closed"}));
        EXPECT_EQ(f.tray.log, (Texts{L"add", L"remove"}));
        // What could not be saved is told once, unless nobody is there to read it.
        ASSERT_EQ(f.messages.shown.size(), way == 3 ? 0u : 1u);
        if (way == 3) continue;
        EXPECT_THAT(f.messages.shown[0].text, HasSubstr(L"slot 3: Access is denied."));
        EXPECT_THAT(f.messages.shown[0].text, HasSubstr(L"slot 10: Disk full."));
    }
}

TEST(TrayIcon, RestartedShellGetsTheIconBackUntilTheWindowCloses) {
    Fixture f;
    auto config = f.start();
    f.tray.present = false;  // the shell restarted and lost every icon
    config->TaskbarCreated();
    EXPECT_TRUE(f.tray.present);
    config->TaskbarCreated();  // announced again while the icon is still there
    EXPECT_TRUE(f.tray.present && config->trayIconPresent());
    config->mnuExit->Click();
    config->TaskbarCreated();
    EXPECT_FALSE(f.tray.present);
}

TEST(TrayIcon, RefusedIconIsRetriedAndAHiddenWindowShownWhenItNeverComes) {
    for (int refused : {2, 100}) {
        Fixture f;
        f.tray.refuseAdds = refused;
        auto config = f.start({{L"Startup", L"True"}});
        EXPECT_FALSE(config->trayIconPresent());
        f.windows.runTimers();
        EXPECT_EQ(std::count(f.tray.log.begin(), f.tray.log.end(), L"add"), refused == 2 ? 3 : 5);
        EXPECT_EQ(config->trayIconPresent(), refused == 2);
        EXPECT_EQ(windowView(*config),
                  refused == 2 ? L"hidden minimised Configure" : L"shown normal Hide");
    }
    Fixture f;
    f.tray.refuseAdds = 1;
    f.start()->mnuExit->Click();
    f.windows.runTimers();  // no retry after the close
    EXPECT_EQ(f.tray.log, (Texts{L"add", L"remove"}));
}

}  // namespace
}  // namespace td::test
