#include <gtest/gtest.h>

#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {
namespace {

using Texts = std::vector<std::wstring>;

// The programs that actually started: the attempts that did not fail.
Texts startedPrograms(const Fixture& f) {
    Texts started;
    for (const auto& line : f.starter.started)
        if (!line.empty() && !f.starter.failing.count(line)) started.push_back(line);
    return started;
}

TEST(LaunchGroup, NothingTickedStartsNothing) {
    Fixture f;
    f.start({{L"chkGroupE", L"1"}, {L"App1", L"a.exe"}})->mnuGroupL->Click();
    EXPECT_TRUE(f.starter.started.empty());
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(LaunchGroup, StartsTickedSlotsInOrderAsTypedNowAndSkipsFailuresSilently) {
    // By slot: the path typed in the main window (not confirmed) and the group box's state.
    const wchar_t* paths[] = {L"",         L"one.exe", L"two.exe", L"", L"missing.exe",
                              L"five.exe", L"",        L"",        L"", L"nine.exe -x",
                              L"one.exe"};
    const int boxes[] = {0, 1, 2, 1, 1, 0, 0, 0, 0, 1, 1};
    Fixture f;
    auto config = f.start();
    auto group = f.app.group.peek();
    for (int n = 1; n <= kSlotCount; ++n) {
        config->App[n]->setText(paths[n]);
        group->chkApp[n]->setValue(boxes[n]);
    }
    f.starter.failing.insert(L"missing.exe");
    config->mnuGroupL->Click();
    EXPECT_EQ(startedPrograms(f), (Texts{L"one.exe", L"nine.exe -x", L"one.exe"}));
    for (int state : f.starter.showStates) EXPECT_EQ(state, 1);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(config->focused(), nullptr);
}

TEST(LaunchGroup, ReloadsAClosedGroupWindowFromTheStoreAndKeepsItLoaded) {
    Fixture f;
    auto config = f.start({{L"App2", L"two.exe"}, {L"App3", L"three.exe"}, {L"chkGApp2", L"1"}});
    auto closed = f.app.group.peek();
    closed->chkGroupE->userClick();
    closed->chkApp[3]->userClick();                // ticked, never saved
    closed->unload(ui::UnloadMode::CloseCommand);  // the switch as left shows the item
    ASSERT_TRUE(config->mnuGroupL->visible());

    config->mnuGroupL->Click();
    EXPECT_EQ(f.starter.started, Texts{L"two.exe"});
    auto reloaded = f.app.group.peek();
    ASSERT_TRUE(reloaded);
    EXPECT_NE(reloaded, closed);
    EXPECT_FALSE(reloaded->visible());
    EXPECT_FALSE(config->mnuGroupL->visible());  // the reload reads the stored switch
}

}  // namespace
}  // namespace td::test
