// The real Win32 layer in process: native windows, controls, menus and the tray icon built
// from the core, read back with the platform's own API.
#include "platform/win32/form_view.h"

#include <gtest/gtest.h>
#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include "about/frmAbout.h"
#include "group/frmGroup.h"
#include "platform/win32/com.h"
#include "platform/win32/hot_key.h"
#include "platform/win32/services.h"
#include "platform/win32/system_text.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/window_system.h"
#include "shared/window_ids.h"
#include "support/fakes.h"

namespace td::test {

// Dispatches this thread's messages for a while, or until the condition holds.
void pump(DWORD milliseconds, const std::function<bool()>& done = nullptr) {
    for (const DWORD start = GetTickCount(); !(done && done()); Sleep(10)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (GetTickCount() - start >= milliseconds) return;
    }
}

// The program on the double, but for the real window system and tray icon.
struct NativeWindow : Fake, ::testing::Test {
    win32::Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    win32::Win32TrayIcon trayIcon;
    win32::Win32HotKey hotKey;
    Application app{
        Services{*this, *this, *this, windows, trayIcon, *this, *this, *this, hotKey, *this}};
    std::shared_ptr<frmConfig> config;
    HWND main = nullptr;
    ~NativeWindow() override {
        if (auto loaded = app.config.peek()) loaded->unload(ui::UnloadMode::Code);
        pump(0);
    }
    // Starts the program on these stored "Key=Value" texts; `main` is its main window.
    void start(const Texts& values = {}) {
        stored = byKey(values);
        app.start();
        config = app.config.get();
        main = win32::hwndOf(*config);
    }
    HWND control(int id) const { return GetDlgItem(main, id); }
    HMENU menu(int position) const { return GetSubMenu(GetMenu(main), position); }
};

// Each item of a native menu: "id caption" (a separator's caption is "--"), then " grey",
// " checked", " default" and " lit" (highlighted) as they apply.
Texts readMenu(HMENU menu) {
    Texts items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        items.push_back(
            std::to_wstring(GetMenuItemID(menu, i)) + L" " + (state & MF_SEPARATOR ? L"--" : text) +
            (state & MF_GRAYED ? L" grey" : L"") + (state & MF_CHECKED ? L" checked" : L"") +
            (state & MF_DEFAULT ? L" default" : L"") + (state & MF_HILITE ? L" lit" : L""));
    }
    return items;
}

TEST_F(NativeWindow, TypingFollowsTheChangeRulesAndMenusHoldExactlyTheVisibleItemsInTheirState) {
    start({L"App1=helper.exe one", L"Caption1=Editor", L"App3= ", L"Caption3=-",
           L"Caption4=No path"});
    HMENU launch = menu(0);
    // A caption "-" is a caption like any other, not a separator.
    EXPECT_EQ(readMenu(launch), (Texts{L"2001 Editor", L"2003 -", L"2012 --", L"2014 &Hide",
                                       L"2015 --", L"2016 E&xit"}));
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    SetWindowTextW(control(ids::kAppBase + 1), L"");   // the item goes at once
    SetWindowTextW(control(ids::kAppBase + 5), L"e");  // comes, grey until the menu opens
    EXPECT_EQ(readMenu(launch)[1], L"2005  grey");
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    EXPECT_EQ(readMenu(launch)[1], L"2005 ");
    // A stored caption of any length fits the screen; the longest a caption box takes is whole.
    config->Caption[3]->setText(std::wstring(1'000'000, L'W'));
    const std::wstring shortened = readMenu(launch)[0].substr(5);
    EXPECT_TRUE(shortened.size() < 1000 && shortened.ends_with(L"W\u2026")) << shortened.size();
    config->Caption[3]->setText(std::wstring(30, L'W'));
    EXPECT_EQ(readMenu(launch)[0], L"2003 " + std::wstring(30, L'W'));
    // Cyrillic and Chinese, typed: in the boxes, the menu, the store and back.
    const std::wstring path = L"C:\\Программы\\记事本.exe", caption = L"Блокнот 记事本";
    SetWindowTextW(control(ids::kAppBase + 3), path.c_str());
    SetWindowTextW(control(ids::kCaptionBase + 3), caption.c_str());
    config->slots.saveSettings(false, SaveMoment::Confirmed);
    config->slots.readSlotTexts();
    EXPECT_EQ(readMenu(launch)[0] + L"|" + win32::windowText(control(ids::kAppBase + 3)) + L"|" +
                  stored[L"Caption3"],
              L"2003 " + caption + L"|" + path + L"|" + caption);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMenuStartup, 0), 0);
    EXPECT_EQ(readMenu(menu(1)),
              (Texts{L"2101 &Group Launch", L"2102 &Minimize on Startup checked",
                     L"2103 Launch Menu &Shortcut..."}));
    EXPECT_EQ(SendMessageW(control(ids::kCaptionBase + 1), EM_GETLIMITTEXT, 0, 0), 22);
    EXPECT_EQ(SendMessageW(control(ids::kCaptionBase + 9), EM_GETLIMITTEXT, 0, 0), 30);
    // OK, Cancel, Exit, the enabled caption boxes of slots 10, 8, 6, 4, 2, 9, 7, 5, 3, 1, then
    // the Browse buttons from slot 10.
    std::vector<int> order{ids::kOk};
    for (HWND at = control(ids::kOk); order.size() < 6; order.push_back(GetDlgCtrlID(at)))
        at = GetNextDlgTabItem(main, at, FALSE);
    EXPECT_EQ(order, (std::vector<int>{ids::kOk, ids::kCancel, ids::kExit, ids::kCaptionBase + 5,
                                       ids::kCaptionBase + 3, ids::kBrowseBase + 10}));
    // Minimised by the system's command: hidden. Closed: gone, and the message loop ends.
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(windowView(*config) + (IsWindowVisible(main) ? L" visible" : L""),
              L"hidden minimised Configure");
    SendMessageW(main, WM_CLOSE, 0, 0);
    MSG msg;
    EXPECT_TRUE(!IsWindow(main) && PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Whether an open pop-up's item shows an icon: "icon" where the place of its picture (the
// Launch menu has no check marks: its icons sit at the left edge, before any caption) holds
// more than a few pixels of another colour than the item's own.
std::wstring pictureOf(HWND popup, int position) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    RECT item = {};
    if (!GetMenuItemRect(nullptr, menu, position, &item)) return L"none";
    MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&item), 2);
    HDC dc = GetDC(popup);
    const int left = item.left + 2;
    const COLORREF back = GetPixel(dc, item.right - 2, item.top + 1);
    int other = 0;
    for (int y = item.top; y < item.bottom; ++y)
        for (int x = left; x < left + GetSystemMetrics(SM_CXSMICON); ++x) other += GetPixel(dc, x, y) != back;
    ReleaseDC(popup, dc);
    return other > 20 ? L"icon" : L"none";
}

// What each pop-up of the main window shows once open (with `icons`, once its slots' icons are
// in): its items, their pictures, its place. Then `then` runs while it is open, and a tick
// later the menu is closed unless that closed it.
struct OpenMenu {
    bool icons = false, shown = false;
    int openings = 0, waited = 0;
    Texts items;
    std::wstring pictures;
    RECT place = {};
    std::function<void()> then;
};
OpenMenu menus;

void CALLBACK watchMenus(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    const auto launch = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (!popup || !IsWindowVisible(popup)) {
        menus.shown = false;
    } else if (menus.shown) {
        EndMenu();
    } else if (!menus.icons || pictureOf(popup, 0) == L"icon" || ++menus.waited > 100) {
        menus.shown = true;
        ++menus.openings;
        menus.items = readMenu(launch);
        menus.pictures = pictureOf(popup, 0) + pictureOf(popup, 1) + pictureOf(popup, 2);
        GetWindowRect(popup, &menus.place);
        if (menus.then) std::exchange(menus.then, nullptr)();
    }
}

// Runs `action`, which opens pop-ups of the main window, and reads them (above).
void readOpenMenus(const std::function<void()>& action) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &watchMenus);
    action();
    pump(1000);
    KillTimer(nullptr, timer);
}

// Version 4 callbacks as the shell posts or sends them: event and icon in lParam, place in
// wParam; the slots' program icons arrive while the menu is menus.
TEST_F(NativeWindow, TrayCallbacksOpenOnePopUpThatKeepsItsHighlightAsItsIconsArrive) {
    const std::wstring recorder = win32::Win32Environment().programFolder() + L"\\recorder.exe";
    start({L"App1=" + recorder + L" -x", L"Caption1=Rec", L"App2=notepad",
           L"App3=C:\\missing\\gone.exe"});
    config->mnuHide_Click();
    menus.icons = true;
    auto callbacks = [&](std::initializer_list<UINT> events, int x, int y) {
        for (UINT event : events)
            PostMessageW(main, win32::kTrayCallbackMessage, MAKEWPARAM(x, y),
                         MAKELPARAM(event, ids::kTrayIconId));
    };
    // Shift+F10: at the icon, the first item highlighted, the captions as they are.
    readOpenMenus([&] { callbacks({WM_CONTEXTMENU}, 300, 200); });
    EXPECT_EQ(menus.items, (Texts{L"2001 Rec lit", L"2002 ", L"2003 ", L"2012 --",
                                 L"2013 Configure default", L"2015 --", L"2016 E&xit"}));
    EXPECT_EQ(menus.pictures, L"iconiconnone");
    EXPECT_EQ(menus.place.left * 10000 + menus.place.top, 300 * 10000 + 200);
    // A right click: two callbacks, one pop-up; and none over an open one.
    menus.then = [&] { callbacks({WM_CONTEXTMENU}, 10, 10); };
    readOpenMenus([&] { callbacks({WM_RBUTTONUP, WM_CONTEXTMENU}, 400, 250); });
    EXPECT_EQ(menus.openings, 2);
    EXPECT_EQ(readMenu(menu(0))[4], L"2013 Configure");
    // Enter on the icon, sent twice for one press, then again later with the same message
    // time (sent, not posted): one toggle each press.
    auto enter = [&] {
        SendMessageW(main, win32::kTrayCallbackMessage, 0, MAKELPARAM(NIN_KEYSELECT, ids::kTrayIconId));
    };
    enter();
    enter();
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    Sleep(300);
    enter();
    EXPECT_EQ(windowView(*config), L"hidden minimised Configure");
    // The shell forgot the icon and restarted; its announcement brings the icon back.
    NOTIFYICONDATAW icon = {sizeof(icon), main, ids::kTrayIconId};
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon));
}

// The shortcut as the system registers it, and its presses as the system posts them.
TEST_F(NativeWindow, TheShortcutOpensOneMenuAtThePointerAndDigitsChooseSlots) {
    start({L"Startup=True", L"App2=two.exe", L"App3=three.exe", L"App5=five.exe",
           L"Caption5=&2nd", L"App10=ten.exe"});
    const auto keys = [](wchar_t key) {
        return static_cast<HotKeyCombination>(key | (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8);
    };
    HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, 'J'));
    EXPECT_FALSE(hotKey.set(*config, keys('J')));  // another window holds it
    EXPECT_TRUE(hotKey.set(*config, keys('K')) && hotKey.set(*config, keys('L')));
    EXPECT_TRUE(RegisterHotKey(other, 2, MOD_CONTROL | MOD_ALT, 'K'));  // replaced: free again
    EXPECT_EQ(hotKey.describe(keys('L')), L"Ctrl+Alt+L");
    DestroyWindow(other);
    SetCursorPos(500, 300);
    auto press = [&] { PostMessageW(main, WM_HOTKEY, 2, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'L')); };
    menus.then = press;  // pressed again while it is open: it closes, and no other opens
    readOpenMenus(press);
    EXPECT_EQ(menus.openings, 1);
    EXPECT_EQ(menus.items[0], L"2002  lit");
    EXPECT_EQ(menus.place.left * 10000 + menus.place.top, 500 * 10000 + 300);
    EXPECT_FALSE(IsWindowVisible(FindWindowW(L"#32768", nullptr)));
    // 3 starts slot 3; 2 is the access key of slot 5's caption; 0 starts slot 10.
    for (wchar_t key : {L'3', L'2', L'0'}) {
        menus.then = [key] { PostMessageW(FindWindowW(L"#32768", nullptr), WM_CHAR, key, 1); };
        readOpenMenus(press);
    }
    EXPECT_EQ(Texts(log.end() - 3, log.end()),
              (Texts{L"start three.exe", L"start five.exe", L"start ten.exe"}));
}

// Files dropped from Explorer at a point of the window's client area, as the shell hands them.
void drop(HWND window, const std::vector<std::wstring>& files, POINT at, BOOL nonClient = FALSE) {
    std::wstring names;
    for (const auto& file : files) names += file + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* dropped = static_cast<DROPFILES*>(GlobalLock(memory));
    *dropped = {sizeof(DROPFILES), at, nonClient, TRUE};
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(dropped + 1));
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST_F(NativeWindow, AShortcutDroppedOnAPathBoxGivesItsQuotedTargetAndArguments) {
    const std::wstring folder = win32::Win32Environment().programFolder() + L"\\a b";
    CreateDirectoryW(folder.c_str(), nullptr);
    win32::ComPtr<IShellLinkW> link;
    win32::ComPtr<IPersistFile> file;
    ASSERT_EQ(win32::createComObject(CLSID_ShellLink, IID_IShellLinkW, link.out()), S_OK);
    link->SetPath((folder + L"\\tool.exe").c_str());
    link->SetArguments(L"-x \"y z\"");
    link->QueryInterface(IID_IPersistFile, file.out());
    ASSERT_EQ(file->Save((folder + L"\\tool.lnk").c_str(), TRUE), S_OK);
    start();
    RECT box;  // slot 2's path box, in the window's client area
    GetWindowRect(control(ids::kAppBase + 2), &box);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&box), 2);
    const POINT onBox = {box.left + 5, box.top + 5};
    drop(main, {folder + L"\\tool.lnk", L"C:\\b.exe"}, onBox);
    drop(main, {L"C:\\c.exe"}, {box.left - 5, box.top + 5});  // beside the box
    drop(main, {L"C:\\e.exe"}, onBox, TRUE);                    // on the title bar
    const std::wstring target = L"\"" + folder + L"\\tool.exe\" -x \"y z\"";
    EXPECT_EQ(config->App[2]->text(), target);
    config->mnuHide_Click();  // a hidden window takes nothing
    drop(main, {L"C:\\d.exe"}, onBox);
    EXPECT_EQ(config->App[2]->text(), target);
}

// What a screen reader announces for a control, as the accessibility services read it.
std::wstring nameOf(HWND control) {
    win32::ComPtr<IAccessible> object;
    VARIANT self = {};
    self.vt = VT_I4;  // lVal 0: CHILDID_SELF
    BSTR name = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, object.out())) ||
        FAILED(object->get_accName(self, &name)))
        return L"(none)";
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

TEST_F(NativeWindow, EveryControlHasANameThatSaysWhatItIsForAndAboutIsFocusedOnClose) {
    start({L"Caption2=Mail"});
    // Named through the accessibility services; where the system keeps no names (Wine answers
    // E_NOTIMPL), the name was asked for all the same.
    for (int n = 1; n <= kSlotCount; ++n)
        for (auto [id, what] : {std::pair{ids::kAppBase + n, L" command line"},
                                std::pair{ids::kCaptionBase + n, L" caption"}}) {
            HWND box = control(id);
            const HRESULT result = win32::accessibleNameResult(box);
            const std::wstring name = L"Slot " + std::to_wstring(n) + what;
            EXPECT_TRUE(result == E_NOTIMPL || (result == S_OK && nameOf(box) == name)) << name;
        }
    app.group.get()->show();  // check boxes and links say their own texts
    EXPECT_EQ(nameOf(GetDlgItem(win32::hwndOf(*app.group.get()), ids::kGroupBoxBase + 2)), L"Mail");
    // About opens focused on Close, whose Ctrl key (and no other button's) brings the message.
    auto about = app.about.get();
    about->show();
    HWND window = win32::hwndOf(*about), close = GetDlgItem(window, ids::kAboutClose);
    EXPECT_EQ(nameOf(GetDlgItem(window, ids::kAboutWebLink)), L"https://tillerdock.example/");
    EXPECT_EQ(GetFocus(), close);
    HWND web = GetDlgItem(window, ids::kAboutWebLink);  // a tab stop after Read Me, opened by Enter
    EXPECT_EQ(GetNextDlgTabItem(window, GetDlgItem(window, ids::kAboutReadMe), FALSE), web);
    SendMessageW(web, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(log.back(), L"open https://tillerdock.example/ over About Tillerdock");
    log.clear();
    SendMessageW(GetDlgItem(window, ids::kAboutReadMe), WM_KEYDOWN, VK_CONTROL, 1);
    SendMessageW(close, WM_KEYDOWN, VK_CONTROL, 1);
    EXPECT_EQ(log, Texts{L"message No Easter Egg (64) over About Tillerdock: Sorry, no Easter Egg "
                         L"in this version.  :-("});
    about->unload();
}

// The model is what the program knows; native controls exist for the windows a person sees.
TEST_F(NativeWindow, AStartIntoTheTrayMakesNoControlsAndTheFirstShowMakesThemAsTheModelIsThen) {
    const std::wstring huge(1'100'000, L'x');
    start({L"Startup=True", L"App1=a.exe", L"Caption1=A", L"Caption3=C", L"App2=" + huge,
           L"Caption2=" + huge});
    EXPECT_FALSE(GetWindow(main, GW_CHILD) || GetWindow(win32::hwndOf(*app.group.get()), GW_CHILD));
    config->Caption[1]->setText(L"B");  // edits while hidden: a drop, a restore
    config->App[3]->setText(L"c.exe");
    config->App[1]->setText(L"");
    config->setFocus(*config->App[3]);
    config->mnuConfigure->Click();
    std::wstring boxes;  // text, and "+" or "-" for enabled or not
    for (int id :
         {ids::kAppBase + 1, ids::kCaptionBase + 1, ids::kAppBase + 3, ids::kCaptionBase + 3})
        boxes += win32::windowText(control(id)) + (IsWindowEnabled(control(id)) ? L"+" : L"-");
    EXPECT_EQ(boxes, L"+B-c.exe+C+");
    const Texts items = readMenu(menu(0));
    EXPECT_EQ(Texts(items.begin() + 1, items.end()),
              (Texts{L"2003 C", L"2012 --", L"2014 &Hide", L"2015 --", L"2016 E&xit"}));
    EXPECT_EQ(GetFocus(), control(ids::kAppBase + 3));
    // Values of any length: each box is there, and showing it changes no value.
    app.group.get()->show();
    EXPECT_TRUE(control(ids::kAppBase + 2) && control(ids::kCaptionBase + 2) &&
                GetDlgItem(win32::hwndOf(*app.group.get()), ids::kGroupBoxBase + 2));
    EXPECT_TRUE(config->App[2]->text() == huge && config->Caption[2]->text() == huge);
}

TEST_F(NativeWindow, MovedToAnotherScaleTheWindowTakesTheSuggestedPlaceAndNewFonts) {
    start();
    HWND app1 = control(ids::kAppBase + 1);
    const auto oldFont = reinterpret_cast<HFONT>(SendMessageW(app1, WM_GETFONT, 0, 0));
    RECT suggested = {100, 80, 100 + 1400, 80 + 800};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ((std::pair{r.left, r.top}), (std::pair{100L, 80L}));
    GetWindowRect(app1, &r);
    EXPECT_NEAR(r.right - r.left, 3135 * 192 / 1440, 1);
    // The controls use the new font; the old one is gone.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(app1, WM_GETFONT, 0, 0));
    LOGFONTW described = {};
    GetObjectW(font, sizeof(described), &described);
    EXPECT_EQ(described.lfHeight, -MulDiv(825, 192, 7200));
    EXPECT_FALSE(GetObjectW(oldFont, sizeof(described), &described));
}

}  // namespace td::test
