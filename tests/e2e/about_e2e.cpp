// The About window of the real program: its texts, focus, keys, read-me viewer and closing.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {
namespace {

TEST(AboutE2E, ModalWithItsTextsEasterEggOnlyOnCtrlReadMeInNotepadFreshOnReopen) {
    clearSettings();
    // The program copied into a folder with a blank, beside a stand-in "notepad.exe" (the
    // recorder) that the program search finds before the system's.
    const std::wstring folder = testFolder() + L"Tiller dock e2e\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW((testFolder() + L"tillerdock.exe").c_str(), (folder + L"tillerdock.exe").c_str(),
              FALSE);
    CopyFileW(recorderPath().c_str(), (folder + L"notepad.exe").c_str(), FALSE);
    Recording recording;
    Tillerdock td(folder + L"tillerdock.exe");
    ASSERT_TRUE(td.waitShown(true));
    auto open = [&] {
        td.command(ids::kMenuAbout);
        return td.waitForWindow(ids::kAboutClass, ids::kAboutTitle);
    };
    HWND about = open();
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), td.main);
    EXPECT_FALSE(IsWindowEnabled(td.main));
    HWND close = GetDlgItem(about, ids::kAboutClose);
    HWND readMe = GetDlgItem(about, ids::kAboutReadMe);
    EXPECT_TRUE(waitFor([&] { return focusOf(about) == close; }));
    const std::pair<int, const wchar_t*> texts[] = {
        {ids::kAboutVersion, L"Version:              1.0"},
        {ids::kAboutBuildDate, L"Build Date:        April 30, 1998"},
        {ids::kAboutVersionFrame, L"Version Information"},
        {ids::kAboutSupportFrame, L"Support Information"},
        {ids::kAboutClose, L"&Close"},
        {ids::kAboutReadMe, L"&Read Me"},
    };
    for (const auto& [id, text] : texts) EXPECT_EQ(windowText(GetDlgItem(about, id)), text);

    // Another key on Close, or Ctrl on Read Me: nothing. Ctrl on Close: the message.
    PostMessageW(close, WM_KEYDOWN, 'A', 1);
    PostMessageW(readMe, WM_KEYDOWN, VK_CONTROL, 1);
    Sleep(300);
    EXPECT_TRUE(td.windows(L"#32770").empty());
    PostMessageW(close, WM_KEYDOWN, VK_CONTROL, 1);
    HWND box = td.waitForWindow(L"#32770", L"No Easter Egg");
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), L"Sorry, no Easter Egg in this version.  :-(");
    click(GetDlgItem(box, IDOK));
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));

    // The path is passed as built, unquoted; the system may rewrite the viewer's name.
    click(readMe);
    ASSERT_TRUE(recording.waitForLines(1));
    std::wstring line = recording.lines()[0];
    const std::wstring tail = L" " + folder + L"Readme.txt";
    ASSERT_TRUE(line.ends_with(tail)) << line;
    CharLowerBuffW(line.data(), static_cast<DWORD>(line.size()));
    EXPECT_NE(line.find(L"notepad"), std::wstring::npos) << line;

    click(close);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(about) && IsWindowEnabled(td.main); }));
    HWND again = open();
    ASSERT_TRUE(again);
    EXPECT_NE(again, about);
    EXPECT_TRUE(waitFor([&] { return focusOf(again) == GetDlgItem(again, ids::kAboutClose); }));

    td.command(ids::kMenuExit);
    EXPECT_TRUE(td.waitForExit());
}

}  // namespace
}  // namespace td::e2e
