// The About window: the read-me, the Ctrl key on Close, and the links.
#include "about/frmAbout.h"

#include "support/fakes.h"

namespace td::test {

using About = Run;

TEST_F(About, ReadMeCtrlOnCloseAndTheLinksDoWhatTheySayWithTheAboutWindowAsOwner) {
    EXPECT_EQ(readMeCommandLine(L"C:\\Program Files\\Tiller Dock"),
              L"Notepad C:\\Program Files\\Tiller Dock\\Readme.txt");
    folder = L"C:\\";
    start();
    auto about = app.about.get();
    about->lblEmail->setCaption(L"write to us");  // the targets do not follow the labels
    about->lblWeb->setCaption(L"our site");
    log.clear();
    about->cmdRead->Click();
    failingStarts.insert(L"Notepad C:\\Readme.txt");
    about->cmdRead->Click();
    for (auto [key, shift] : {std::pair{17, 0}, {17, ui::kShiftMask}, {67, ui::kCtrlMask}})
        about->cmdClose->KeyDown(key, shift);
    about->lblEmail->Click();
    about->lblWeb->Click();
    const std::wstring egg =
        L"message No Easter Egg (64) over About Tillerdock: Sorry, no Easter "
        L"Egg in this version.  :-(";
    EXPECT_EQ(log, (Texts{L"start Notepad C:\\Readme.txt", L"start Notepad C:\\Readme.txt",
                          L"message Tillerdock (48) over About Tillerdock: Tillerdock could not "
                          L"start Notepad to show its read-me file.\n\nNotepad C:\\Readme.txt",
                          egg, egg, L"open mailto:support@tillerdock.example over About Tillerdock",
                          L"open https://tillerdock.example/ over About Tillerdock"}));
}

}  // namespace td::test
