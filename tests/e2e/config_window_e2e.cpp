// The ten slots of the real program's main window: typing, starting a slot from the tray
// menu, a missing program.
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
    ASSERT_TRUE(td.pickTrayItem(0, true));  // opened from the keyboard
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

    // A path with an environment reference starts what it names; the box keeps the reference.
    td.setText(kApp + 5, L"%WINDIR%\\notepad.exe");
    td.command(ids::kMenuSlotBase + 5);
    HWND notepad = nullptr;
    EXPECT_TRUE(waitFor([&] { return (notepad = FindWindowW(L"Notepad", nullptr)) != nullptr; }));
    PostMessageW(notepad, WM_CLOSE, 0, 0);
    EXPECT_EQ(td.text(kApp + 5), L"%WINDIR%\\notepad.exe");
}

}  // namespace
}  // namespace td::e2e
