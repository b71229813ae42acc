// The group selection window and the group launch of the real program.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {
namespace {

constexpr int kBox = ids::kGroupBoxBase;

TEST(GroupE2E, CancelWritesNothingOkayWrites11KeysGroupLaunchStartsTheTickedSlotsInOrder) {
    clearSettings();
    Recording recording;
    const std::wstring recorder = L"\"" + recorderPath() + L"\" ";
    setSetting(L"App1", recorder + L"first");
    setSetting(L"Caption1", L"Alpha");
    setSetting(L"App2", L"C:\\no such folder\\missing.exe");
    setSetting(L"App3", recorder + L"third");
    const Keys stored = settings();
    Tillerdock td;
    ASSERT_TRUE(td.waitShown(true));
    td.setText(ids::kCaptionBase + 1, L"Beta");  // after the group window's load

    auto open = [&] {
        td.command(ids::kMenuGroup);
        return td.waitForWindow(ids::kGroupClass, ids::kGroupTitle);
    };
    auto tickAndClose = [&](HWND group, int button) {
        for (int id : {ids::kGroupSwitch, kBox + 1, kBox + 2, kBox + 3})
            click(GetDlgItem(group, id));
        EXPECT_TRUE(waitFor([&] {
            return SendMessageW(GetDlgItem(group, kBox + 3), BM_GETCHECK, 0, 0) == BST_CHECKED;
        }));
        click(GetDlgItem(group, button));
        return waitFor([&] { return !IsWindow(group) && IsWindowEnabled(td.main); });
    };

    HWND group = open();
    ASSERT_TRUE(group);
    EXPECT_EQ(GetWindow(group, GW_OWNER), td.main);
    EXPECT_FALSE(IsWindowEnabled(td.main));
    EXPECT_EQ(windowText(GetDlgItem(group, kBox + 1)), L"Alpha");
    ASSERT_TRUE(tickAndClose(group, ids::kGroupCancel));
    EXPECT_EQ(settings(), stored);

    // A fresh window, loaded again.
    group = open();
    ASSERT_TRUE(group);
    EXPECT_EQ(windowText(GetDlgItem(group, kBox + 1)), L"Beta");
    ASSERT_TRUE(tickAndClose(group, ids::kGroupOkay));
    Keys saved = stored;
    saved[L"chkGroupE"] = L"1";
    for (int n = 1; n <= 10; ++n) saved[L"chkGApp" + std::to_wstring(n)] = n <= 3 ? L"1" : L"0";
    EXPECT_EQ(settings(), saved);

    // Slot 2's file is missing: skipped without a message.
    td.command(ids::kMenuGroupLaunch);
    ASSERT_TRUE(recording.waitForLines(2));
    Sleep(300);
    const auto lines = recording.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].ends_with(L" first")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with(L" third")) << lines[1];
    EXPECT_TRUE(td.windows(L"#32770").empty());
}

}  // namespace
}  // namespace td::e2e
