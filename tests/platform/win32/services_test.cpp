#include "platform/win32/services.h"

#include <windows.h>

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/win32/form_view.h"

namespace td::win32 {
namespace {

using namespace std::string_literals;

TEST(ErrorText, SystemWordingWithoutLineBreakElseTheNumber) {
    const std::wstring text = errorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_last_not_of(L"\r\n \t"), text.size() - 1) << text;
    EXPECT_EQ(errorText(0x2000ABCD), L"Error 536914893.");
}

TEST(DialogFilter, BarsBecomeNulsAndTheListEndsWithTwo) {
    const std::wstring list = dialogFilter(L"Executables (*.exe)|*.exe|All Files (*.*)|*.*|");
    EXPECT_EQ(list, L"Executables (*.exe)\0*.exe\0All Files (*.*)\0*.*\0"s);
    EXPECT_EQ(list.c_str()[list.size()], L'\0');
    EXPECT_EQ(dialogFilter(L"Text|*.txt"), L"Text\0*.txt\0"s);
    EXPECT_EQ(dialogFilter(L""), L"");
}

TEST(ProgramFolder, FolderOfTheRunningProgramWithoutTrailingBackslash) {
    EXPECT_EQ(folderOf(L"C:\\Program Files\\Tool\\tool.exe"), L"C:\\Program Files\\Tool");
    EXPECT_EQ(folderOf(L"C:\\tool.exe"), L"C:\\");
    EXPECT_EQ(folderOf(L"\\\\?\\D:\\tool.exe"), L"\\\\?\\D:\\");

    // The build copies the recorder beside this test program.
    const std::wstring folder = Win32Environment().programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_NE(GetFileAttributesW((folder + L"\\recorder.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(TrayIcon, RemoveTakesAwayWhatAddPut) {
    const auto form = std::make_shared<ui::Form>(L"TrayTest", L"Tray test", 1440, 1440);
    createFormView(*form, GetModuleHandleW(nullptr), nullptr, true);
    ASSERT_NE(hwndOf(*form), nullptr);
    Win32TrayIcon tray;
    const TrayIconData data{7, L"Tillerdock"};
    ASSERT_TRUE(tray.add(*form, data));
    EXPECT_FALSE(tray.add(*form, data)) << "the shell took the same icon twice";
    tray.remove(*form, data);
    EXPECT_TRUE(tray.add(*form, data)) << "the icon was not removed";
    tray.remove(*form, data);
    form->unload();
}

}  // namespace
}  // namespace td::win32
