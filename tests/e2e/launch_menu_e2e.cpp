// Starting slots from the "&Launch" menu of the real program.
#include <gtest/gtest.h>

#include "app/window_ids.h"
#include "driver.h"

namespace td::e2e {
namespace {

HWND focusOf(HWND window) {
    GUITHREADINFO info = {sizeof(info)};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

TEST(LaunchMenuE2E, ChosenSlotStartsItsProgramWithArguments) {
    clearSettings();
    Recording recording;
    setSetting(L"App1", L"\"" + recorderPath() + L"\" one \"two three\"");
    setSetting(L"Caption1", L"Editor");
    Tillerdock app;
    ASSERT_TRUE(app.main());
    EXPECT_TRUE(IsWindowVisible(app.main()));

    app.command(ids::kMenuSlotBase + 1);
    ASSERT_TRUE(recording.waitForLines(1));
    EXPECT_NE(recording.lines()[0].find(L" one \"two three\""), std::wstring::npos)
        << recording.lines()[0];
}

TEST(LaunchMenuE2E, MissingProgramShowsTheMessageThenTheWindowAtThatSlot) {
    clearSettings();
    const std::wstring missing = L"C:\\no such folder\\missing.exe";
    setSetting(L"App2", missing);
    Tillerdock app;
    ASSERT_TRUE(app.main());
    app.click(ids::kOk);  // hidden to the tray in its normal state
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(app.main()); }));

    app.command(ids::kMenuSlotBase + 2);
    HWND box = waitForMessageBox(app.processId(), L"Tillerdocker");
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), L"File ''" + missing + L"'' not found.");
    EXPECT_FALSE(IsWindowVisible(app.main()));  // the message comes first
    closeMessageBox(box);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.main()) != FALSE; }));
    EXPECT_TRUE(waitFor([&] { return focusOf(app.main()) == app.control(ids::kAppBase + 2); }));
}

TEST(LaunchMenuE2E, EmptyStoreShowsTheWindowAndWritesNothingUntilExit) {
    clearSettings();
    Tillerdock app;
    ASSERT_TRUE(app.main());
    EXPECT_EQ(windowText(app.main()), L"Tillerdock");
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(app.text(ids::kAppBase + n), L"");
        EXPECT_FALSE(IsWindowEnabled(app.control(ids::kCaptionBase + n)));
    }
    Sleep(200);
    EXPECT_FALSE(getSetting(L"Startup"));
    EXPECT_FALSE(getSetting(L"App1"));
    app.command(ids::kMenuExit);
    EXPECT_TRUE(app.waitForExit());
    EXPECT_EQ(getSetting(L"Startup"), L"False");
    EXPECT_EQ(getSetting(L"Caption10"), L"");
}

}  // namespace
}  // namespace td::e2e
