// Leaving the real program: the end of the session as the system ends it, which may end the
// process right after WM_ENDSESSION; the exit command; and what two copies and another
// program leave in the settings.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {
namespace {

TEST(ExitE2E, AtLogOffEditsAreSavedBeforeTheSessionEndsAndExitEndsTheProcess) {
    const std::wstring edited = L"\"C:\\Edited Path\\tool.exe\" /x";
    for (const bool logOff : {true, false}) {
        SCOPED_TRACE(logOff);
        clearSettings();
        Tillerdock td;
        ASSERT_TRUE(td.waitShown(true));
        td.setText(ids::kAppBase + 1, edited);
        if (!logOff) {
            td.command(ids::kMenuExit);
            EXPECT_TRUE(td.waitForExit());
            continue;
        }
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutW(td.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                        SMTO_NORMAL, 5000, &answer));
        EXPECT_TRUE(answer);  // the program lets the session end
        ASSERT_TRUE(SendMessageTimeoutW(td.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                        SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(settings()[L"App1"], edited);  // there as soon as WM_ENDSESSION returned
        EXPECT_TRUE(td.waitForExit());
    }
}

TEST(ExitE2E, TwoCopiesAndAnotherProgramKeepWhatEachChangedAndNoValueIsRewrittenAsText) {
    clearSettings();
    const DWORD one = 1;  // written by a deployment script: a number, and an expandable text
    const std::wstring notepad = L"%SystemRoot%\\system32\\notepad.exe";
    RegSetKeyValueW(HKEY_CURRENT_USER, drive::kSettingsKey, L"Startup", REG_DWORD, &one, 4);
    RegSetKeyValueW(HKEY_CURRENT_USER, drive::kSettingsKey, L"App9", REG_EXPAND_SZ, notepad.c_str(),
                    static_cast<DWORD>((notepad.size() + 1) * 2));
    Tillerdock a, b;
    ASSERT_TRUE(a.waitShown(true) && b.waitShown(true));
    EXPECT_EQ(a.text(ids::kAppBase + 9), notepad);
    for (Tillerdock* copy : {&a, &b}) {
        copy->setText(ids::kAppBase + (copy == &a ? 1 : 2),
                      copy == &a ? L"C:\\A.exe" : L"C:\\B.exe");
        copy->click(ids::kOk);
        ASSERT_TRUE(copy->waitShown(false));
    }
    setSetting(L"Caption3", L"Outside");
    for (Tillerdock* copy : {&a, &b}) {
        copy->command(ids::kMenuExit);
        ASSERT_TRUE(copy->waitForExit());
    }
    Keys keys = settings();
    EXPECT_EQ(
        keys[L"App1"] + L"|" + keys[L"App2"] + L"|" + keys[L"Caption3"] + L"|" + keys[L"App9"],
        L"C:\\A.exe|C:\\B.exe|Outside|" + notepad);
    DWORD type = 0;
    RegGetValueW(HKEY_CURRENT_USER, drive::kSettingsKey, L"Startup", RRF_RT_ANY, &type, nullptr,
                 nullptr);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

}  // namespace
}  // namespace td::e2e
