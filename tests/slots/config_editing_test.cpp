#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/frmConfig.h"
#include "support/fakes.h"

namespace td::test {
namespace {

using ::testing::HasSubstr;

TEST(SlotEditing, EditsUpdateTheCaptionBoxAndMenuItemAtOnce) {
    Fixture f;
    auto config = f.start({{L"Caption1", L"Mail"}});
    config->App[1]->setText(L"m");  // the first character
    EXPECT_EQ(slotView(*config, 1), L"m|Mail|on|item shown: Mail");
    config->App[1]->setText(L"");  // the last one deleted
    EXPECT_EQ(slotView(*config, 1), L"|Mail|off|item hidden: Mail");
    config->App[1]->setText(L" ");
    config->Caption[1]->setText(L"Mai");
    EXPECT_EQ(slotView(*config, 1), L" |Mai|on|item shown: Mai");
    config->Caption[1]->setText(L"");
    EXPECT_EQ(slotView(*config, 1), L" ||on|item shown: ");
    EXPECT_EQ(slotView(*config, 2), L"||off|item hidden: ");
    EXPECT_TRUE(f.store.writes().empty());
    EXPECT_EQ(config->Caption[1]->maxLength(), 22u);
    EXPECT_EQ(config->Caption[9]->maxLength(), 30u);
    EXPECT_EQ(config->App[1]->maxLength(), 0u);
}

TEST(SlotEditing, OkWritesAll21KeysInOrderAndHidesOrReportsTheSlotItCouldNotSave) {
    Fixture f;
    auto config = f.start({{L"App1", L"a.exe"}, {L"Caption1", L"A"}});
    f.store.failingWrites[L"App4"] = L"Access is denied.";
    config->Command11->Click();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_THAT(f.messages.shown[0].text, HasSubstr(L"slot 4: Access is denied."));
    EXPECT_EQ(windowView(*config), L"shown normal Hide");

    f.store.failingWrites.clear();
    f.store.clearLog();
    config->Command11->Click();
    EXPECT_EQ(f.store.log,
              writesOf(mainWindowKeys(),
                       {{L"Startup", L"False"}, {L"App1", L"a.exe"}, {L"Caption1", L"A"}}, L""));
    EXPECT_EQ(windowView(*config), L"hidden normal Configure");
    EXPECT_EQ(f.messages.shown.size(), 1u);
}

TEST(SlotEditing, CancelRestoresEverySlotAndTheOptionFromTheStore) {
    Fixture f;
    auto config = f.start({{L"App1", L"a.exe"}, {L"Caption1", L"A"}, {L"Caption2", L"B"}});
    for (int n = 1; n <= kSlotCount; ++n) {
        config->App[n]->setText(n == 1 ? L"" : L"p");
        config->Caption[n]->setText(L"c");
    }
    config->mnuStartup->Click();
    f.store.clearLog();
    config->Command12->Click();
    EXPECT_EQ(f.store.reads(), mainWindowKeys());
    EXPECT_TRUE(f.store.writes().empty());
    EXPECT_EQ(slotView(*config, 1), L"a.exe|A|on|item shown: A");
    EXPECT_EQ(slotView(*config, 2), L"|B|off|item hidden: B");
    for (int n = 3; n <= kSlotCount; ++n)
        EXPECT_EQ(slotView(*config, n), L"||off|item hidden: ") << n;
    EXPECT_FALSE(config->mnuStartup->checked());
    EXPECT_EQ(windowView(*config), L"hidden normal Configure");
}

// What the Open dialog was set up with: "filter|index|flags|file name".
std::wstring dialogSetup(const OpenDialogState& state) {
    return state.filter + L"|" + std::to_wstring(state.filterIndex) + L"|" +
           std::to_wstring(state.flags) + L"|" + state.fileName;
}

TEST(Browse, CancelChangesNothingAndAChoiceReplacesThePathAndIsOfferedNextTime) {
    const std::wstring types = L"Executables (*.exe)|*.exe|All Files (*.*)|*.*|";
    const std::wstring chosen = L"C:\\Program Files\\Ed\\ed.exe";
    Fixture f;
    auto config = f.start({{L"App2", L"old.exe -x"}, {L"Caption2", L"Old"}});
    config->cmdApp[2]->Click();  // the double's dialog cancels
    EXPECT_EQ(slotView(*config, 2), L"old.exe -x|Old|on|item shown: Old");
    EXPECT_TRUE(f.messages.shown.empty());
    f.openDialog.answer = [&](OpenDialogState& state) {
        state.fileName = chosen;
        state.filterIndex = 2;  // the user looked at every file type
        state.flags |= 0x400;   // and the dialog reported more than it was asked
        return f.openDialog.shownWith.size() == 2;  // the second browse chooses
    };
    config->cmdApp[2]->Click();
    EXPECT_EQ(slotView(*config, 2), chosen + L"|Old|on|item shown: Old");
    config->cmdApp[3]->Click();
    EXPECT_EQ(config->App[3]->text(), L"");
    ASSERT_EQ(f.openDialog.shownWith.size(), 3u);
    EXPECT_EQ(dialogSetup(f.openDialog.shownWith[0]), types + L"|1|4|");
    EXPECT_EQ(dialogSetup(f.openDialog.shownWith[2]), types + L"|1|4|" + chosen);
}

}  // namespace
}  // namespace td::test
