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

}  // namespace td
