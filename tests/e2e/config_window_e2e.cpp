// Editing the ten slots in the real program's main window: typing, caption limits, OK, Cancel,
// Browse through the system's Open dialog, and the window's layout at two screen scales.
#include <gtest/gtest.h>

#include <cmath>

#include "app/window_ids.h"
#include "driver.h"

namespace td::e2e {
namespace {

constexpr int kApp = ids::kAppBase, kCaption = ids::kCaptionBase, kBrowse = ids::kBrowseBase;

std::wstring key(const wchar_t* family, int n) {
    return family + std::to_wstring(n);
}

// The visible Open dialog (or a message box) of the program, waited for.
HWND waitForDialog(const Tillerdock& td) {
    return waitForVisibleWindow(td.processId(), L"#32770", nullptr, 10s);
}

bool noDialog(const Tillerdock& td) {
    for (HWND h : windowsOf(td.processId(), L"#32770", nullptr))
        if (IsWindowVisible(h)) return false;
    return true;
}

// The Open dialog's file-name box: the edit of its combo box, or the plain edit.
HWND fileNameBox(HWND dialog) {
    HWND edit = nullptr;
    if (HWND combo = GetDlgItem(dialog, 0x47C))  // a ComboBoxEx holds a ComboBox holds the Edit
        EnumChildWindows(
            combo,
            [](HWND h, LPARAM found) -> BOOL {
                wchar_t name[8] = {};
                GetClassNameW(h, name, 8);
                if (_wcsicmp(name, L"Edit") != 0) return TRUE;
                *reinterpret_cast<HWND*>(found) = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&edit));
    return edit ? edit : GetDlgItem(dialog, 0x480);
}

void pressDialogButton(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Opens the tray icon's menu and chooses its first item with the keyboard.
bool chooseFirstTrayItem(const Tillerdock& td) {
    td.trayEvent(WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!waitFor([&] { return (menu = openPopupMenu(td.processId())) != nullptr; })) return false;
    pressKey(menu, VK_DOWN);
    pressKey(menu, VK_RETURN);
    return waitFor([&] { return !openPopupMenu(td.processId()); });
}

// A file whose full path holds blanks, for the dialog to choose.
std::wstring makeChoosableFile() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tillerdock e2e";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\my tool.exe";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return file;
}

// Compares a control's pixel rectangle with its twips position at the given scale.
void expectAt(HWND window, int id, int left, int top, int width, int height, int dpi, int slack) {
    const RECT r = childRect(window, id);
    auto px = [dpi](int twips) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); };
    EXPECT_NEAR(r.left, px(left), slack) << "control " << id;
    EXPECT_NEAR(r.top, px(top), slack) << "control " << id;
    EXPECT_NEAR(r.right - r.left, px(width), slack) << "control " << id;
    EXPECT_NEAR(r.bottom - r.top, px(height), slack) << "control " << id;
}

// The positions checked, in twips of the client area (the frame sits at 45, -15).
void expectLayout(HWND window, int dpi, int slack) {
    expectAt(window, kApp + 1, 45 + 120, -15 + 600, 3135, 285, dpi, slack);
    expectAt(window, kCaption + 1, 45 + 840, -15 + 270, 1965, 285, dpi, slack);
    expectAt(window, kBrowse + 1, 45 + 3345, -15 + 555, 975, 375, dpi, slack);
    expectAt(window, kApp + 10, 45 + 4560, -15 + 3990, 3135, 285, dpi, slack);
    expectAt(window, kBrowse + 10, 45 + 7800, -15 + 3945, 975, 375, dpi, slack);
    expectAt(window, ids::kOk, 5385, 4530, 1065, 345, dpi, slack);
    expectAt(window, ids::kCancel, 6585, 4530, 1065, 345, dpi, slack);
    expectAt(window, ids::kExit, 7905, 4530, 1065, 345, dpi, slack);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, 9000 * dpi / 1440, slack);
    EXPECT_NEAR(client.bottom, 4935 * dpi / 1440, slack);
}

// The screen scale Wine reports to programs started while it is set (a new process reads it;
// the Wine server needs no restart). The previous setting comes back afterwards.
class ScreenScale {
public:
    explicit ScreenScale(DWORD dpi) {
        DWORD size = sizeof(previous_);
        hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr,
                                 &previous_, &size) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof(dpi));
    }
    ~ScreenScale() {
        if (hadValue_)
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &previous_,
                            sizeof(previous_));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }

private:
    static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
    static constexpr wchar_t kValue[] = L"LogPixels";
    DWORD previous_ = 0;
    bool hadValue_ = false;
};

TEST(ConfigWindowE2E, TypedPathEnablesCaptionAndShowsMenuItemDeletingItGreysCaptionKeepingText) {
    clearSettings();
    setSetting(L"Caption4", L"Recorder");
    Recording recording;
    Tillerdock td;
    ASSERT_TRUE(td.main());
    ASSERT_FALSE(IsWindowEnabled(td.control(kCaption + 4)));

    const std::wstring path = L"\"" + recorderPath() + L"\" typed";
    td.type(kApp + 4, path.substr(0, 1));
    EXPECT_TRUE(IsWindowEnabled(td.control(kCaption + 4))) << "after the first character";
    td.type(kApp + 4, path.substr(1));
    EXPECT_EQ(td.text(kApp + 4), path);
    ASSERT_TRUE(chooseFirstTrayItem(td));  // the slot's item now heads the menu
    ASSERT_TRUE(recording.waitForLines(1));
    EXPECT_NE(recording.lines()[0].find(L" typed"), std::wstring::npos) << recording.lines()[0];

    td.type(kApp + 4, std::wstring(path.size(), L'\b'));
    EXPECT_EQ(td.text(kApp + 4), L"");
    EXPECT_FALSE(IsWindowEnabled(td.control(kCaption + 4)));
    EXPECT_EQ(td.text(kCaption + 4), L"Recorder");
    // The item is gone: the first item is now "&Hide", and nothing is started.
    ASSERT_TRUE(chooseFirstTrayItem(td));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(td.main()); }));
    EXPECT_EQ(recording.lines().size(), 1u);
    td.trayEvent(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(td.main()) != FALSE; }));

    td.type(kApp + 4, L" ");  // a blank is a path
    EXPECT_TRUE(IsWindowEnabled(td.control(kCaption + 4)));
    SendMessageW(td.control(kApp + 4), EM_SETSEL, 0, -1);
    SendMessageW(td.control(kApp + 4), WM_CLEAR, 0, 0);
    EXPECT_EQ(td.text(kApp + 4), L"");
    EXPECT_FALSE(IsWindowEnabled(td.control(kCaption + 4)));
    EXPECT_EQ(td.text(kCaption + 4), L"Recorder");
}

TEST(ConfigWindowE2E, CaptionBoxesTake22CharactersAndCaption9Takes30) {
    clearSettings();
    Tillerdock td;
    ASSERT_TRUE(td.main());
    const std::wstring typed = L"abcdefghijklmnopqrstuvwxyz0123456789";
    for (int n : {1, 9, 10}) {
        td.type(kApp + n, L"x.exe");
        td.type(kCaption + n, typed.substr(0, n == 9 ? 35 : 25));
    }
    EXPECT_EQ(td.text(kCaption + 1), typed.substr(0, 22));
    EXPECT_EQ(td.text(kCaption + 9), typed.substr(0, 30));
    EXPECT_EQ(td.text(kCaption + 10), typed.substr(0, 22));
}

TEST(ConfigWindowE2E, OkWritesAll21KeysWithTypedValuesAndHidesTheWindow) {
    clearSettings();
    Tillerdock td;
    ASSERT_TRUE(td.main());
    td.type(kApp + 3, L"C:\\Tools\\a b.exe -x \"y z\"");
    td.type(kCaption + 3, L"Tools");
    td.type(kApp + 10, L" ");
    td.type(kCaption + 10, L"Last one");
    td.command(ids::kMenuStartup);
    td.click(ids::kOk);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(td.main()); }));
    // "Configure" is now the item offered: a tray double-click brings the window back.
    td.trayEvent(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(td.main()) != FALSE; }));

    EXPECT_EQ(getSetting(L"Startup"), L"True");
    for (int n = 1; n <= 10; ++n) {
        const std::wstring path = n == 3 ? L"C:\\Tools\\a b.exe -x \"y z\"" : n == 10 ? L" " : L"";
        const std::wstring text = n == 3 ? L"Tools" : n == 10 ? L"Last one" : L"";
        EXPECT_EQ(getSetting(key(L"App", n)), path) << n;
        EXPECT_EQ(getSetting(key(L"Caption", n)), text) << n;
    }
}

TEST(ConfigWindowE2E, OkWithNothingEditedStillWritesAll21Keys) {
    clearSettings();
    setSetting(L"App2", L"notepad");
    setSetting(L"Caption7", L"Orphan");
    Tillerdock td;
    ASSERT_TRUE(td.main());
    // Enter and Esc in a box are bound to neither OK nor Cancel.
    SetForegroundWindow(td.main());
    for (UINT key : {VK_RETURN, VK_ESCAPE}) pressKey(td.control(kApp + 2), key);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(td.main()));
    EXPECT_FALSE(getSetting(L"Startup"));
    EXPECT_EQ(td.text(kApp + 2), L"notepad");

    td.click(ids::kOk);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(td.main()); }));
    EXPECT_EQ(getSetting(L"Startup"), L"False");
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(getSetting(key(L"App", n)), n == 2 ? L"notepad" : L"") << n;
        EXPECT_EQ(getSetting(key(L"Caption", n)), n == 7 ? L"Orphan" : L"") << n;
    }
}

TEST(ConfigWindowE2E, CancelRestoresStoredTextsAndOptionWritesNothingAndHides) {
    clearSettings();
    setSetting(L"App1", L"p1.exe --a");
    setSetting(L"Caption1", L"One");
    setSetting(L"Caption2", L"Two");
    Tillerdock td;
    ASSERT_TRUE(td.main());
    td.setText(kApp + 1, L"changed.exe");
    td.type(kCaption + 1, L"X");
    td.type(kApp + 2, L"new.exe");
    td.type(kCaption + 2, L"Y");
    td.type(kCaption + 5, L"Z");
    td.command(ids::kMenuStartup);
    td.click(ids::kCancel);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(td.main()); }));

    EXPECT_EQ(td.text(kApp + 1), L"p1.exe --a");
    EXPECT_EQ(td.text(kCaption + 1), L"One");
    EXPECT_EQ(td.text(kApp + 2), L"");
    EXPECT_EQ(td.text(kCaption + 2), L"Two");
    EXPECT_EQ(td.text(kCaption + 5), L"");
    EXPECT_TRUE(IsWindowEnabled(td.control(kCaption + 1)));
    EXPECT_FALSE(IsWindowEnabled(td.control(kCaption + 2)));
    EXPECT_FALSE(getSetting(L"Startup")) << "Cancel must not write";
    EXPECT_FALSE(getSetting(L"App2"));

    // "Configure" is offered again, and the option toggled before Cancel is off: a tray
    // double-click shows the window and a later OK saves the option off.
    td.trayEvent(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(td.main()) != FALSE; }));
    td.click(ids::kOk);
    ASSERT_TRUE(waitFor([&] { return getSetting(L"Startup").has_value(); }));
    EXPECT_EQ(getSetting(L"Startup"), L"False");
}

TEST(ConfigWindowE2E, BrowseChoosesAFileAsBarePathOffersItAgainAndCancelChangesNothing) {
    clearSettings();
    const std::wstring chosen = makeChoosableFile();
    setSetting(L"App1", L"old.exe --flag");
    setSetting(L"Caption1", L"Keep");
    setSetting(L"App3", L"keep me.exe --x");
    Tillerdock td;
    ASSERT_TRUE(td.main());

    td.click(kBrowse + 1);
    HWND dialog = waitForDialog(td);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(windowText(dialog), L"Open") << "the system's own title";
    HWND types = GetDlgItem(dialog, 0x470);
    ASSERT_TRUE(types);
    ASSERT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 2);
    wchar_t entry[64] = {};
    SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"Executables (*.exe)");
    SendMessageW(types, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"All Files (*.*)");
    EXPECT_EQ(SendMessageW(types, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 0x410))) << "no read-only choice";
    HWND name = fileNameBox(dialog);
    ASSERT_TRUE(name);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
    pressDialogButton(dialog, IDOK);
    ASSERT_TRUE(waitFor([&] { return noDialog(td); }));
    EXPECT_TRUE(waitFor([&] { return td.text(kApp + 1) == chosen; })) << td.text(kApp + 1);
    EXPECT_EQ(td.text(kCaption + 1), L"Keep");

    // Slot 3 is offered the file slot 1 chose; cancelling leaves slot 3 and shows nothing.
    td.click(kBrowse + 3);
    dialog = waitForDialog(td);
    ASSERT_TRUE(dialog);
    const std::wstring offered = windowText(fileNameBox(dialog));
    EXPECT_TRUE(offered == L"my tool.exe" || offered == chosen) << offered;
    pressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return noDialog(td); }));
    Sleep(300);
    EXPECT_TRUE(noDialog(td)) << "no message after a cancelled Browse";
    EXPECT_EQ(td.text(kApp + 3), L"keep me.exe --x");
    EXPECT_TRUE(IsWindowEnabled(td.control(kCaption + 3)));

    // A file that does not exist yet is taken as typed, without a complaint.
    const std::wstring ghost = chosen.substr(0, chosen.rfind(L'\\')) + L"\\ghost.exe";
    td.click(kBrowse + 2);
    dialog = waitForDialog(td);
    ASSERT_TRUE(dialog);
    SendMessageW(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ghost.c_str()));
    pressDialogButton(dialog, IDOK);
    EXPECT_TRUE(waitFor([&] { return td.text(kApp + 2) == ghost; })) << td.text(kApp + 2);
    EXPECT_TRUE(noDialog(td));
    EXPECT_TRUE(IsWindowEnabled(td.control(kCaption + 2)));
}

TEST(ConfigWindowE2E, LayoutAt96DpiFollowsTwipsAndScreenshotIsSaved) {
    clearSettings();
    setSetting(L"App1", L"C:\\Program Files\\Editor\\editor.exe");
    setSetting(L"Caption1", L"Editor");
    Tillerdock td;
    ASSERT_TRUE(td.main());
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(td.main()) != FALSE; }));
    expectLayout(td.main(), 96, 1);
    Sleep(300);  // let the window finish painting
    EXPECT_TRUE(saveWindowImage(td.main(), testFolder() + L"e2e-main-window.bmp"));
}

TEST(ConfigWindowE2E, LayoutAt144DpiScalesByOneAndAHalf) {
    // Raw pixels of the program's windows, whatever this driver's own scale.
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    clearSettings();
    ScreenScale scale(144);
    Tillerdock td;
    ASSERT_TRUE(td.main());
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(td.main()) != FALSE; }));
    expectLayout(td.main(), 144, 2);
    Sleep(300);
    EXPECT_TRUE(saveWindowImage(td.main(), testFolder() + L"e2e-main-window-144.bmp"));
}

}  // namespace
}  // namespace td::e2e
