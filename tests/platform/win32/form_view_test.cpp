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
#include "platform/win32/services.h"
#include "platform/win32/system_text.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/window_system.h"
#include "shared/window_ids.h"
#include "support/fakes.h"

namespace td::test {

// The program on the double for every service but the window system and the tray icon,
// which are real.
struct NativeWindow : Fake, ::testing::Test {
    win32::Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    win32::Win32TrayIcon trayIcon;
    Application app{Services{*this, *this, *this, windows, trayIcon, *this, *this, *this}};
    ~NativeWindow() override {
        if (auto config = app.config.peek()) config->unload(ui::UnloadMode::Code);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // Starts the program on these stored "Key=Value" texts and returns its main window.
    HWND start(const Texts& values = {}) {
        stored = byKey(values);
        app.start();
        return win32::hwndOf(*app.config.get());
    }
};

// Each item of a native menu: "id caption" (a separator's caption is "-"), then " grey",
// " checked", " default" and " lit" (highlighted) as they apply.
Texts readMenu(HMENU menu) {
    Texts items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        items.push_back(
            std::to_wstring(GetMenuItemID(menu, i)) + L" " + (state & MF_SEPARATOR ? L"-" : text) +
            (state & MF_GRAYED ? L" grey" : L"") + (state & MF_CHECKED ? L" checked" : L"") +
            (state & MF_DEFAULT ? L" default" : L"") + (state & MF_HILITE ? L" lit" : L""));
    }
    return items;
}

TEST_F(NativeWindow, TypingFollowsTheChangeRulesAndMenusHoldExactlyTheVisibleItemsInTheirState) {
    HWND main = start({L"App1=helper.exe one", L"Caption1=Editor", L"App3= ", L"Caption3=-",
                       L"Caption4=No path"});
    HMENU launch = GetSubMenu(GetMenu(main), 0);
    // A caption "-" is a caption like any other, not a separator.
    EXPECT_EQ(readMenu(launch), (Texts{L"2001 Editor", L"2003 -", L"2012 -", L"2014 &Hide",
                                       L"2015 -", L"2016 E&xit"}));
    EXPECT_NE(GetMenuState(launch, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    SetWindowTextW(GetDlgItem(main, ids::kAppBase + 1), L"");   // the item goes at once
    SetWindowTextW(GetDlgItem(main, ids::kAppBase + 5), L"e");  // comes, grey until the menu opens
    EXPECT_EQ(readMenu(launch)[1], L"2005  grey");
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    EXPECT_EQ(readMenu(launch)[1], L"2005 ");
    // A stored caption of any length leaves a menu that fits the screen; the longest a
    // caption box takes shows whole.
    app.config.get()->Caption[3]->setText(std::wstring(1'000'000, L'W'));
    const std::wstring shortened = readMenu(launch)[0].substr(5);
    EXPECT_TRUE(shortened.size() < 1000 && shortened.ends_with(L"W\u2026")) << shortened.size();
    app.config.get()->Caption[3]->setText(std::wstring(30, L'W'));
    EXPECT_EQ(readMenu(launch)[0], L"2003 " + std::wstring(30, L'W'));
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMenuStartup, 0), 0);
    EXPECT_EQ(readMenu(GetSubMenu(GetMenu(main), 1)),
              (Texts{L"2101 &Group Launch", L"2102 &Minimize on Startup checked"}));

    EXPECT_EQ(SendMessageW(GetDlgItem(main, ids::kCaptionBase + 1), EM_GETLIMITTEXT, 0, 0), 22);
    EXPECT_EQ(SendMessageW(GetDlgItem(main, ids::kCaptionBase + 9), EM_GETLIMITTEXT, 0, 0), 30);
    EXPECT_GT(SendMessageW(GetDlgItem(main, ids::kAppBase + 1), EM_GETLIMITTEXT, 0, 0), 1000000);
    // OK, Cancel, Exit, the enabled caption boxes of slots 10, 8, 6, 4, 2, 9, 7, 5, 3, 1, then
    // the Browse buttons from slot 10.
    std::vector<int> order{ids::kOk};
    for (HWND at = GetDlgItem(main, ids::kOk); order.size() < 6; order.push_back(GetDlgCtrlID(at)))
        at = GetNextDlgTabItem(main, at, FALSE);
    EXPECT_EQ(order, (std::vector<int>{ids::kOk, ids::kCancel, ids::kExit, ids::kCaptionBase + 5,
                                       ids::kCaptionBase + 3, ids::kBrowseBase + 10}));

    // The group window's boxes hold three states; a click asks the model.
    app.group.get()->show();
    HWND group = win32::hwndOf(*app.group.get());
    app.group.get()->chkApp[2]->setValue(2);
    EXPECT_EQ(SendMessageW(GetDlgItem(group, ids::kGroupBoxBase + 2), BM_GETCHECK, 0, 0), 2);
    SendMessageW(group, WM_COMMAND, MAKEWPARAM(ids::kGroupSwitch, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(group, ids::kGroupSwitch)));
    EXPECT_EQ(app.group.get()->chkGroupE->value(), 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(group, ids::kGroupBoxBase + 2)));

    // Minimised by the system's command: hidden. Closed: gone, and the message loop ends.
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(windowView(*app.config.get()) + (IsWindowVisible(main) ? L" visible" : L""),
              L"hidden minimised Configure");
    SendMessageW(main, WM_CLOSE, 0, 0);
    MSG msg;
    EXPECT_TRUE(!IsWindow(main) && PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Version 4 callbacks as the shell posts them: the event and the icon in lParam, the place
// in wParam.
TEST_F(NativeWindow,
       TrayCallbacksOpenOnePopUpAtTheirPlaceWithTheOfferedDefaultAndTheShellsRestart) {
    HWND main = start();
    app.config.get()->mnuHide_Click();
    static Texts seen;
    static RECT place;
    static int opened;
    // Reads the menu while the pop-up is open, then closes it.
    const TIMERPROC look = [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        seen = readMenu(GetSubMenu(GetMenu(FindWindowW(ids::kConfigClass, nullptr)), 0));
        GetWindowRect(FindWindowW(L"#32768", nullptr), &place);
        ++opened;
        EndMenu();
    };
    auto post = [&](UINT event, int x, int y) {
        PostMessageW(main, win32::kTrayCallbackMessage, MAKEWPARAM(x, y),
                     MAKELPARAM(event, ids::kTrayIconId));
    };
    auto pump = [] {
        for (DWORD end = GetTickCount() + 700; GetTickCount() < end; Sleep(10)) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    };
    SetTimer(nullptr, 0, 200, look);
    post(WM_CONTEXTMENU, 300, 200);  // Shift+F10: at the icon, the first item highlighted
    pump();
    EXPECT_EQ(seen, (Texts{L"2012 -", L"2013 Configure default lit", L"2015 -", L"2016 E&xit"}));
    EXPECT_EQ(place.left * 10000 + place.top, 300 * 10000 + 200);
    SetTimer(nullptr, 0, 200, look);
    post(WM_RBUTTONUP, 400, 250);  // a right click: two callbacks, one pop-up
    post(WM_CONTEXTMENU, 400, 250);
    pump();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(seen[1], L"2013 Configure default");
    EXPECT_EQ(readMenu(GetSubMenu(GetMenu(main), 0))[1], L"2013 Configure");

    // The shell forgot the icon and restarted; its announcement brings the icon back.
    NOTIFYICONDATAW icon = {sizeof(icon), main, ids::kTrayIconId};
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon));
}

// Whether a menu item shows a picture: "icon", "blank" (its place kept), or "none".
std::wstring pictureOf(HMENU menu, int position) {
    MENUITEMINFOW info = {sizeof(info)};
    info.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    DIBSECTION dib = {};
    if (!info.hbmpItem || !GetObjectW(info.hbmpItem, sizeof(dib), &dib)) return L"none";
    const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
    const int count = dib.dsBm.bmWidth * dib.dsBm.bmHeight;
    return std::any_of(bits, bits + count, [](std::uint32_t p) { return p != 0; }) ? L"icon"
                                                                                   : L"blank";
}

TEST_F(NativeWindow, LaunchMenuShowsEachFoundProgramsIconBesideTheUnchangedCaptions) {
    const std::wstring recorder = win32::Win32Environment().programFolder() + L"\\recorder.exe";
    HWND main = start({L"App1=" + recorder + L" -x", L"Caption1=Rec", L"App2=notepad",
                       L"App3=C:\\missing\\gone.exe"});
    HMENU launch = GetSubMenu(GetMenu(main), 0);
    EXPECT_EQ(pictureOf(launch, 0), L"none");  // nothing before a menu opens
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), 0);
    for (DWORD end = GetTickCount() + 5000; GetTickCount() < end && pictureOf(launch, 1) != L"icon";
         Sleep(20)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    EXPECT_EQ(pictureOf(launch, 0) + pictureOf(launch, 1) + pictureOf(launch, 2), L"iconiconblank");
    EXPECT_EQ(readMenu(launch)[0] + L"|" + readMenu(launch)[1], L"2001 Rec|2002 ");
}

// Files dropped from Explorer at a point of the window's client area, as the shell hands them.
HDROP dropOf(const std::vector<std::wstring>& files, POINT at) {
    std::wstring names;
    for (const auto& file : files) names += file + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    *drop = {sizeof(DROPFILES), at, FALSE, TRUE};
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST_F(NativeWindow, AShortcutDroppedOnAPathBoxGivesItsQuotedTargetAndArguments) {
    const std::wstring folder = win32::Win32Environment().programFolder() + L"\\a b";
    CreateDirectoryW(folder.c_str(), nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                     reinterpret_cast<void**>(&link));
    ASSERT_TRUE(link);
    link->SetPath((folder + L"\\tool.exe").c_str());
    link->SetArguments(L"-x \"y z\"");
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    ASSERT_EQ(file->Save((folder + L"\\tool.lnk").c_str(), TRUE), S_OK);
    file->Release();
    link->Release();

    HWND main = start();
    RECT box;  // slot 2's path box, in the window's client area
    GetWindowRect(GetDlgItem(main, ids::kAppBase + 2), &box);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&box), 2);
    const POINT onBox = {box.left + 5, box.top + 5}, beside = {box.left - 5, box.top + 5};
    SendMessageW(main, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({folder + L"\\tool.lnk", L"C:\\b.exe"}, onBox)),
                 0);
    SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({L"C:\\c.exe"}, beside)), 0);
    EXPECT_EQ(slotView(*app.config.get(), 2),
              L"\"" + folder + L"\\tool.exe\" -x \"y z\"||on|item shown: ");
    app.config.get()->mnuHide_Click();  // a hidden window takes nothing
    SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({L"C:\\d.exe"}, onBox)), 0);
    EXPECT_EQ(app.config.get()->App[2]->text(), L"\"" + folder + L"\\tool.exe\" -x \"y z\"");
}

// What a screen reader announces for a control, as the accessibility services read it.
std::wstring nameOf(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return L"(none)";
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    object->Release();
    return text;
}

TEST_F(NativeWindow, EveryControlHasANameThatSaysWhatItIsFor) {
    HWND main = start({L"Caption2=Mail"});
    for (int n = 1; n <= kSlotCount; ++n) {
        const std::pair<int, std::wstring> boxes[] = {
            {ids::kAppBase + n, L"Slot " + std::to_wstring(n) + L" command line"},
            {ids::kCaptionBase + n, L"Slot " + std::to_wstring(n) + L" caption"}};
        for (const auto& [id, name] : boxes) {
            // Named through the accessibility services; where the system keeps no names (Wine
            // answers E_NOTIMPL), the name was asked for all the same.
            HWND box = GetDlgItem(main, id);
            const HRESULT result = win32::accessibleNameResult(box);
            EXPECT_TRUE(result == E_NOTIMPL || (result == S_OK && nameOf(box) == name)) << name;
        }
    }
    // Check boxes and links say their own texts.
    app.group.get()->show();
    EXPECT_EQ(nameOf(GetDlgItem(win32::hwndOf(*app.group.get()), ids::kGroupBoxBase + 2)), L"Mail");
    auto about = app.about.get();
    about->show();
    EXPECT_EQ(nameOf(GetDlgItem(win32::hwndOf(*about), ids::kAboutWebLink)),
              L"https://tillerdock.example/");
    about->unload();
}

// The model is what the program knows; native controls exist for the windows a person sees.
TEST_F(NativeWindow, AStartIntoTheTrayMakesNoControlsAndTheFirstShowMakesThemAsTheModelIsThen) {
    HWND main = start({L"Startup=True", L"App1=a.exe", L"Caption1=A", L"Caption3=C"});
    auto config = app.config.get();
    EXPECT_FALSE(GetWindow(main, GW_CHILD) || GetWindow(win32::hwndOf(*app.group.get()), GW_CHILD));
    config->Caption[1]->setText(L"B");  // edits while hidden: a drop, a restore
    config->App[3]->setText(L"c.exe");
    config->App[1]->setText(L"");
    config->setFocus(*config->App[3]);
    EXPECT_EQ(readMenu(GetSubMenu(GetMenu(main), 0))[2], L"2013 Configure");
    config->mnuConfigure->Click();
    auto box = [&](int id) {
        HWND h = GetDlgItem(main, id);
        return win32::windowText(h) + (IsWindowEnabled(h) ? L"+" : L"-");
    };
    EXPECT_EQ(box(ids::kAppBase + 1) + box(ids::kCaptionBase + 1) + box(ids::kAppBase + 3) +
                  box(ids::kCaptionBase + 3),
              L"+B-c.exe+C+");
    EXPECT_EQ(readMenu(GetSubMenu(GetMenu(main), 0)),
              (Texts{L"2003 C", L"2012 -", L"2014 &Hide", L"2015 -", L"2016 E&xit"}));
    EXPECT_EQ(GetFocus(), GetDlgItem(main, ids::kAppBase + 3));
}

TEST_F(NativeWindow, MovedToAnotherScaleTheWindowTakesTheSuggestedPlaceAndNewFonts) {
    HWND main = start();
    HWND app1 = GetDlgItem(main, ids::kAppBase + 1);
    const auto oldFont = reinterpret_cast<HFONT>(SendMessageW(app1, WM_GETFONT, 0, 0));
    RECT suggested = {100, 80, 100 + 1400, 80 + 800};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    GetWindowRect(app1, &r);
    EXPECT_NEAR(r.right - r.left, 3135 * 192 / 1440, 1);
    // The controls use the new font; the old one is gone.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(app1, WM_GETFONT, 0, 0));
    LOGFONTW described = {};
    EXPECT_NE(font, oldFont);
    EXPECT_TRUE(GetObjectW(font, sizeof(described), &described));
    EXPECT_EQ(described.lfHeight, -MulDiv(825, 192, 7200));
    EXPECT_FALSE(GetObjectW(oldFont, sizeof(described), &described));
}

}  // namespace td::test
