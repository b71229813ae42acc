// Which program a typed command line starts, how, and in which folder.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace td {

// A disk with a planted C:\Program.exe and C:\users\Public\evil.exe; "notepad" is the one name
// the system's search finds, "chrome" is registered in App Paths with a folder of its own, "x"
// by a path relative to the launcher's folder. Paths are read as the system reads them.
struct CommandLine : FileSystem, ::testing::Test {
    std::set<std::wstring> files{L"C:\\Program.exe",      L"C:\\Program Files\\Tool\\tool.exe",
                                 L"C:\\Tools\\a.exe",     L"C:\\Program Files\\Tool\\run.exe",
                                 L"C:\\v1.2 beta\\b.exe", L"C:\\Program Files\\Tool\\read me.txt",
                                 L"C:\\Apps\\chrome.exe", L"C:\\users\\Public\\evil.exe",
                                 L"C:\\Tools\\p%TAG%q.exe", L"C:\\Tools\\ptagq.exe", L"tools\\x.exe"};
    std::set<std::wstring> folders{L"C:\\Program Files", L"C:\\Program Files\\Tool"};
    std::map<std::wstring, std::wstring> shortForms;
    int lookups = 0;
    static std::wstring resolved(const std::wstring& path) {
        std::vector<std::wstring> names;
        for (std::size_t at = 0, end; at <= path.size(); at = end + 1) {
            end = std::min(path.find_first_of(L"\\/", at), path.size());
            const std::wstring name = path.substr(at, end - at);
            if (name == L".." && names.size() > 1) names.pop_back();
            if (name != L"." && name != L"..") names.push_back(name);
        }
        std::wstring joined;
        for (const auto& name : names) joined += (joined.empty() ? L"" : L"\\") + name;
        return joined;
    }
    PathKind kind(const std::wstring& path) override {
        ++lookups;
        if (files.count(resolved(path))) return PathKind::File;
        return folders.count(resolved(path)) ? PathKind::Folder : PathKind::Missing;
    }
    std::optional<std::wstring> search(const std::wstring& name) override {
        ++lookups;
        if (name != L"notepad") return std::nullopt;
        return L"C:\\Windows\\notepad.exe";
    }
    std::optional<Registration> registeredProgram(const std::wstring& file) override {
        ++lookups;
        if (file == L"x.exe") return Registration{L"tools\\x.exe", L""};
        if (file != L"chrome.exe") return std::nullopt;
        return Registration{L"\"%APPS%\\chrome.exe\"", L"%APPS%\\lib"};
    }
    std::optional<std::wstring> shortForm(const std::wstring& path) override {
        return shortForms.count(path) ? std::optional(shortForms[path]) : std::nullopt;
    }
    Variables variables = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"TAG") return L"tag";
        if (name == L"APPS" || name == L"TOOLS") return name == L"APPS" ? L"C:\\Apps" : L"C:\\Tools";
        if (name == L"LONG") return std::wstring(40'000, L'x');
        if (name == L"USERPROFILE" || name == L"PATH") return name == L"PATH" ? L"C:\\W" : L"C:\\Me";
        return std::nullopt;
    };
    // "program | command line | folder", or "none".
    std::wstring call(const std::wstring& line) {
        auto found = programCall(line, *this, variables);
        return found ? found->program + L" | " + found->commandLine + L" | " + found->folder : L"none";
    }
};

TEST_F(CommandLine, TheLongestExistingProgramTheLineNamesStartsInItsOwnFolderNeverAShorterOne) {
    const std::wstring tool = L"C:\\Program Files\\Tool\\tool.exe", in = L" | C:\\Program Files\\Tool";
    // The line as written wherever the system's own reading starts what the user named.
    EXPECT_EQ(call(L"\"" + tool + L"\" -x"), tool + L" | \"" + tool + L"\" -x" + in);
    EXPECT_EQ(call(L"C:\\Tools\\a -x y"), L"C:\\Tools\\a.exe | C:\\Tools\\a -x y | C:\\Tools");
    // A bare name starts in the user's profile folder, as from the Run box.
    EXPECT_EQ(call(L"notepad -x"), L"C:\\Windows\\notepad.exe | notepad -x | C:\\Me");
    // A whole path with blanks, whatever it names, is quoted.
    for (const std::wstring whole : {tool.c_str(), L"C:\\Program Files\\Tool\\read me.txt"})
        EXPECT_EQ(call(whole), whole + L" | \"" + whole + L"\"" + in);
    // Arguments after an unquoted path with blanks; ".exe" added where the system adds it.
    EXPECT_EQ(call(tool + L" -x \"a b\""), tool + L" | \"" + tool + L"\" -x \"a b\"" + in);
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\run\t-x"),
              L"C:\\Program Files\\Tool\\run.exe | \"C:\\Program Files\\Tool\\run.exe\"\t-x" + in);
    EXPECT_EQ(call(L"C:\\v1.2 beta\\b -x"), L"C:\\v1.2 beta\\b.exe | C:\\v1.2 beta\\b -x | C:\\v1.2 beta");
    // The named program is not there: nothing starts, least of all a planted one.
    for (const wchar_t* none : {L"C:\\Program Files\\Tool\\gone.exe -x", L"", L"calc", L"tool -x", L"x"})
        EXPECT_EQ(call(none), L"none") << none;
    // Where a path is too long for the system's process start, its short form stands in.
    const std::wstring deep = L"C:\\" + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'e');
    files.insert(deep + L"\\x.exe");
    shortForms = {{deep + L"\\x.exe", L"C:\\DDDD~1\\EEEE~1\\x.exe"}, {deep, L"C:\\DDDD~1\\EEEE~1"}};
    EXPECT_EQ(call(deep + L"\\x.exe"), L"C:\\DDDD~1\\EEEE~1\\x.exe | " + deep + L"\\x.exe | C:\\DDDD~1\\EEEE~1");
    shortForms.clear();  // none to be had: nothing starts
    EXPECT_EQ(call(deep + L"\\x.exe"), L"none");
}

TEST_F(CommandLine, TheProgramAsWrittenComesFirstThenItsReferencesAndTheRestIsAlwaysExpanded) {
    // A file name with a % of its own starts itself, whatever the variable says.
    EXPECT_EQ(call(L"C:\\Tools\\p%TAG%q.exe %TAG% 100% %NOPE%"),
              L"C:\\Tools\\p%TAG%q.exe | C:\\Tools\\p%TAG%q.exe tag 100% %NOPE% | C:\\Tools");
    EXPECT_EQ(call(L"%TOOLS%\\a.exe %TAG%"), L"C:\\Tools\\a.exe | C:\\Tools\\a.exe tag | C:\\Tools");
    EXPECT_EQ(call(L"notepad %TAG%.txt"), L"C:\\Windows\\notepad.exe | notepad tag.txt | C:\\Me");
    // A name only App Paths knows starts its registered program, quoted, with the arguments,
    // and the folders of its registration first in its PATH.
    EXPECT_EQ(call(L"chrome --new-window %TAG%"),
              L"C:\\Apps\\chrome.exe | \"C:\\Apps\\chrome.exe\" --new-window tag | C:\\Me");
    EXPECT_EQ(programCall(L"chrome", *this, variables)->path, L"C:\\Apps\\lib;C:\\W");
    EXPECT_EQ(programCall(L"notepad", *this, variables)->path, L"");
}

TEST_F(CommandLine, HostileLinesStayInTheNamedFoldersAndCostABoundedNumberOfLookups) {
    const std::wstring tool = L"C:\\Program Files\\Tool\\tool.exe";
    EXPECT_EQ(call(tool + L" ..\\..\\..\\..\\users\\Public\\evil").substr(0, tool.size()), tool);
    EXPECT_EQ(call(L"C:\\Program Files\\Tool\\gone ../../../users/Public/evil"), L"none");
    std::wstring blanks = tool;
    for (int i = 0; i < 16'000; ++i) blanks += L" x";
    lookups = 0;
    EXPECT_EQ(call(blanks).substr(0, tool.size()), tool);
    std::wstring words;
    for (int i = 0; i < 50'000; ++i) words += L"a ";
    EXPECT_EQ(call(words), L"none");
    EXPECT_LE(lookups, 2 * (static_cast<int>(kCandidateLimit) + 4));
    // Expanded beyond the longest command line the system takes: refused, never shortened.
    EXPECT_EQ(call(L"%TOOLS%\\a.exe %LONG%"), L"none");
}

// The system's process start refuses a program that asks for administrator rights; the shell
// starts it after asking the user.
struct Starts : ProcessStarts {
    std::vector<StartOutcome> outcomes;
    std::wstring seen;
    StartOutcome create(const ProgramCall& call, int) override {
        seen += L"create " + call.program + L"|";
        return outcomes.at(0);
    }
    StartOutcome openElevated(const ProgramCall& call, int) override {
        seen += L"shell " + call.program + L" (" + call.arguments + L") in " + call.folder + L"|";
        return outcomes.at(1);
    }
};

TEST_F(CommandLine, AProgramThatAsksForAdministratorRightsIsStartedByTheShellAndADeclineIsNoFailure) {
    using O = StartOutcome;
    const std::wstring line = L"C:\\Program Files\\Tool\\tool.exe -x \"a %TAG%\"";
    // "started?|calls" for what the process start and then the shell answer.
    auto start = [&](O create, O shell) {
        Starts starts;
        starts.outcomes = {create, shell};
        return std::to_wstring(startProgram(line, 1, *this, variables, starts)) + L"|" + starts.seen;
    };
    const std::wstring created = L"create C:\\Program Files\\Tool\\tool.exe|";
    const std::wstring shell = L"shell C:\\Program Files\\Tool\\tool.exe (-x \"a tag\") in C:\\Program Files\\Tool|";
    EXPECT_EQ(start(O::Started, O::Failed), L"1|" + created);
    EXPECT_EQ(start(O::Failed, O::Started), L"0|" + created);
    EXPECT_EQ(start(O::NeedsElevation, O::Started), L"1|" + created + shell);
    EXPECT_EQ(start(O::NeedsElevation, O::Declined), L"1|" + created + shell);
    EXPECT_EQ(start(O::NeedsElevation, O::Failed), L"0|" + created + shell);
}

}  // namespace td
