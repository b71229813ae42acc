#include <gtest/gtest.h>

#include "app/frmConfig.h"
#include "support/fakes.h"

namespace td::test {
namespace {

TEST(LaunchMenu, OpeningEnablesExactlyTheSlotsWithAPathAsTypedNow) {
    Fixture f;
    auto config =
        f.start({{L"App1", L"a.exe"}, {L"App2", L" "}, {L"App3", L"c.exe"}, {L"Caption4", L"d"}});
    config->mnuFile->Click();
    EXPECT_EQ(enabledSlots(*config), (std::vector<int>{1, 2, 3}));
    config->App[3]->setText(L"");
    config->App[6]->setText(L"f.exe");
    config->mnuFile->Click();
    EXPECT_EQ(enabledSlots(*config), (std::vector<int>{1, 2, 6}));
}

TEST(LaunchMenu, StartUsesTheCurrentTextUnchanged) {
    Fixture f;
    auto config = f.start({{L"App2", L"old.exe"}});
    const std::wstring typed = L"  \"C:\\My Tools\\t.exe\" /a  ";
    config->App[2]->setText(typed);  // not confirmed with OK
    config->mnu[2]->Click();
    EXPECT_EQ(f.starter.started, std::vector<std::wstring>{typed});
    EXPECT_EQ(f.starter.showStates, std::vector<int>{1});
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(LaunchMenu, FailedStartShowsWindowAndFocusesPath) {
    Fixture f;
    auto config = f.start({{L"Startup", L"True"}, {L"App3", L"C:\\missing.exe -q"}});
    f.starter.failing.insert(L"C:\\missing.exe -q");
    std::wstring windowDuringMessage;
    f.messages.onShow = [&](const ShownMessage&) { windowDuringMessage = windowView(*config); };
    f.windows.log.clear();
    config->mnu[3]->Click();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, L"File ''C:\\missing.exe -q'' not found.");
    EXPECT_EQ(f.messages.shown[0].title, L"Tillerdocker");
    EXPECT_EQ(f.messages.shown[0].style, 48);
    EXPECT_EQ(windowDuringMessage, L"hidden minimised Configure");
    // A plain show: not restored, not brought forward, the pair left as it was.
    EXPECT_EQ(windowView(*config), L"shown minimised Configure");
    EXPECT_TRUE(f.windows.log.empty());
    EXPECT_EQ(config->focused(), config->App[3]);

    config->mnu[7]->Click();  // an empty path: its item is hidden, but the same failure path
    EXPECT_EQ(f.messages.shown.back().text, L"File '''' not found.");
    EXPECT_EQ(config->focused(), config->App[7]);
}

}  // namespace
}  // namespace td::test
