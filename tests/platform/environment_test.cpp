// References filled in, and a process's environment brought in step with the user's settings.
#include "platform/environment.h"

#include <gtest/gtest.h>

namespace td {

TEST(Environment, ReferencesToDefinedVariablesAreFilledInAndEveryOtherPercentStays) {
    const Variables variables = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"TOOLS") return L"C:\\Tools";
        return name == L"TAG" ? std::optional<std::wstring>(L"tag") : std::nullopt;
    };
    EXPECT_EQ(expandEnvironment(L"%TOOLS%\\a.exe %TOOLS%", variables),
              L"C:\\Tools\\a.exe C:\\Tools");
    for (const wchar_t* same : {L"50% off", L"%NOPE%\\x.exe", L"%%", L"a%b%c", L"%", L"x%"})
        EXPECT_EQ(expandEnvironment(same, variables), same);
    EXPECT_EQ(expandEnvironment(L"%NOPE%TAG%", variables), L"%NOPEtag");
}

// The settings now define Path anew and NEW, no longer OLD; FROMPARENT came from whatever
// started the process, and the hidden entry of a drive's folder is the system's own.
TEST(Environment, TheSettingsReplaceWhatTheyDefineAndRemoveOnlyWhatTheyDefinedBefore) {
    const wchar_t current[] = L"=C:=C:\\x\0FROMPARENT=1\0OLD=o\0PATH=C:\\W\0SAME=s\0";
    const wchar_t fresh[] = L"NEW=n\0Path=C:\\W;C:\\Tools\0same=s\0";
    const std::vector<VariableChange> changes =
        settingsChanges(variablesOf(current), variablesOf(fresh), Names{L"old", L"Path", L"SAME"});
    EXPECT_EQ(changes, (std::vector<VariableChange>{
                           {L"NEW", L"n"}, {L"Path", L"C:\\W;C:\\Tools"}, {L"OLD", std::nullopt}}));
}

}  // namespace td
