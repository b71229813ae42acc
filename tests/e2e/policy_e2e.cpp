// Group Policy's values for the real program: written under both roots before a start, and
// written and removed while it runs, announced as the system announces a policy refresh.
#include <gtest/gtest.h>

#include "driver.h"

namespace td::e2e {

TEST(PolicyE2E, HeldSlotsShowLockedStartThePolicysProgramAndFollowAChangeWhileRunning) {
    clearSettings();
    ASSERT_TRUE(setSetting(L"App1", L"own1.exe") && setSetting(L"App3", L"own3.exe") &&
                drive::setPolicy(true, L"App1", L"%WINDIR%\\notepad.exe") &&
                drive::setPolicy(false, L"App1", L"user1.exe") &&
                drive::setPolicy(false, L"App2", L"user2.exe"));
    Tillerdock td;
    ASSERT_TRUE(td.waitShown(true));
    auto locked = [&](int slot) {  // read-only boxes, Browse unavailable
        return (GetWindowLongW(td.control(ids::kAppBase + slot), GWL_STYLE) & ES_READONLY) &&
               !IsWindowEnabled(td.control(ids::kBrowseBase + slot));
    };
    EXPECT_TRUE(locked(1) && locked(2) && !locked(3) &&
                IsWindowVisible(td.control(ids::kConfigPolicyNotice)));
    EXPECT_EQ(td.text(ids::kAppBase + 1) + L"|" + td.text(ids::kAppBase + 2) + L"|" +
                  td.text(ids::kConfigPolicyNotice),
              L"%WINDIR%\\notepad.exe|user2.exe|Set by your organization");
    td.command(ids::kMenuSlotBase + 1);
    EXPECT_TRUE(waitFor([] { return FindWindowW(L"Notepad", nullptr) != nullptr; }));
    PostMessageW(FindWindowW(L"Notepad", nullptr), WM_CLOSE, 0, 0);
    // The refresh's broadcast, after a policy for slot 3 came, and after it went.
    auto announce = [](std::optional<std::wstring> app3) {
        drive::setPolicy(false, L"App3", app3);
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(L"Policy"), SMTO_ABORTIFHUNG, 5000, nullptr);
    };
    announce(L"policy3.exe");
    EXPECT_TRUE(waitFor([&] { return td.text(ids::kAppBase + 3) == L"policy3.exe" && locked(3); }));
    announce(std::nullopt);
    EXPECT_TRUE(waitFor([&] { return td.text(ids::kAppBase + 3) == L"own3.exe" && !locked(3); }));
}

}  // namespace td::e2e
