// Which program a typed command line starts.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace td {

// A disk with a planted C:\Program.exe; "notepad" is the one name the system's search finds.
struct CommandLine : FileSystem, ::testing::Test {
    std::set<std::wstring> files{L"C:\\Program.exe",      L"C:\\Program Files\\Tool\\tool.exe",
                                 L"C:\\Tools\\a.exe",     L"C:\\Program Files\\Tool\\run.exe",
                                 L"C:\\v1.2 beta\\b.exe", L"C:\\Program Files\\Tool\\read me.txt"};
    std::set<std::wstring> folders{L"C:\\Program Files", L"C:\\Program Files\\Tool"};
    PathKind kind(const std::wstring& path) override {
        if (files.count(path)) return PathKind::File;
        return folders.count(path) ? PathKind::Folder : PathKind::Missing;
    }
    std::optional<std::wstring> search(const std::wstring& name) override {
        return name == L"notepad" ? std::optional<std::wstring>(L"C:\\Windows\\notepad.exe")
                                  : std::nullopt;
    }
    // "program | command line", or "none".
    std::wstring call(const std::wstring& line) {
        auto found = programCall(line, *this);
        return found ? found->program + L" | " + found->commandLine : L"none";
    }
};

TEST_F(CommandLine, TheLongestExistingProgramTheLineNamesStartsNeverAShorterPlantedOne) {
    const std::wstring tool = L"C:\\Program Files\\Tool\\tool.exe";
    // The system's own reading where it starts what the user named.
    for (const wchar_t* line : {L"\"C:\\Program Files\\Tool\\tool.exe\" -x", L"C:\\Tools\\a.exe",
                                L"C:\\Tools\\a.exe -x y", L"notepad -x", L"tool\t-x"})
        EXPECT_EQ(call(line), std::wstring(L" | ") + line);
    // A whole path with blanks, whatever it names, is quoted.
    for (const std::wstring whole :
         {tool.c_str(), L"C:\\Program Files\\Tool\\read me.txt", L"C:\\Program Files\\Tool"})
        EXPECT_EQ(call(whole), whole + L" | \"" + whole + L"\"");
    // Arguments after an unquoted path with blanks; ".exe" added where the system adds it.
    EXPECT_EQ(call(tool + L" -x \"a b\""), tool + L" | \"" + tool + L"\" -x \"a b\"");
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\run\t-x"),
              L"C:\\Program Files\\Tool\\run.exe | \"C:\\Program Files\\Tool\\run.exe\"\t-x");
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\run") + call(L"C:\\v1.2 beta\\b -x"),
              L"C:\\Program Files\\Tool\\run.exe | \"C:\\Program Files\\Tool\\run.exe\""
              L" | C:\\v1.2 beta\\b -x");
    // The named program is not there: nothing starts, least of all the planted one.
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\gone.exe -x"), L"none");
    EXPECT_EQ(call(L""), L"none");
}

// The program whose icon a slot shows is the one it starts.
TEST_F(CommandLine, TheProgramFileIsTheOneTheLineStartsFoundAsTheSystemFindsIt) {
    auto file = [&](const std::wstring& line) {
        return programFile(line, *this).value_or(L"none");
    };
    EXPECT_EQ(file(L"C:\\Program Files\\Tool\\tool.exe -x"), L"C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(file(L"\"C:\\Program Files\\Tool\\tool\" -x"), L"C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(file(L"C:\\Tools\\a -x"), L"C:\\Tools\\a.exe");
    for (const wchar_t* line : {L"notepad C:\\todo.txt", L"notepad"})
        EXPECT_EQ(file(line), L"C:\\Windows\\notepad.exe");
    for (const wchar_t* none : {L"", L"C:\\gone.exe", L"C:\\Program Files", L"calc"})
        EXPECT_EQ(file(none), L"none") << none;
}

TEST_F(CommandLine, EnvironmentReferencesExpandAndAShortcutsTargetIsQuotedWhenItHasBlanks) {
    auto variable = [](const std::wstring& name) {
        return name == L"WINDIR" ? std::optional<std::wstring>(L"C:\\Windows") : std::nullopt;
    };
    EXPECT_EQ(expandEnvironment(L"%WINDIR%\\notepad.exe %WINDIR%", variable),
              L"C:\\Windows\\notepad.exe C:\\Windows");
    for (const wchar_t* same : {L"50% off", L"%NOPE%\\x.exe", L"%%", L"a%b%c", L"%", L"x%"})
        EXPECT_EQ(expandEnvironment(same, variable), same);
    EXPECT_EQ(expandEnvironment(L"%NOPE%WINDIR%", variable), L"%NOPEC:\\Windows");
    EXPECT_EQ(commandLineOf(L"C:\\My Tools\\t.exe", L"-x \"a b\""),
              L"\"C:\\My Tools\\t.exe\" -x \"a b\"");
    EXPECT_EQ(commandLineOf(L"C:\\Tools\\t.exe", L""), L"C:\\Tools\\t.exe");
}

}  // namespace td
