#include <windows.h>
// sddl.h needs the declarations of windows.h.
#include <sddl.h>

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/services.h"

namespace td::win32 {
namespace {

constexpr wchar_t kApp[] = L"TillerdockTest";
constexpr wchar_t kAppKey[] = L"Software\\TillerdockTest";
constexpr wchar_t kSectionKey[] = L"Software\\TillerdockTest\\Section";

bool keyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Gives a key the access control list in SDDL form.
void setKeyAccess(const wchar_t* path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(descriptor);
}

class RegistrySettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey); }
    void TearDown() override {
        if (keyExists(kSectionKey)) setKeyAccess(kSectionKey, L"D:P(A;;KA;;;WD)");
        RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    }
    std::wstring read(const wchar_t* key) {
        return store.ReadSetting(kApp, L"Section", key, L"dflt");
    }

    RegistrySettingsStore store;
};

TEST_F(RegistrySettingsStoreTest, TextRoundTripsCharacterForCharacter) {
    std::wstring longText;
    while (longText.size() < 100'000) longText += L"C:\\Pr\u00f6gram F\u00efles\\\u65e5\u672c ";
    const std::wstring texts[] = {L"", L"   ",
                                  L"\"C:\\Program Files\\Tool\\tool.exe\" \"an arg\" 'x'",
                                  L"C:\\Pr\u00f6gram F\u00efles\\\u65e5\u672c\\tool.exe", longText};
    for (const auto& text : texts) {
        ASSERT_TRUE(store.WriteSetting(kApp, L"Section", L"App1", text).ok);
        EXPECT_EQ(read(L"App1"), text) << "length " << text.size();
    }
    // A shorter text replaces a longer one whole.
    ASSERT_TRUE(store.WriteSetting(kApp, L"Section", L"App1", L"short").ok);
    EXPECT_EQ(read(L"App1"), L"short");
}

TEST_F(RegistrySettingsStoreTest, AbsentOrForeignValuesReadAsTheDefault) {
    EXPECT_EQ(read(L"App1"), L"dflt");
    EXPECT_FALSE(keyExists(kAppKey)) << "a read created the key";

    const DWORD number = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kSectionKey, L"Number", REG_DWORD, &number, 4);
    RegSetKeyValueW(HKEY_CURRENT_USER, kSectionKey, L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    EXPECT_EQ(read(L"App1"), L"dflt");
    EXPECT_EQ(read(L"Number"), L"dflt");
    EXPECT_EQ(read(L"Expand"), L"dflt");

    // A text stored by another writer without its terminating NUL.
    RegSetKeyValueW(HKEY_CURRENT_USER, kSectionKey, L"Bare", REG_SZ, L"abc", 6);
    EXPECT_EQ(read(L"Bare"), L"abc");
}

TEST_F(RegistrySettingsStoreTest, FailingWriteReportsTheReason) {
    // A section that may not be changed: the value cannot be set.
    ASSERT_TRUE(store.WriteSetting(kApp, L"Section", L"App1", L"old").ok);
    setKeyAccess(kSectionKey, L"D:P(A;;KR;;;WD)");
    Status status = store.WriteSetting(kApp, L"Section", L"App1", L"new");
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.reason, errorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read(L"App1"), L"old");

    // A section name longer than the registry's 255 characters: the key cannot be created.
    status = store.WriteSetting(kApp, std::wstring(300, L'x'), L"App1", L"new");
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.reason.empty());
}

}  // namespace
}  // namespace td::win32
