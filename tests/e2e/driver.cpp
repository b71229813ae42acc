#include "driver.h"

#include <string_view>

#include "drive/files.h"

namespace td::e2e {

Tillerdock::Tillerdock(const std::wstring& exe)
    : process_(drive::startProcess(drive::quoted(exe))) {
    if (!process_) return;
    // Found once it exists, shown or not. Its controls come with its first show, which a start
    // into the tray never makes: a test that wants them shows the window first.
    waitFor(
        [this] {
            const auto found = windows(ids::kConfigClass, nullptr, true);
            main = found.empty() ? nullptr : found.front();
            return main != nullptr;
        },
        10s);
}

Tillerdock::~Tillerdock() {
    if (!process_) return;
    TerminateProcess(process_.handle.get(), 1);
    WaitForSingleObject(process_.handle.get(), 5000);
}

bool Tillerdock::pickTrayItem(int index, bool keyboard) const {
    // From the keyboard (Shift+F10 on the icon), the menu opens with its first item lit.
    if (keyboard)
        PostMessageW(main, win32::kTrayCallbackMessage, MAKEWPARAM(200, 200),
                     MAKELPARAM(WM_CONTEXTMENU, ids::kTrayIconId));
    else
        tray(WM_RBUTTONUP);
    HWND menu = waitForWindow(L"#32768");
    for (int i = keyboard ? 1 : 0; i <= index; ++i) drive::pressKey(menu, VK_DOWN);
    drive::pressKey(menu, VK_RETURN);
    return menu && waitFor([&] { return windows(L"#32768").empty(); });
}

std::vector<HWND> Tillerdock::windows(const wchar_t* className, const wchar_t* title,
                                      bool hiddenToo) const {
    std::vector<HWND> found = drive::topLevelWindows(process_.id, className);
    std::erase_if(found, [&](HWND h) {
        return (!hiddenToo && !IsWindowVisible(h)) || (title && windowText(h) != title);
    });
    return found;
}

HWND Tillerdock::waitForWindow(const wchar_t* className, const wchar_t* title) const {
    std::vector<HWND> found;
    waitFor([&] { return !(found = windows(className, title)).empty(); }, 10s);
    return found.empty() ? nullptr : found.front();
}

HWND focusOf(HWND window) {
    GUITHREADINFO info = {sizeof(info)};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

std::vector<DWORD> capture(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
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

Recording::Recording() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = temp + (L"tillerdock-e2e-" + std::to_wstring(GetCurrentProcessId()) + L".txt");
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(L"TILLERDOCK_RECORD", path_.c_str());
}

std::vector<std::wstring> Recording::lines() const {
    std::vector<std::wstring> lines;
    const std::string text = drive::readFile(path_).value_or("");
    // The recorder writes each line whole, ending in '\n'.
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(drive::widen(std::string_view(text).substr(at, end - at)));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

}  // namespace td::e2e
