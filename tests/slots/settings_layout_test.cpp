#include "slots/settings_layout.h"

#include <gtest/gtest.h>

namespace td::settings {
namespace {

TEST(SettingsLayout, TruthTextsReadAsWordsInAnyCaseOrAsNumbers) {
    for (const wchar_t* text : {L"True", L"TRUE", L"1", L"-1", L"2.5"})
        EXPECT_EQ(toTruthValue(text), true) << text;
    for (const wchar_t* text : {L"false", L"0", L" 0 ", L"0.0"})
        EXPECT_EQ(toTruthValue(text), false) << text;
    for (const wchar_t* text : {L"", L"yes", L"1x", L"--1"})
        EXPECT_FALSE(toTruthValue(text).has_value()) << text;
    EXPECT_EQ(truthText(true), L"True");
    EXPECT_EQ(truthText(false), L"False");
}

TEST(SettingsLayout, CheckStatesReadOnlyAsWhole16BitNumbers) {
    for (auto [text, value] : {std::pair{L"0", 0},
                               {L"1", 1},
                               {L"2", 2},
                               {L" 2 ", 2},
                               {L"+1", 1},
                               {L"-3", -3},
                               {L"32767", 32767},
                               {L"-32768", -32768}})
        EXPECT_EQ(toInteger16(text), value) << text;
    for (const wchar_t* text : {L"32768", L"-32769", L"", L"1.0", L"abc", L"1 2"})
        EXPECT_FALSE(toInteger16(text).has_value()) << text;
}

TEST(SettingsLayout, KeysAreAddressedInOneSection) {
    EXPECT_EQ(kAppName + L"/" + kSection, L"Brackenfold/Quaymaster");
    EXPECT_EQ(kStartupKey, L"Startup");
    EXPECT_EQ(kGroupSwitchKey, L"chkGroupE");
    EXPECT_EQ(appKey(1) + appKey(10), L"App1App10");
    EXPECT_EQ(captionKey(1) + captionKey(10), L"Caption1Caption10");
    EXPECT_EQ(groupKey(1) + groupKey(10), L"chkGApp1chkGApp10");
}

}  // namespace
}  // namespace td::settings
