// The group window and the group launch.
#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {

using Group = Run;

// The boxes as the user sees them: "Enabled?" state, the ten slot states, and "+" or "-" for
// each slot box enabled or not; e.g. "1|0120000000|++++++++++".
std::wstring boxes(const frmGroup& group) {
    std::wstring view = std::to_wstring(group.chkGroupE->value()) + L"|";
    for (int n = 1; n <= kSlotCount; ++n) view += std::to_wstring(group.chkApp[n]->value());
    view += L"|";
    for (int n = 1; n <= kSlotCount; ++n) view += group.chkApp[n]->enabled() ? L'+' : L'-';
    return view;
}

TEST_F(Group, LoadAndCancelTakeTheStoredStatesThatConvertAndTheCaptionsOfThatMoment) {
    start({L"chkGroupE=1", L"chkGApp2=1", L"chkGApp3=2", L"chkGApp4=x", L"chkGApp5=-7",
           L"Caption1=One"});
    auto group = app.group.peek();
    EXPECT_EQ(boxes(*group), L"1|0120000000|++++++++++");  // slots without a path too
    EXPECT_EQ(group->chkApp[1]->caption() + L"|" + group->chkApp[2]->caption(), L"One|");
    config->Caption[1]->setText(L"Uno");
    group->chkGroupE->userClick();
    for (int n = 2; n <= 5; ++n) group->chkApp[n]->userClick();
    EXPECT_EQ(boxes(*group), L"0|0011100000|----------");  // a greyed box clicked is ticked
    EXPECT_TRUE(config->mnuGroupL->visible());  // the menu follows the switch only at closing
    reads.clear();
    group->Command1->Click();
    EXPECT_EQ(reads, kGroupKeys);
    EXPECT_EQ(boxes(*group), L"1|0121100000|++++++++++");
    EXPECT_EQ(app.group.get()->chkApp[1]->caption(), L"Uno");  // a new window
}

TEST_F(Group, OkayWritesThe11KeysInOrderAndClosesOrStaysOpenWhenAWriteFails) {
    start({L"chkGApp3=2"});
    auto group = app.group.peek();
    log.clear();
    config->mnuGroup->Click();
    for (auto* box : {group->chkGroupE, group->chkApp[1], group->chkApp[10]}) box->userClick();
    failingWrites = {{L"chkGroupE", L"No."}, {L"chkGApp5", L"No."}};
    group->Command2->Click();
    EXPECT_TRUE(group->visible());
    failingWrites.clear();
    writes.clear();
    group->Command2->Click();  // tried again
    EXPECT_EQ(writes, keyValues(kGroupKeys, L"0",
                                {L"chkGroupE=1", L"chkGApp1=1", L"chkGApp3=2", L"chkGApp10=1"}));
    EXPECT_EQ(log, (Texts{L"modal Group Launch over Tillerdock", L"Group Launch shown",
                          L"message Tillerdock (48) over Group Launch: Tillerdock could not save "
                          L"the group selection:\n\nthe \"Enabled?\" switch: No.\nslot 5 in the "
                          L"group: No.\n\nYour choices are still in the window. Press Okay to "
                          L"try again.",
                          L"Group Launch closed"}));
    EXPECT_TRUE(config->mnuGroupL->visible());
    EXPECT_FALSE(app.group.peek());
}

TEST_F(Group, LaunchStartsTheTickedSlotsInOrderSkipsFailuresAndReloadsAClosedWindow) {
    // By slot: the path typed in the main window, not confirmed, and the box (2 is greyed).
    const wchar_t* paths[] = {L"", L"one.exe", L"two.exe", L"three.exe",   L"gone.exe", L"five.exe",
                              L"", L"",        L"",        L"nine.exe -x", L"one.exe"};
    const int ticks[] = {0, 1, 2, 0, 1, 0, 0, 0, 0, 1, 1};
    start({L"chkGroupE=2"});  // no switch of 1: the item stays hidden, the launch works
    EXPECT_FALSE(config->mnuGroupL->visible());
    auto group = app.group.peek();
    for (int n = 1; n <= kSlotCount; ++n) {
        config->App[n]->setText(paths[n]);
        group->chkApp[n]->setValue(ticks[n]);
    }
    failingStarts.insert(L"gone.exe");
    log.clear();
    config->mnuGroupL->Click();
    EXPECT_EQ(log,
              (Texts{L"start one.exe", L"start gone.exe", L"start nine.exe -x", L"start one.exe"}));
    group->unload(ui::UnloadMode::CloseCommand);  // the ticks were never saved
    log.clear();
    config->mnuGroupL->Click();
    EXPECT_EQ(log, Texts{L"attach Group Launch"});
    EXPECT_TRUE(app.group.peek() && !app.group.peek()->visible());  // and it stays loaded
    EXPECT_FALSE(config->mnuGroupL->visible());
}

}  // namespace td::test
