#include "group/frmGroup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace td::test {
namespace {

using ::testing::HasSubstr;

// The boxes as the user sees them: "Enabled?" state, the ten slot states, and "+" or "-" for
// each slot box enabled or not; e.g. "1|0120000000|++++++++++".
std::wstring boxes(const frmGroup& group) {
    std::wstring states, enabled;
    for (int n = 1; n <= kSlotCount; ++n) {
        states += std::to_wstring(group.chkApp[n]->value());
        enabled += group.chkApp[n]->enabled() ? L'+' : L'-';
    }
    return std::to_wstring(group.chkGroupE->value()) + L"|" + states + L"|" + enabled;
}

TEST(GroupWindow, LoadTakesStoredStatesAndTheCaptionsOfThatMoment) {
    Fixture f;
    auto config = f.start({{L"chkGroupE", L"1"},
                           {L"chkGApp2", L"1"},
                           {L"chkGApp3", L"2"},
                           {L"chkGApp4", L"x"},
                           {L"chkGApp5", L"7"},
                           {L"Caption1", L"One"}});
    auto group = f.app.group.peek();
    EXPECT_EQ(boxes(*group), L"1|0120000000|++++++++++");  // slots without a path too
    EXPECT_TRUE(config->mnuGroupL->visible());
    EXPECT_EQ(group->chkApp[1]->caption() + L"|" + group->chkApp[2]->caption(), L"One|");
    config->Caption[1]->setText(L"Uno");
    EXPECT_EQ(group->chkApp[1]->caption(), L"One");
    group->Command1->Click();
    EXPECT_EQ(f.app.group.get()->chkApp[1]->caption(), L"Uno");
}

TEST(GroupWindow, EnabledSwitchTogglesTheBoxesAndTheMenuFollowsAtClosing) {
    Fixture f;
    auto config = f.start();
    auto group = f.app.group.peek();
    EXPECT_EQ(boxes(*group), L"0|0000000000|----------");
    group->chkGroupE->userClick();
    EXPECT_EQ(boxes(*group), L"1|0000000000|++++++++++");
    EXPECT_FALSE(config->mnuGroupL->visible());
    group->chkGroupE->userClick();
    EXPECT_EQ(boxes(*group), L"0|0000000000|----------");
    group->chkGroupE->userClick();
    group->unload(ui::UnloadMode::CloseCommand);  // saves and restores nothing
    EXPECT_TRUE(config->mnuGroupL->visible());
    EXPECT_FALSE(f.app.group.peek());
    EXPECT_TRUE(f.store.writes().empty());

    auto fresh = f.app.group.get();  // loads the stored switch again
    EXPECT_NE(fresh, group);
    EXPECT_EQ(boxes(*fresh), L"0|0000000000|----------");
    EXPECT_FALSE(config->mnuGroupL->visible());
}

TEST(GroupWindow, CancelRestoresStoredStatesExceptTextsThatDoNotConvert) {
    Fixture f;
    auto config = f.start({{L"chkGApp1", L"1"}, {L"chkGApp2", L"abc"}, {L"chkGApp3", L"9"}});
    auto group = f.app.group.peek();
    for (auto* box :
         {group->chkGroupE, group->chkApp[1], group->chkApp[2], group->chkApp[3], group->chkApp[4]})
        box->userClick();
    f.store.clearLog();
    group->Command1->Click();
    EXPECT_EQ(f.store.reads(), groupWindowKeys());
    EXPECT_TRUE(f.store.writes().empty());
    EXPECT_EQ(boxes(*group), L"0|1110000000|----------");
    EXPECT_FALSE(config->mnuGroupL->visible());  // closed after the restore
    EXPECT_FALSE(f.app.group.peek());
}

TEST(GroupWindow, ShownModallyAndOkayWritesElevenKeysInOrderOrStaysOpenWhenItCannot) {
    Fixture f;
    auto config = f.start({{L"chkGApp3", L"2"}});
    auto group = f.app.group.peek();
    f.windows.log.clear();
    f.store.failingWrites[L"chkGApp5"] = L"Access is denied.";
    f.windows.whileModal = [&](ui::Form& form) {
        EXPECT_EQ(&form, group.get());
        for (auto* box : {group->chkGroupE, group->chkApp[1], group->chkApp[10]}) box->userClick();
        group->Command2->Click();
        EXPECT_TRUE(form.visible() && !group->unloaded());
        f.store.failingWrites.clear();
        f.store.clearLog();
        group->Command2->Click();  // tried again
    };
    config->mnuGroup->Click();
    EXPECT_EQ(f.windows.log, std::vector<std::wstring>{L"modal Group Launch over Tillerdock"});
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_THAT(f.messages.shown[0].text, HasSubstr(L"slot 5"));
    EXPECT_THAT(f.messages.shown[0].text, HasSubstr(L"Access is denied."));
    EXPECT_EQ(
        f.store.log,
        writesOf(
            groupWindowKeys(),
            {{L"chkGroupE", L"1"}, {L"chkGApp1", L"1"}, {L"chkGApp3", L"2"}, {L"chkGApp10", L"1"}},
            L"0"));
    EXPECT_TRUE(group->unloaded() && config->mnuGroupL->visible());
    EXPECT_FALSE(f.app.group.peek());
}

}  // namespace
}  // namespace td::test
