// Which program a typed command line starts.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace td {

struct Files : FileSystem {
    std::set<std::wstring> files, folders;
    PathKind kind(const std::wstring& path) override {
        return files.count(path)     ? PathKind::File
               : folders.count(path) ? PathKind::Folder
                                     : PathKind::Missing;
    }
    std::optional<std::wstring> search(const std::wstring& name) override {
        if (name != L"notepad") return std::nullopt;
        return L"C:\\Windows\\notepad.exe";
    }
};

// "program | command line", or "none".
std::wstring call(const std::wstring& line, Files& files) {
    auto found = programCall(line, files);
    return found ? found->program + L" | " + found->commandLine : L"none";
}

TEST(CommandLine, TheLongestExistingProgramTheLineNamesStartsNeverAShorterPlantedOne) {
    Files fs;
    fs.files = {L"C:\\Program.exe", L"C:\\Program Files\\Tool\\tool.exe", L"C:\\Tools\\a.exe",
                L"C:\\Program Files\\Tool\\run.exe", L"C:\\Program Files\\Tool\\read me.txt"};
    fs.folders = {L"C:\\Program Files", L"C:\\Program Files\\Tool"};
    const std::wstring tool = L"C:\\Program Files\\Tool\\tool.exe";
    // The system's own reading where it starts what the user named.
    for (const wchar_t* line : {L"\"C:\\Program Files\\Tool\\tool.exe\" -x", L"C:\\Tools\\a.exe",
                                L"C:\\Tools\\a.exe -x y", L"notepad -x", L"tool\t-x"})
        EXPECT_EQ(call(line, fs), std::wstring(L" | ") + line);
    EXPECT_EQ(call(tool, fs), tool + L" | \"" + tool + L"\"");
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\read me.txt", fs),
              L"C:\\Program Files\\Tool\\read me.txt | \"C:\\Program Files\\Tool\\read me.txt\"");
    EXPECT_EQ(call(L"C:\\Program Files\\Tool", fs),
              L"C:\\Program Files\\Tool | \"C:\\Program Files\\Tool\"");
    // Arguments after an unquoted path with blanks; ".exe" added where the system adds it.
    EXPECT_EQ(call(tool + L" -x \"a b\"", fs), tool + L" | \"" + tool + L"\" -x \"a b\"");
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\run\t-x", fs),
              L"C:\\Program Files\\Tool\\run.exe | \"C:\\Program Files\\Tool\\run.exe\"\t-x");
    // The named program is not there: nothing starts, least of all the planted one.
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\gone.exe -x", fs), L"none");
    EXPECT_EQ(call(L"", fs), L"none");
}

// The program whose icon a slot shows is the one it starts.
TEST(CommandLine, TheProgramFileIsTheOneTheLineStartsFoundAsTheSystemFindsIt) {
    Files fs;
    fs.files = {L"C:\\Program.exe", L"C:\\Program Files\\Tool\\tool.exe", L"C:\\Tools\\a.exe"};
    fs.folders = {L"C:\\Program Files", L"C:\\Program Files\\Tool"};
    auto file = [&](const std::wstring& line) { return programFile(line, fs).value_or(L"none"); };
    EXPECT_EQ(file(L"C:\\Program Files\\Tool\\tool.exe -x"), L"C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(file(L"\"C:\\Program Files\\Tool\\tool\" -x"), L"C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(file(L"C:\\Tools\\a -x"), L"C:\\Tools\\a.exe");
    EXPECT_EQ(file(L"notepad C:\\todo.txt") + file(L"notepad"),
              L"C:\\Windows\\notepad.exe"
              L"C:\\Windows\\notepad.exe");
    for (const wchar_t* none : {L"", L"C:\\gone.exe", L"C:\\Program Files", L"calc"})
        EXPECT_EQ(file(none), L"none") << none;
}

TEST(CommandLine, EnvironmentReferencesExpandAndAShortcutsTargetIsQuotedWhenItHasBlanks) {
    auto variable = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"WINDIR") return L"C:\\Windows";
        return std::nullopt;
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
