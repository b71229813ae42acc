// The About window of the real program: modal and focused on Close, the Ctrl key on Close,
// and the read-me viewer started with the program's folder.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {
namespace {

TEST(AboutE2E, ModalFocusedOnCloseCtrlThereBringsTheMessageReadMeStartsNotepadUnquoted) {
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
    td.command(ids::kMenuAbout);
    HWND about = td.waitForWindow(ids::kAboutClass, ids::kAboutTitle);
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), td.main);
    EXPECT_FALSE(IsWindowEnabled(td.main));
    HWND close = GetDlgItem(about, ids::kAboutClose);
    HWND readMe = GetDlgItem(about, ids::kAboutReadMe);
    EXPECT_TRUE(waitFor([&] { return focusOf(about) == close; }));
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
    td.command(ids::kMenuExit);
    EXPECT_TRUE(td.waitForExit());
}

}  // namespace
}  // namespace td::e2e
