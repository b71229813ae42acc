// The ten slots of the real program's main window: typing, starting a slot from the tray
// menu, a missing program, the system's Open dialog.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {
namespace {

constexpr int kApp = ids::kAppBase, kCaption = ids::kCaptionBase;

TEST(SlotsE2E, TypedPathStartsWithItsArgumentsDeletedOneGreysMissingFileShowsTheMessage) {
    clearSettings();
    const std::wstring missing = L"C:\\no such folder\\missing.exe";
    setSetting(L"Caption2", L"Recorder");
    setSetting(L"App4", missing);
    Recording recording;
    Tillerdock td;
    ASSERT_TRUE(td.waitShown(true));
    EXPECT_FALSE(IsWindowEnabled(td.control(kCaption + 2)));

    // The first key enables the caption; the slot's item then heads the tray menu.
    const std::wstring path = L"\"" + recorderPath() + L"\" one \"two three\"";
    td.type(kApp + 2, path.substr(0, 1));
    EXPECT_TRUE(IsWindowEnabled(td.control(kCaption + 2)));
    td.type(kApp + 2, path.substr(1));
    ASSERT_TRUE(td.pickTrayItem(0));
    ASSERT_TRUE(recording.waitForLines(1));
    EXPECT_TRUE(recording.lines()[0].ends_with(L" one \"two three\"")) << recording.lines()[0];

    // Deleted: the caption greys with its text kept, and the item goes: slot 4's heads the
    // menu now, and its file is missing.
    td.type(kApp + 2, std::wstring(path.size(), L'\b'));
    EXPECT_FALSE(IsWindowEnabled(td.control(kCaption + 2)));
    EXPECT_EQ(td.text(kCaption + 2), L"Recorder");
    ASSERT_TRUE(td.pickTrayItem(0));
    HWND box = td.waitForWindow(L"#32770", L"Tillerdocker");
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), L"File ''" + missing + L"'' not found.");
    click(GetDlgItem(box, IDOK));
    EXPECT_TRUE(waitFor([&] { return focusOf(td.main) == td.control(kApp + 4); }));
}

TEST(SlotsE2E, OpenDialogListsTheTypesPutsTheChosenPathUnquotedAndCancelChangesNothing) {
    clearSettings();
    const std::wstring chosen = testFolder() + L"my tool.exe";
    CloseHandle(CreateFileW(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    setSetting(L"Caption1", L"Keep");
    setSetting(L"App3", L"keep me.exe --x");
    Tillerdock td;
    ASSERT_TRUE(td.waitShown(true));
    auto browse = [&](int slot) {
        td.click(ids::kBrowseBase + slot);
        return td.waitForWindow(L"#32770", L"Open");
    };

    HWND dialog = browse(1);
    ASSERT_TRUE(dialog);
    HWND types = GetDlgItem(dialog, 0x470);
    ASSERT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 2);
    wchar_t entry[2][64] = {};
    for (int i : {0, 1}) SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry[i]));
    EXPECT_STREQ(entry[0], L"Executables (*.exe)");
    EXPECT_STREQ(entry[1], L"All Files (*.*)");
    EXPECT_EQ(SendMessageW(types, CB_GETCURSEL, 0, 0), 0);
    // The file name box: an Edit in a ComboBox in a ComboBoxEx, all three numbered 0x47C.
    HWND name = GetDlgItem(GetDlgItem(GetDlgItem(dialog, 0x47C), 0x47C), 0x47C);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
    click(GetDlgItem(dialog, IDOK));
    EXPECT_TRUE(waitFor([&] { return td.text(kApp + 1) == chosen; })) << td.text(kApp + 1);
    EXPECT_EQ(td.text(kCaption + 1), L"Keep");

    dialog = browse(3);
    ASSERT_TRUE(dialog);
    click(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(waitFor([&] { return td.windows(L"#32770").empty(); }));
    Sleep(300);
    EXPECT_TRUE(td.windows(L"#32770").empty()) << "no message after a cancelled Open dialog";
    EXPECT_EQ(td.text(kApp + 3), L"keep me.exe --x");
}

}  // namespace
}  // namespace td::e2e
