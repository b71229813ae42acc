// Leaving the real program: the end of the session as the system ends it, which may end the
// process right after WM_ENDSESSION, and the exit command, which ends the process.
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

}  // namespace
}  // namespace td::e2e
