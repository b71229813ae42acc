// The group selection window and the group launch of the real program.
#include <gtest/gtest.h>

#include "app/window_ids.h"
#include "driver.h"

namespace td::e2e {
namespace {

std::wstring recorderWith(const std::wstring& arguments) {
    return L"\"" + recorderPath() + L"\" " + arguments;
}

HWND openGroupWindow(const Tillerdock& app) {
    app.command(ids::kMenuGroup);
    return waitForVisibleWindow(app.processId(), ids::kGroupClass, ids::kGroupTitle);
}

HWND box(HWND group, int slot) {
    return GetDlgItem(group, ids::kGroupBoxBase + slot);
}

LRESULT checkState(HWND group, int id) {
    return SendMessageW(GetDlgItem(group, id), BM_GETCHECK, 0, 0);
}

void click(HWND group, int id) {
    PostMessageW(GetDlgItem(group, id), BM_CLICK, 0, 0);
}

bool allSlotBoxesEnabled(HWND group, bool enabled) {
    for (int n = 1; n <= 10; ++n)
        if ((IsWindowEnabled(box(group, n)) != FALSE) != enabled) return false;
    return true;
}

// Closes the window with one of its buttons and waits until the main window is usable.
bool closeWith(const Tillerdock& app, HWND group, int button) {
    click(group, button);
    return waitFor([&] { return !IsWindow(group) && IsWindowEnabled(app.main()); });
}

// The height of the tray pop-up menu, one item taller while "&Group Launch" is offered:
// menus cannot be read from another process, but their window can be measured.
int trayMenuHeight(const Tillerdock& app) {
    app.trayEvent(WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!waitFor([&] { return (menu = openPopupMenu(app.processId())) != nullptr; }, 3s)) return -1;
    RECT r = {};
    GetWindowRect(menu, &r);
    pressKey(menu, VK_ESCAPE);
    waitFor([&] { return !openPopupMenu(app.processId()); });
    return r.bottom - r.top;
}

TEST(GroupE2E, OkaySavesTheSelectionAndGroupLaunchStartsTheTickedSlotsInOrder) {
    clearSettings();
    Recording recording;
    setSetting(L"App1", recorderWith(L"first"));
    setSetting(L"App2", L"C:\\no such folder\\missing.exe");
    setSetting(L"App3", recorderWith(L"third"));
    Tillerdock app;
    ASSERT_TRUE(app.main());
    const int menuWithoutGroup = trayMenuHeight(app);

    HWND group = openGroupWindow(app);
    ASSERT_TRUE(group);
    EXPECT_EQ(GetWindow(group, GW_OWNER), app.main());
    EXPECT_FALSE(IsWindowEnabled(app.main()));
    EXPECT_EQ(checkState(group, ids::kGroupSwitch), BST_UNCHECKED);
    EXPECT_TRUE(allSlotBoxesEnabled(group, false));

    click(group, ids::kGroupSwitch);
    EXPECT_TRUE(waitFor([&] { return allSlotBoxesEnabled(group, true); }));
    for (int n : {1, 2, 3}) click(group, ids::kGroupBoxBase + n);
    EXPECT_TRUE(waitFor([&] { return checkState(group, ids::kGroupBoxBase + 3) == BST_CHECKED; }));
    ASSERT_TRUE(closeWith(app, group, ids::kGroupOkay));

    EXPECT_EQ(getSetting(L"chkGroupE"), L"1");
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(getSetting(L"chkGApp" + std::to_wstring(n)), n <= 3 ? L"1" : L"0") << n;
    EXPECT_GT(trayMenuHeight(app), menuWithoutGroup);

    app.command(ids::kMenuGroupLaunch);
    ASSERT_TRUE(recording.waitForLines(2));
    Sleep(300);
    const auto lines = recording.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].ends_with(L" first")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with(L" third")) << lines[1];
    EXPECT_TRUE(windowsOf(app.processId(), L"#32770", nullptr).empty());  // no message
    EXPECT_TRUE(IsWindowVisible(app.main()));
}

TEST(GroupE2E, CancelAndTheCloseCommandWriteNothingAndOnlyOkayOrTheStoreSetTheMenu) {
    clearSettings();
    Recording recording;
    setSetting(L"App1", recorderWith(L"stored"));
    setSetting(L"chkGroupE", L"0");
    setSetting(L"chkGApp1", L"1");
    Tillerdock app;
    ASSERT_TRUE(app.main());
    const int menuWithoutGroup = trayMenuHeight(app);

    // Cancel after ticking: the store stays, and the closing sees the stored switch.
    HWND group = openGroupWindow(app);
    ASSERT_TRUE(group);
    EXPECT_EQ(checkState(group, ids::kGroupBoxBase + 1), BST_CHECKED);
    click(group, ids::kGroupSwitch);
    ASSERT_TRUE(waitFor([&] { return allSlotBoxesEnabled(group, true); }));
    click(group, ids::kGroupBoxBase + 2);
    ASSERT_TRUE(waitFor([&] { return checkState(group, ids::kGroupBoxBase + 2) == BST_CHECKED; }));
    ASSERT_TRUE(closeWith(app, group, ids::kGroupCancel));
    EXPECT_EQ(getSetting(L"chkGroupE"), L"0");
    EXPECT_FALSE(getSetting(L"chkGApp2"));
    EXPECT_EQ(trayMenuHeight(app), menuWithoutGroup);

    // Reopened: a fresh window loaded from the store.
    HWND reopened = openGroupWindow(app);
    ASSERT_TRUE(reopened);
    EXPECT_NE(reopened, group);
    EXPECT_EQ(checkState(reopened, ids::kGroupSwitch), BST_UNCHECKED);
    EXPECT_EQ(checkState(reopened, ids::kGroupBoxBase + 2), BST_UNCHECKED);
    EXPECT_TRUE(allSlotBoxesEnabled(reopened, false));

    // The close command after ticking "Enabled?": nothing written, the item follows the box.
    click(reopened, ids::kGroupSwitch);
    ASSERT_TRUE(waitFor([&] { return allSlotBoxesEnabled(reopened, true); }));
    PostMessageW(reopened, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(reopened) && IsWindowEnabled(app.main()); }));
    EXPECT_EQ(getSetting(L"chkGroupE"), L"0");
    EXPECT_FALSE(getSetting(L"chkGApp2"));
    EXPECT_GT(trayMenuHeight(app), menuWithoutGroup);

    // The group launch loads the window from the store again: slot 1 starts, the item goes.
    app.command(ids::kMenuGroupLaunch);
    ASSERT_TRUE(recording.waitForLines(1));
    EXPECT_TRUE(recording.lines()[0].ends_with(L" stored")) << recording.lines()[0];
    EXPECT_EQ(trayMenuHeight(app), menuWithoutGroup);
}

TEST(GroupE2E, BoxesCarryTheSlotCaptionsOfTheMainWindowAsOfTheLoad) {
    clearSettings();
    setSetting(L"App1", L"C:\\tools\\one.exe");
    setSetting(L"Caption1", L"Alpha");
    setSetting(L"Caption10", L"Omega");
    setSetting(L"chkGroupE", L"1");
    setSetting(L"chkGApp4", L"2");
    Tillerdock app;
    ASSERT_TRUE(app.main());
    app.setText(ids::kCaptionBase + 1, L"Beta");  // after the group window's load

    HWND group = openGroupWindow(app);
    ASSERT_TRUE(group);
    EXPECT_EQ(windowText(box(group, 1)), L"Alpha");
    EXPECT_EQ(windowText(box(group, 2)), L"");
    EXPECT_EQ(windowText(box(group, 10)), L"Omega");
    EXPECT_TRUE(allSlotBoxesEnabled(group, true));  // also the slots without a path
    EXPECT_EQ(checkState(group, ids::kGroupBoxBase + 4), BST_INDETERMINATE);
    Sleep(200);
    EXPECT_TRUE(saveWindowImage(group, testFolder() + L"group_window.bmp"));
    ASSERT_TRUE(closeWith(app, group, ids::kGroupCancel));

    group = openGroupWindow(app);
    ASSERT_TRUE(group);
    EXPECT_EQ(windowText(box(group, 1)), L"Beta");
    ASSERT_TRUE(closeWith(app, group, ids::kGroupOkay));
    EXPECT_EQ(getSetting(L"chkGApp4"), L"2");
}

}  // namespace
}  // namespace td::e2e
