#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "platform/win32/services.h"

namespace td::win32 {
namespace {

namespace fs = std::filesystem;

std::string utf8(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   out.data(), static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

// Each test gets a scratch folder; the recorders write to a file in it.
class ProgramStarterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(scratch, ignored);
        fs::create_directories(scratch + L"\\Program Files\\Tool");
        SetEnvironmentVariableW(L"TILLERDOCK_RECORD", record.c_str());
    }
    void TearDown() override {
        Sleep(50);  // time for a child still writing to let go of its file
        fs::remove_all(scratch, ignored);
    }
    std::wstring writeDocument(const std::wstring& to) {
        std::ofstream(fs::path(to)) << "not a program";
        return to;
    }
    std::wstring copyRecorder(const std::wstring& to, const wchar_t* which = L"recorder.exe") {
        fs::copy_file(Win32Environment().programFolder() + L"\\" + which, to);
        return to;
    }
    // The first line a recorder wrote, waiting up to five seconds for it.
    std::string recordedLine() {
        for (int waited = 0; waited < 5000; waited += 20, Sleep(20)) {
            std::ifstream file(fs::path(record), std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(file), {}};
            if (const auto end = text.find('\n'); end != std::string::npos)
                return text.substr(0, end);
        }
        return "(nothing recorded)";
    }

    Win32ProgramStarter starter;
    const std::wstring recorder = Win32Environment().programFolder() + L"\\recorder.exe";
    const std::wstring scratch = (fs::temp_directory_path() / L"tillerdock-starter").wstring() +
                                 std::to_wstring(GetCurrentProcessId());
    const std::wstring record = scratch + L"\\record.txt";
    std::error_code ignored;
};

TEST_F(ProgramStarterTest, ArgumentsArriveAsTyped) {
    const std::wstring line = recorder + L" one \"two words\"  three";
    const StartResult result = starter.StartProgram(line, kShowNormal);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_NE(result.processId, 0u);
    EXPECT_EQ(recordedLine(), utf8(line));
}

TEST_F(ProgramStarterTest, WhatIsNoProgramFails) {
    const std::wstring document = writeDocument(scratch + L"\\notes.txt");

    EXPECT_EQ(starter.StartProgram(L"", kShowNormal).error, DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(starter.StartProgram(scratch + L"\\missing.exe", kShowNormal).error,
              DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(starter.StartProgram(document, kShowNormal).error, DWORD{ERROR_BAD_EXE_FORMAT});
    EXPECT_FALSE(starter.StartProgram(L"   ", kShowNormal).ok);
    EXPECT_FALSE(starter.StartProgram(scratch, kShowNormal).ok);
}

TEST_F(ProgramStarterTest, UnquotedPathWithBlanksStartsThatFileNotAShorterOne) {
    copyRecorder(scratch + L"\\Program.exe", L"recorder_planted.exe");
    const std::wstring tool = copyRecorder(scratch + L"\\Program Files\\Tool\\tool.exe");
    const std::wstring document = writeDocument(scratch + L"\\Program Files\\Tool\\read me.txt");

    // A folder or a document named in full fails rather than start the planted program.
    EXPECT_FALSE(starter.StartProgram(scratch + L"\\Program Files\\Tool", kShowNormal).ok);
    EXPECT_FALSE(starter.StartProgram(document, kShowNormal).ok);

    const StartResult result = starter.StartProgram(tool, kShowNormal);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(recordedLine(), utf8(L"\"" + tool + L"\""));
}

TEST_F(ProgramStarterTest, ProgramWithoutFolderIsFoundOnThePath) {
    copyRecorder(scratch + L"\\tdrecorder.exe");
    std::wstring path(32767, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (scratch + L";" + path).c_str());
    const StartResult result = starter.StartProgram(L"tdrecorder found", kShowNormal);
    SetEnvironmentVariableW(L"PATH", path.c_str());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(recordedLine(), "tdrecorder found");
}

}  // namespace
}  // namespace td::win32
