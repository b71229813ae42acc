#include <gtest/gtest.h>

#include "app/frmConfig.h"
#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {
namespace {

using Texts = std::vector<std::wstring>;

TEST(Startup, EmptyStoreShowsAnEmptyWindowAndAddsTheIconOnce) {
    Fixture f;
    auto config = f.start();
    auto group = f.app.group.peek();
    ASSERT_TRUE(group);
    EXPECT_FALSE(group->visible());  // loaded by the start-up, hidden
    EXPECT_FALSE(f.app.about.peek());
    EXPECT_EQ(f.windows.visibility, Texts{L"Tillerdock shown"});
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    EXPECT_FALSE(config->mnuStartup->checked());
    EXPECT_FALSE(config->mnuGroupL->visible());
    for (int n = 1; n <= kSlotCount; ++n) {
        EXPECT_EQ(slotView(*config, n), L"||off|item hidden: ") << n;  // no design text left
        EXPECT_EQ(group->chkApp[n]->value(), 0);
    }
    EXPECT_EQ(f.tray.log, Texts{L"add"});
    EXPECT_EQ(f.tray.lastData.id, 1u);
    EXPECT_EQ(f.tray.lastData.tip, L"Tillerdock");
    EXPECT_TRUE(f.store.writes().empty());
}

TEST(Startup, ReadsThe32KeysInOrder) {
    Fixture f;
    f.start();
    Texts expected = mainWindowKeys();
    for (const auto& key : groupWindowKeys()) expected.push_back(key);
    EXPECT_EQ(f.store.reads(), expected);
}

TEST(Startup, StoredSlotsComeBackVerbatimWithTheirDerivedState) {
    const std::wstring quoted = L"\"C:\\Program Files\\Ed\\ed.exe\" -n \"a b.txt\"";
    Fixture f;
    auto config = f.start({{L"App1", quoted},
                           {L"Caption1", L"Éditeur – ü"},
                           {L"Caption2", L"Orphan"},
                           {L"App3", L"C:\\x.exe"},
                           {L"App4", L"  "}});
    EXPECT_EQ(slotView(*config, 1), quoted + L"|Éditeur – ü|on|item shown: Éditeur – ü");
    EXPECT_EQ(slotView(*config, 2), L"|Orphan|off|item hidden: Orphan");
    EXPECT_EQ(slotView(*config, 3), L"C:\\x.exe||on|item shown: ");
    EXPECT_EQ(slotView(*config, 4), L"  ||on|item shown: ");
    EXPECT_TRUE(f.store.writes().empty());
}

TEST(Startup, StartupOptionReadsAsTruthValueAndAnyOtherTextAsOff) {
    auto check = [](const wchar_t* text, bool on) {
        SCOPED_TRACE(text);
        Fixture f;
        auto config = f.start({{L"Startup", text}});
        EXPECT_EQ(config->mnuStartup->checked(), on);
        EXPECT_EQ(config->visible(), !on);
        EXPECT_EQ(f.store.reads().size(), 32u);  // the load ran to its end
        EXPECT_EQ(f.tray.log, Texts{L"add"});
    };
    for (const wchar_t* text : {L"True", L"TRUE", L"1", L"-1"}) check(text, true);
    for (const wchar_t* text : {L"false", L"0", L"never"}) check(text, false);
}

TEST(Startup, MinimizeOnStartupNeverShowsTheWindowAndMakesConfigureTheDefault) {
    Fixture f;
    auto config = f.start({{L"Startup", L"True"}});
    for (const auto& seen : f.windows.visibility) EXPECT_NE(seen, L"Tillerdock shown");
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    EXPECT_TRUE(f.tray.present);
    config->TrayIcon_Notify(0x205);
    EXPECT_EQ(f.windows.lastDefault, config->mnuConfigure);
}

TEST(Startup, GroupLaunchItemShowsOnlyForAStoredSwitchOfOne) {
    for (const std::wstring text : {L"1", L"0", L"2", L"x"}) {
        Fixture f;
        EXPECT_EQ(f.start({{L"chkGroupE", text}})->mnuGroupL->visible(), text == L"1") << text;
    }
}

}  // namespace
}  // namespace td::test
