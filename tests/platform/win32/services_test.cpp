// The Win32 platform services: the registry store, starting programs and the smaller helpers.
#include "platform/win32/services.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <filesystem>
#include <fstream>

#include "platform/ui/form.h"
#include "platform/win32/form_view.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_text.h"
#include "platform/win32/user_environment.h"
#include "platform/win32/window_system.h"

namespace td::win32 {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr wchar_t kSection[] = L"Software\\TillerdockTest\\Section";

// Gives the section key the access control list in SDDL form.
void setSectionAccess(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    HKEY key = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                         nullptr);
    RegOpenKeyExW(HKEY_CURRENT_USER, kSection, 0, WRITE_DAC, &key);  // none yet: nothing to set
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    RegCloseKey(key);
    LocalFree(descriptor);
}

struct RegistryStore : ::testing::Test {
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TillerdockTest"); }
    void TearDown() override {
        setSectionAccess(L"D:P(A;;KA;;;WD)");
        SetUp();
    }
    Status write(const std::wstring& value) {
        return store.WriteSetting(L"TillerdockTest", L"Section", L"App1", value);
    }
    std::wstring read(const wchar_t* key = L"App1") {
        return store.ReadSetting(L"TillerdockTest", L"Section", key, L"dflt");
    }
    RegistrySettingsStore store;
};

TEST_F(RegistryStore, TextsRoundTripWholeExpandableTextsAsWrittenOtherKindsNotAndFailuresTellWhy) {
    EXPECT_EQ(read(), L"dflt");
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TillerdockTest"), ERROR_FILE_NOT_FOUND)
        << "a read created the key";
    for (const std::wstring& text :
         {L""s, L"   "s, L"\"C:\\Pr\u00f6gram\\\u65e5\u672c.exe\" \"an arg\" 'x'"s,
          std::wstring(100'000, L'\u00ef'), L"old"s}) {
        ASSERT_TRUE(write(text).ok);
        EXPECT_EQ(read(), text) << "length " << text.size();
    }
    const DWORD number = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Number", REG_DWORD, &number, 4);
    RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Bare", REG_SZ, L"abc", 6);  // no final NUL
    RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Inner", REG_SZ, L"a\0tail", 14);
    EXPECT_EQ(read(L"Number") + read(L"Expand") + read(L"Bare") + read(L"Inner"),
              L"dflt%TEMP%abcdflt");
    for (const wchar_t* name : {L"Number", L"Inner"})  // there, of another kind: not absent
        EXPECT_EQ(store.ReadValue(L"TillerdockTest", L"Section", name).kind,
                  StoredValue::Kind::Other);
    setSectionAccess(L"D:P(A;;KR;;;WD)");  // readable only
    EXPECT_EQ(write(L"new").reason, errorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read(), L"old");
}

// Starts command lines; a recorder started writes its own, then its folder and the variable
// TILLERDOCK_PROBE, to the file TILLERDOCK_RECORD names.
struct StartProgram : ::testing::Test {
    void SetUp() override {
        fs::create_directories(scratch + L"\\Program Files\\Tool");
        // A scratch folder a child kept busy last time (its current folder) may still be there.
        fs::copy_file(folder + L"\\recorder.exe", tool, fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Environment", L"TILLERDOCK_TOOLS");
        if (!systemPath.empty()) setSystemPath(systemPath);
        Sleep(50);  // time for a child still writing to let go of its file
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
    // What the started program recorded (ASCII here): its command line, and in `place` its
    // folder and probe; or why there is nothing.
    std::wstring run(const std::wstring& line) {
        const std::wstring record = scratch + L"\\record" + std::to_wstring(++runs) + L".txt";
        SetEnvironmentVariableW(L"TILLERDOCK_RECORD", record.c_str());
        if (!starter.StartProgram(line, kShowNormal)) return L"(not started)";
        for (int waited = 0; waited < 5000; waited += 20, Sleep(20)) {
            std::ifstream file{fs::path(record)};
            std::string text, where;
            if (std::getline(file, text) && std::getline(file, where) && !file.eof()) {
                place.assign(where.begin(), where.end());
                return std::wstring(text.begin(), text.end());
            }
        }
        return L"(nothing recorded)";
    }
    // The machine's PATH setting, which Wine's rebuild of the environment reads PATH from.
    static void setSystemPath(const std::wstring& path) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSystemEnvironment, L"PATH", REG_EXPAND_SZ,
                        path.c_str(), static_cast<DWORD>((path.size() + 1) * 2));
    }
    static constexpr wchar_t kSystemEnvironment[] =
        L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    std::wstring place, systemPath;
    Win32ProgramStarter starter;
    int runs = 0;
    const std::wstring folder = Win32Environment().programFolder();
    const std::wstring scratch = (fs::temp_directory_path() / L"tillerdock-starter").wstring() +
                                 std::to_wstring(GetCurrentProcessId());
    const std::wstring tool = scratch + L"\\Program Files\\Tool\\tool.exe";  // a recorder
};

// An unquoted path with blanks names that file, never a shorter one: "C:\Program.exe" for
// "C:\Program Files\Tool\tool.exe"; and any line, however long, is decided within 250 ms.
TEST_F(StartProgram, StartsTheLineAsTypedSearchesThePathAndNeverStartsAShorterName) {
    const std::wstring line = folder + L"\\recorder.exe one \"two words\"  three";
    EXPECT_EQ(run(line), line);
    fs::copy_file(folder + L"\\recorder_planted.exe", scratch + L"\\Program.exe",
                  fs::copy_options::overwrite_existing);
    const std::wstring document = scratch + L"\\Program Files\\Tool\\read me.txt";
    std::ofstream(fs::path(document)) << "not a program";
    EXPECT_EQ(run(tool), L"\"" + tool + L"\"");
    EXPECT_EQ(run(tool + L" -x \"a b\""), L"\"" + tool + L"\" -x \"a b\"");
    // What the system itself refuses to start: a document, a folder.
    for (const std::wstring& nothing : {document, scratch + L"\\Program Files\\Tool"})
        EXPECT_EQ(run(nothing), L"(not started)") << nothing;
    // Lines nobody types but a store can hold, of thousands of blanks: decided at once.
    std::wstring blanks = scratch + L"\\Program Files\\gone.exe", words;
    for (int i = 0; i < 16'000; ++i) blanks += L" x";
    for (int i = 0; i < 50'000; ++i) words += L"a ";
    for (const std::wstring& line : {blanks, words}) {
        const DWORD start = GetTickCount();
        EXPECT_EQ(run(line), L"(not started)");
        EXPECT_LT(GetTickCount() - start, 250u) << line.size();
    }
}

// A variable the user adds in the system's settings after Tillerdock started and a folder
// added to PATH, each announced to its main window, reach every start; a variable the
// launcher's parent gave it stays; and a program deeper than a path of old is given to the
// system by its short name.
TEST_F(StartProgram, ProgramsStartWithTheUsersEnvironmentAsItIsNowAndBareNamesInTheProfile) {
    auto window = std::make_shared<ui::Form>(L"frmEnvironment", L"Main", 100, 100);
    ASSERT_TRUE(createFormView(*window, GetModuleHandleW(nullptr), nullptr, true).ok);
    auto announce = [&] {
        SendMessageW(hwndOf(*window), WM_SETTINGCHANGE, 0,
                     reinterpret_cast<LPARAM>(L"Environment"));
    };
    fs::copy_file(folder + L"\\recorder.exe", scratch + L"\\tdprobe.exe",
                  fs::copy_options::overwrite_existing);
    SetEnvironmentVariableW(L"TILLERDOCK_PROBE", L"parent");
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Environment", L"TILLERDOCK_TOOLS", REG_SZ, scratch.c_str(),
                    static_cast<DWORD>((scratch.size() + 1) * 2));
    announce();
    EXPECT_EQ(run(L"%TILLERDOCK_TOOLS%\\tdprobe.exe %TILLERDOCK_PROBE% 100%"),
              scratch + L"\\tdprobe.exe parent 100%");
    EXPECT_EQ(place, scratch + L"|parent");
    // The variable leaves the settings; the bare name is found in the new PATH folder and
    // starts in the profile folder.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Environment", L"TILLERDOCK_TOOLS");
    static wchar_t path[32768];
    DWORD bytes = sizeof(path);
    RegGetValueW(HKEY_LOCAL_MACHINE, kSystemEnvironment, L"PATH",
                 RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path, &bytes);
    systemPath = path;
    setSystemPath(systemPath + L";" + scratch);
    announce();
    EXPECT_EQ(run(L"tdprobe %TILLERDOCK_TOOLS% %TILLERDOCK_PROBE%"),
              L"tdprobe %TILLERDOCK_TOOLS% parent");
    EXPECT_EQ(place, environmentVariable(L"USERPROFILE").value_or(L"?") + L"|parent");
    const std::wstring folders = scratch + L"\\" + std::wstring(120, L'd'),
                       deep = folders + L"\\" + std::wstring(120, L'e') + L"\\x.exe";
    for (const std::wstring& made : {folders, fs::path(deep).parent_path().wstring()})
        CreateDirectoryW((L"\\\\?\\" + made).c_str(), nullptr);  // the file functions' long form
    ASSERT_TRUE(CopyFileW(tool.c_str(), (L"\\\\?\\" + deep).c_str(), FALSE));
    Win32FileSystem files;
    const auto call = programCall(deep + L" -x", files, environmentVariable);
    ASSERT_TRUE(call);
    EXPECT_TRUE(call->program.size() < kMaxPath && call->folder.size() < kMaxPath) << call->program;
}

// The system's Open dialog, driven as a user would: the file types listed, a file typed in
// another folder and confirmed, and a cancel.
TEST(OpenDialog, ListsTheTypesReturnsTheFileChosenElsewhereAndLeavesTheCurrentFolder) {
    const fs::path before = fs::current_path();
    ui::Form owner(L"frmTest", L"Owner", 100, 100);
    OpenDialogState state{L"Executables (*.exe)|*.exe|All Files (*.*)|*.*|", 1, kOpenHideReadOnly};
    static std::wstring choice, types;
    choice = (fs::temp_directory_path() / L"my tool.exe").wstring();
    const TIMERPROC user = [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = FindWindowW(L"#32770", L"Open");
        if (!dialog) return;
        KillTimer(nullptr, id);
        HWND list = GetDlgItem(dialog, 0x470);
        for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t entry[64] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
            types +=
                entry + std::wstring(i == SendMessageW(list, CB_GETCURSEL, 0, 0) ? L"*|" : L"|");
        }
        // The file name box: an Edit in a ComboBox in a ComboBoxEx, all three numbered 0x47C.
        HWND name = GetDlgItem(GetDlgItem(GetDlgItem(dialog, 0x47C), 0x47C), 0x47C);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(choice.c_str()));
        PostMessageW(dialog, WM_COMMAND, choice.empty() ? IDCANCEL : IDOK, 0);
    };
    SetTimer(nullptr, 0, 300, user);
    ASSERT_TRUE(Win32OpenFileDialog().showOpen(owner, state));
    EXPECT_EQ(state.fileName, choice);  // whole, blanks and all
    EXPECT_EQ(types, L"Executables (*.exe)*|All Files (*.*)|");
    EXPECT_EQ(fs::current_path(), before);
    choice.clear();
    SetTimer(nullptr, 0, 300, user);
    EXPECT_FALSE(Win32OpenFileDialog().showOpen(owner, state));
}

TEST(Libraries, OnceToldALibraryNamedAloneComesFromTheSystemFolderOnly) {
    HMODULE planted = LoadLibraryW(L"planted_library.dll");  // beside this test
    EXPECT_TRUE(planted && FreeLibrary(planted));
    ASSERT_TRUE(loadLibrariesFromSystemFolderOnly());
    EXPECT_FALSE(LoadLibraryW(L"planted_library.dll"));
    EXPECT_TRUE(LoadLibraryW(L"comdlg32.dll"));
}

// What the Group Policy service's signal does, which Wine never sends: the message loop runs
// a signalled event's callback once, and the event is reset for the next signal.
TEST(MessageLoop, RunsTheCallbackOfASignalledEventOnceAndResetsIt) {
    const UniqueHandle event(CreateEventW(nullptr, FALSE, TRUE, nullptr));
    int runs = 0;
    runWhenSignalled(event.get(), [&] { ++runs; });
    runMessageLoop([&] { return runs > 0; });
    stopWaitingFor(event.get());
    EXPECT_EQ(runs * 10 + static_cast<int>(WaitForSingleObject(event.get(), 0)), 10 + WAIT_TIMEOUT);
}

}  // namespace td::win32
