#include "driver.h"

#include <cstdio>
#include <thread>

namespace td::e2e {

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Brackenfold\\Quaymaster";

void pressKey(HWND window, UINT virtualKey) {
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

}  // namespace

std::wstring testFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

void clearSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

void setSetting(const std::wstring& key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

Keys settings() {
    Keys keys;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return keys;
    wchar_t name[256], value[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, bytes = sizeof(value) - sizeof(wchar_t);
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                          &bytes) != ERROR_SUCCESS)
            break;
        value[bytes / sizeof(wchar_t)] = L'\0';
        keys[name] = value;
    }
    RegCloseKey(key);
    return keys;
}

Keys savedSlots(const Keys& slots, bool startup) {
    Keys keys{{L"Startup", startup ? L"True" : L"False"}};
    for (int n = 1; n <= 10; ++n) {
        keys[L"App" + std::to_wstring(n)] = L"";
        keys[L"Caption" + std::to_wstring(n)] = L"";
    }
    for (const auto& [key, value] : slots) keys[key] = value;
    return keys;
}

Tillerdock::Tillerdock(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        return;
    // Found once its controls exist, shown or not.
    waitFor(
        [this] {
            for (HWND h : windows(ids::kConfigClass, nullptr, true))
                if (GetDlgItem(h, ids::kExit)) main = h;
            return main != nullptr;
        },
        10s);
}

Tillerdock::~Tillerdock() {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool Tillerdock::pickTrayItem(int index) const {
    tray(WM_RBUTTONUP);
    HWND menu = waitForWindow(L"#32768");
    for (int i = 0; i <= index; ++i) pressKey(menu, VK_DOWN);
    pressKey(menu, VK_RETURN);
    return menu && waitFor([&] { return windows(L"#32768").empty(); });
}

std::vector<HWND> Tillerdock::windows(const wchar_t* className, const wchar_t* title,
                                      bool hiddenToo) const {
    std::pair<DWORD, std::vector<HWND>> search{process_.dwProcessId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto& [wanted, found] = *reinterpret_cast<decltype(search)*>(lParam);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == wanted) found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::erase_if(search.second, [&](HWND h) {
        wchar_t name[128] = {};
        GetClassNameW(h, name, 128);
        return (!hiddenToo && !IsWindowVisible(h)) || (className && wcscmp(name, className)) ||
               (title && windowText(h) != title);
    });
    return search.second;
}

HWND Tillerdock::waitForWindow(const wchar_t* className, const wchar_t* title) const {
    std::vector<HWND> found;
    waitFor([&] { return !(found = windows(className, title)).empty(); }, 10s);
    return found.empty() ? nullptr : found.front();
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return text;
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

bool saveImage(HWND window, const std::wstring& name) {
    RECT r = {};
    GetWindowRect(window, &r);
    const std::vector<DWORD> pixels = capture(r);
    const DWORD bytes = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    const BITMAPINFOHEADER info = {sizeof(info), r.right - r.left, r.top - r.bottom, 1, 32};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
    const BITMAPFILEHEADER header = {0x4D42, offset + bytes, 0, 0, offset};  // "BM"
    FILE* file = _wfopen((testFolder() + name).c_str(), L"wb");
    if (!file) return false;
    fwrite(&header, sizeof(header), 1, file);
    fwrite(&info, sizeof(info), 1, file);
    const bool written = bytes > 0 && fwrite(pixels.data(), 1, bytes, file) == bytes;
    return fclose(file) == 0 && written;
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
    FILE* file = _wfopen(path_.c_str(), L"rb");
    char line[4096];
    while (file && fgets(line, sizeof(line), file)) {
        wchar_t wide[4096] = {};
        MultiByteToWideChar(CP_UTF8, 0, line, -1, wide, 4096);
        lines.emplace_back(wide, wcscspn(wide, L"\n"));
    }
    if (file) fclose(file);
    return lines;
}

}  // namespace td::e2e
