// The real program's windows laid out for the screen's DPI: controls where their twips put
// them, every label's whole text on one line, whatever face stands in for the windows' font.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"

namespace td::e2e {
namespace {

// What the screen shows in an area, row by row from the top, 0x00RRGGBB a pixel.
std::vector<DWORD> capture(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB}};  // top-down
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// Whether each label shows its whole text on one line: moved into an empty strip grown below
// the window, at twice its width and three times its height, what it draws is no wider and no
// taller than the label itself (a wrapped text would draw below it, a cut one beyond it).
void expectWholeTexts(HWND window, const std::vector<int>& labels) {
    RECT frame = {}, client = {}, r = {};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    int widest = 0, tallest = 0;
    for (int id : labels) {
        GetClientRect(GetDlgItem(window, id), &r);
        widest = std::max<int>(widest, r.right);
        tallest = std::max<int>(tallest, r.bottom);
    }
    SetWindowPos(window, nullptr, 0, 0, std::max<int>(frame.right - frame.left, 2 * widest + 40),
                 frame.bottom - frame.top + 3 * tallest + 24, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : labels) {
        HWND label = GetDlgItem(window, id);
        GetClientRect(label, &r);
        const int w = r.right, h = r.bottom;
        SetWindowPos(label, HWND_TOP, 8, client.bottom + 8, 2 * w, 3 * h, SWP_NOACTIVATE);
        RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Sleep(100);
        GetWindowRect(label, &r);
        const std::vector<DWORD> pixels = capture(r);
        ShowWindow(label, SW_HIDE);
        int left = 2 * w, right = -1, bottom = -1;
        for (int i = 0; i < 6 * w * h; ++i) {
            if (pixels[i] == pixels.back()) continue;
            left = std::min(left, i % (2 * w));
            right = std::max(right, i % (2 * w));
            bottom = std::max(bottom, i / (2 * w));
        }
        EXPECT_TRUE(right - left < w && bottom < h) << windowText(label);
    }
}

TEST(LayoutE2E, At96And144DpiControlsSitAtTheirTwipsAndEveryLabelShowsItsWholeText) {
    // Raw pixels of the program's windows, whatever this driver's own scale.
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const wchar_t* desktop = L"Control Panel\\Desktop";
    for (DWORD dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        RegSetKeyValueW(HKEY_CURRENT_USER, desktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
        clearSettings();
        Tillerdock td;
        RegDeleteKeyValueW(HKEY_CURRENT_USER, desktop, L"LogPixels");  // read at the start
        ASSERT_TRUE(td.waitShown(true));
        if (dpi == 144) {
            // Twips of the client area (the slots' frame sits at 45, -15) are tenths of a
            // pixel at 144 DPI.
            auto expectAt = [&](int id, int left, int top, int width, int height) {
                RECT r = {};
                GetWindowRect(td.control(id), &r);
                MapWindowPoints(nullptr, td.main, reinterpret_cast<POINT*>(&r), 2);
                const LONG got[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
                const int want[] = {left, top, width, height};
                for (int i = 0; i < 4; ++i)
                    EXPECT_NEAR(got[i], want[i] / 10.0, 2) << id << "," << i;
            };
            expectAt(ids::kAppBase + 1, 45 + 120, -15 + 600, 3135, 285);
            expectAt(ids::kBrowseBase + 10, 45 + 7800, -15 + 3945, 975, 375);
            expectAt(ids::kExit, 7905, 4530, 1065, 345);
            RECT client = {};
            GetClientRect(td.main, &client);
            EXPECT_NEAR(client.right, 900, 2);
            EXPECT_NEAR(client.bottom, 494, 2);
        }
        td.command(ids::kMenuGroup);
        HWND group = td.waitForWindow(ids::kGroupClass, ids::kGroupTitle);
        ASSERT_TRUE(group);
        expectWholeTexts(group, {ids::kGroupHeading, ids::kGroupNotice});
        click(GetDlgItem(group, ids::kGroupCancel));
        ASSERT_TRUE(waitFor([&] { return !IsWindow(group) && IsWindowEnabled(td.main); }));
        td.command(ids::kMenuAbout);
        HWND about = td.waitForWindow(ids::kAboutClass, ids::kAboutTitle);
        ASSERT_TRUE(about);
        expectWholeTexts(about, {ids::kAboutVersion, ids::kAboutBuildDate, ids::kAboutWebLabel,
                                 ids::kAboutWebLink, ids::kAboutMailLabel, ids::kAboutMailLink,
                                 ids::kAboutNotice});
        click(GetDlgItem(about, ids::kAboutClose));
        ASSERT_TRUE(waitFor([&] { return !IsWindow(about) && IsWindowEnabled(td.main); }));
        td.command(ids::kMenuShortcut);
        HWND shortcut = td.waitForWindow(ids::kShortcutClass, ids::kShortcutTitle);
        ASSERT_TRUE(shortcut);
        expectWholeTexts(shortcut, {ids::kShortcutText});
        click(GetDlgItem(shortcut, ids::kShortcutCancel));
        ASSERT_TRUE(waitFor([&] { return !IsWindow(shortcut) && IsWindowEnabled(td.main); }));
        std::vector<int> captionLabels;
        for (int n = 1; n <= 10; ++n) captionLabels.push_back(ids::kCaptionLabelBase + n);
        expectWholeTexts(td.main, captionLabels);
    }
}

}  // namespace
}  // namespace td::e2e
