#include "about/frmAbout.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace td::test {
namespace {

using Texts = std::vector<std::wstring>;

TEST(About, ReadMeStartsNotepadBesideTheProgramAndSurvivesAViewerThatFails) {
    EXPECT_EQ(readMeCommandLine(L"C:\\Program Files\\Tiller Dock"),
              L"Notepad C:\\Program Files\\Tiller Dock\\Readme.txt");
    Fixture f;
    f.environment.folder = L"C:\\";
    auto config = f.start();
    auto about = f.app.about.get();
    about->cmdRead->Click();
    EXPECT_EQ(f.starter.started, Texts{L"Notepad C:\\Readme.txt"});
    EXPECT_EQ(f.starter.showStates, std::vector<int>{1});
    EXPECT_TRUE(f.messages.shown.empty());

    f.starter.failing.insert(f.starter.started[0]);
    about->cmdRead->Click();
    EXPECT_EQ(f.messages.shown.size(), 1u);
    EXPECT_FALSE(about->unloaded() || config->unloaded());
}

TEST(About, CtrlOnTheCloseButtonSaysThereIsNoEasterEgg) {
    Fixture f;
    f.start();
    auto about = f.app.about.get();
    about->cmdClose->KeyDown(17, 0);
    about->cmdClose->KeyDown(17, ui::kShiftMask);
    about->cmdClose->KeyDown(16, ui::kCtrlMask);  // Shift while Ctrl is held
    about->cmdClose->KeyDown(67, ui::kCtrlMask);  // Ctrl+C
    about->cmdClose->KeyDown(13, 0);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    for (const auto& message : f.messages.shown) {
        EXPECT_EQ(message.text, L"Sorry, no Easter Egg in this version.  :-(");
        EXPECT_EQ(message.title, L"No Easter Egg");
        EXPECT_EQ(message.style, 64);
    }
    EXPECT_FALSE(about->unloaded());
}

TEST(About, LinksOpenTheirFixedTargetsWithTheAboutWindowAsOwner) {
    Fixture f;
    f.start();
    auto about = f.app.about.get();
    about->lblEmail->setCaption(L"write to us");
    about->lblWeb->setCaption(L"our site");
    about->lblEmail->Click();
    about->lblWeb->Click();
    EXPECT_EQ(f.shell.opened,
              (Texts{L"mailto:support@tillerdock.example", L"https://tillerdock.example/"}));
    EXPECT_EQ(f.shell.owners, (std::vector<ui::Form*>{about.get(), about.get()}));
}

TEST(About, EachOpeningIsAFreshModalWindowAndEveryCloseEmptiesTheReference) {
    Fixture f;
    auto config = f.start();
    f.windows.whileModal = [&](ui::Form& form) {
        auto& about = dynamic_cast<frmAbout&>(form);
        EXPECT_EQ(f.app.about.peek().get(), &about);
        EXPECT_EQ(about.focused(), about.cmdClose);
        if (f.windows.log.size() == 2)
            about.cmdClose->Click();
        else
            about.unload(ui::UnloadMode::CloseCommand);
        EXPECT_FALSE(f.app.about.peek());
    };
    f.windows.log.clear();
    config->mnuAbout->Click();
    config->mnuAbout->Click();
    const std::wstring attach = L"attach About Tillerdock";
    const std::wstring modal = L"modal About Tillerdock over Tillerdock";
    EXPECT_EQ(f.windows.log, (Texts{attach, modal, attach, modal}));  // a new window each time
}

}  // namespace
}  // namespace td::test
