// The About window of the real program: its texts, focus, key handling, closing and the
// read-me viewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

#include "app/window_ids.h"
#include "driver.h"

namespace td::e2e {
namespace {

HWND openAbout(DWORD processId, HWND main) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMenuAbout, 0), 0);
    return waitForVisibleWindow(processId, ids::kAboutClass, ids::kAboutTitle);
}

bool closedAndOwnerBack(HWND about, HWND main) {
    return waitFor([&] { return !IsWindow(about) && IsWindowEnabled(main); });
}

// Whether left-aligned labels show their whole text on one line. The window moves to the
// screen's corner and grows an empty strip at its bottom; each label in turn moves into the
// strip, three times its height: at its own width any ink below its first line means the
// text wrapped; at twice its width any ink beyond its own width means the text was cut.
class LabelBench {
public:
    explicit LabelBench(HWND window) {
        RECT r = {};
        GetWindowRect(window, &r);
        GetClientRect(window, &client_);
        SetWindowPos(window, nullptr, 0, 0, std::max<LONG>(r.right - r.left, 460),
                     r.bottom - r.top + 90, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    bool fits(HWND label) {
        RECT r = {};
        GetClientRect(label, &r);
        const int w = r.right, h = r.bottom;
        const bool wrapped = inkOutside(label, w, h, w);
        const bool cut = inkOutside(label, w, h, 2 * w);
        ShowWindow(label, SW_HIDE);
        return !wrapped && !cut;
    }

private:
    // Shows the label in the strip at this width and three times its height; true when a
    // pixel unlike its background lies outside its own w x h area.
    bool inkOutside(HWND label, int w, int h, int width) {
        SetWindowPos(label, HWND_TOP, 8, client_.bottom + 8, width, 3 * h, SWP_NOACTIVATE);
        RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Sleep(150);
        RECT area = {};
        GetWindowRect(label, &area);
        const auto pixels = screenPixels(area);
        if (pixels.empty()) return true;
        const std::uint32_t background = pixels.back();  // the corner far from any text
        for (int y = 0; y < 3 * h; ++y)
            for (int x = 0; x < width; ++x)
                if ((x >= w || y >= h) && pixels[y * width + x] != background) return true;
        return false;
    }

    RECT client_ = {};
};

TEST(AboutE2E, OpensModalWithItsTextsFocusOnCloseAndTheEasterEggOnCtrl) {
    clearSettings();
    Tillerdock app;
    ASSERT_TRUE(app.main());
    HWND about = openAbout(app.processId(), app.main());
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), app.main());
    EXPECT_FALSE(IsWindowEnabled(app.main()));
    HWND close = GetDlgItem(about, ids::kAboutClose);
    HWND readMe = GetDlgItem(about, ids::kAboutReadMe);
    EXPECT_TRUE(waitFor([&] { return focusedWindow(about) == close; }));
    EXPECT_EQ(windowText(GetDlgItem(about, ids::kAboutVersion)), L"Version:              1.0");
    EXPECT_EQ(windowText(GetDlgItem(about, ids::kAboutBuildDate)),
              L"Build Date:        April 30, 1998");
    EXPECT_EQ(windowText(GetDlgItem(about, ids::kAboutVersionFrame)), L"Version Information");
    EXPECT_EQ(windowText(GetDlgItem(about, ids::kAboutSupportFrame)), L"Support Information");
    EXPECT_EQ(windowText(close), L"&Close");
    EXPECT_EQ(windowText(readMe), L"&Read Me");
    Sleep(200);
    EXPECT_TRUE(saveWindowImage(about, testFolder() + L"about_window.bmp"));

    // Another key on Close, and Ctrl on Read Me: nothing.
    PostMessageW(close, WM_KEYDOWN, 'A', 1);
    PostMessageW(readMe, WM_KEYDOWN, VK_CONTROL, 1);
    Sleep(300);
    EXPECT_TRUE(windowsOf(app.processId(), L"#32770", nullptr).empty());

    PostMessageW(close, WM_KEYDOWN, VK_CONTROL, 1);
    HWND box = waitForMessageBox(app.processId(), L"No Easter Egg");
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), L"Sorry, no Easter Egg in this version.  :-(");
    closeMessageBox(box);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowVisible(about));

    // Each way of closing gives a fresh window next time, with the focus on Close again.
    PostMessageW(close, BM_CLICK, 0, 0);
    ASSERT_TRUE(closedAndOwnerBack(about, app.main()));
    HWND second = openAbout(app.processId(), app.main());
    ASSERT_TRUE(second);
    EXPECT_NE(second, about);
    EXPECT_TRUE(
        waitFor([&] { return focusedWindow(second) == GetDlgItem(second, ids::kAboutClose); }));
    PostMessageW(second, WM_CLOSE, 0, 0);
    ASSERT_TRUE(closedAndOwnerBack(second, app.main()));
    HWND third = openAbout(app.processId(), app.main());
    ASSERT_TRUE(third);
    EXPECT_TRUE(
        waitFor([&] { return focusedWindow(third) == GetDlgItem(third, ids::kAboutClose); }));

    // Leaving the program with the About window open closes it too, and saves.
    app.command(ids::kMenuExit);
    EXPECT_TRUE(app.waitForExit());
    EXPECT_EQ(getSetting(L"Startup"), L"False");
}

TEST(AboutE2E, LabelsShowTheirWholeTextOnOneLine) {
    clearSettings();
    Tillerdock app;
    ASSERT_TRUE(app.main());
    HWND about = openAbout(app.processId(), app.main());
    ASSERT_TRUE(about);
    LabelBench bench(about);
    for (int id : {ids::kAboutVersion, ids::kAboutBuildDate, ids::kAboutWebLabel,
                   ids::kAboutWebLink, ids::kAboutMailLink, ids::kAboutNotice}) {
        HWND label = GetDlgItem(about, id);
        EXPECT_TRUE(bench.fits(label)) << testing::PrintToString(windowText(label));
    }
}

// tillerdock.exe started from another folder, with a stand-in "notepad.exe" (the recorder)
// beside it, which the program search finds before the system's.
class ProgramCopy {
public:
    explicit ProgramCopy(std::wstring folder) : folder_(std::move(folder)) {
        CreateDirectoryW(folder_.c_str(), nullptr);
        CopyFileW((testFolder() + L"tillerdock.exe").c_str(), (folder_ + L"tillerdock.exe").c_str(),
                  FALSE);
        CopyFileW(recorderPath().c_str(), (folder_ + L"notepad.exe").c_str(), FALSE);
        std::wstring commandLine = L"\"" + folder_ + L"tillerdock.exe\"";
        STARTUPINFOW startup = {sizeof(startup)};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_))
            return;
        waitFor(
            [&] {
                auto found = windowsOf(process_.dwProcessId, ids::kConfigClass, nullptr);
                if (!found.empty() && GetDlgItem(found.front(), ids::kExit)) main_ = found.front();
                return main_ != nullptr;
            },
            10s);
    }
    ~ProgramCopy() {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(process_.hProcess, 1);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        DeleteFileW((folder_ + L"tillerdock.exe").c_str());
        DeleteFileW((folder_ + L"notepad.exe").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    HWND main() const { return main_; }
    DWORD processId() const { return process_.dwProcessId; }

private:
    std::wstring folder_;
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST(AboutE2E, ReadMeStartsNotepadWithTheUnquotedPathBesideTheProgram) {
    clearSettings();
    wchar_t temp[MAX_PATH] = {}, longTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetLongPathNameW(temp, longTemp, MAX_PATH);
    const std::wstring folder = std::wstring(longTemp) + L"Tiller dock e2e\\";
    Recording recording;
    ProgramCopy copy(folder);
    ASSERT_TRUE(copy.main());
    HWND about = openAbout(copy.processId(), copy.main());
    ASSERT_TRUE(about);
    PostMessageW(GetDlgItem(about, ids::kAboutReadMe), BM_CLICK, 0, 0);
    ASSERT_TRUE(recording.waitForLines(1));
    // The system may rewrite the program's name; the path follows it as built, without
    // quotation marks. There is no "Readme.txt" in the folder: the viewer starts all the same.
    const std::wstring line = recording.lines()[0];
    const std::wstring tail = L" " + folder + L"Readme.txt";
    ASSERT_TRUE(line.ends_with(tail)) << line;
    EXPECT_NE(lowered(line.substr(0, line.size() - tail.size())).find(L"notepad"),
              std::wstring::npos)
        << line;
    EXPECT_TRUE(windowsOf(copy.processId(), L"#32770", nullptr).empty());

    PostMessageW(GetDlgItem(about, ids::kAboutClose), BM_CLICK, 0, 0);
    ASSERT_TRUE(closedAndOwnerBack(about, copy.main()));
    PostMessageW(copy.main(), WM_COMMAND, MAKEWPARAM(ids::kMenuExit, 0), 0);
}

}  // namespace
}  // namespace td::e2e
