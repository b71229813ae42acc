#include "driver.h"

#include <shellapi.h>

#include <sstream>
#include <thread>

#include "app/window_ids.h"

namespace td::e2e {

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Brackenfold\\Quaymaster";

struct FindContext {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM lParam) {
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != context->processId) return TRUE;
    wchar_t className[128] = {};
    GetClassNameW(hwnd, className, 128);
    if (context->className && wcscmp(className, context->className) != 0) return TRUE;
    if (context->title && windowText(hwnd) != context->title) return TRUE;
    context->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD processId, const wchar_t* className, const wchar_t* title) {
    FindContext context{processId, className, title, {}};
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&context));
    return context.found;
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

void clearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

void setSetting(const std::wstring& key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> getSetting(const std::wstring& key) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcslen(value.c_str()));
    return value;
}

Tillerdock::Tillerdock() {
    std::wstring commandLine = L"\"" + testFolder() + L"tillerdock.exe\"";
    STARTUPINFOW startup = {sizeof(startup)};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        return;
    WaitForInputIdle(process_.hProcess, 10000);
    waitFor([this] {
        auto found = topLevelWindows(process_.dwProcessId, ids::kConfigClass, nullptr);
        if (found.empty()) return false;
        main_ = found.front();
        return GetDlgItem(main_, ids::kExit) != nullptr;
    }, 10s);
}

Tillerdock::~Tillerdock() {
    if (!process_.hProcess) return;
    if (running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool Tillerdock::running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Tillerdock::waitForExit(std::chrono::milliseconds timeout) {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

void Tillerdock::command(int id) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void Tillerdock::click(int controlId) const { PostMessageW(control(controlId), BM_CLICK, 0, 0); }

void Tillerdock::setText(int controlId, const std::wstring& text) const {
    SendMessageW(control(controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring Tillerdock::text(int controlId) const { return windowText(control(controlId)); }

void Tillerdock::type(int controlId, const std::wstring& text) const {
    HWND box = control(controlId);
    for (wchar_t c : text) SendMessageW(box, WM_CHAR, c, 1);
}

void Tillerdock::trayEvent(UINT mouseMessage) const {
    PostMessageW(main_, ids::kTrayCallback, ids::kTrayIconId, mouseMessage);
}

HWND Tillerdock::findWindow(const wchar_t* className, const wchar_t* title) const {
    auto found = topLevelWindows(process_.dwProcessId, className, title);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> Tillerdock::windows() const {
    return topLevelWindows(process_.dwProcessId, nullptr, nullptr);
}

HWND waitForMessageBox(DWORD processId, const std::wstring& title,
                       std::chrono::milliseconds timeout) {
    HWND box = nullptr;
    waitFor([&] {
        for (HWND h : topLevelWindows(processId, L"#32770", title.c_str()))
            if (IsWindowVisible(h)) box = h;
        return box != nullptr;
    }, timeout);
    return box;
}

std::wstring messageBoxText(HWND box) { return windowText(GetDlgItem(box, 0xFFFF)); }

void closeMessageBox(HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }

std::wstring windowText(HWND hwnd) {
    const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

RECT childRect(HWND parent, int id) {
    RECT r = {};
    GetWindowRect(GetDlgItem(parent, id), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring recorderPath() { return testFolder() + L"recorder.exe"; }

Recording::Recording() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"tillerdock-e2e-" + std::to_wstring(GetCurrentProcessId()) +
            L".txt";
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(L"TILLERDOCK_RECORD", path_.c_str());
}

Recording::~Recording() { DeleteFileW(path_.c_str()); }

std::vector<std::wstring> Recording::lines() const {
    std::string bytes;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        CloseHandle(file);
    }
    std::vector<std::wstring> result;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        const int size = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                             nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(),
                            size);
        result.push_back(wide);
    }
    return result;
}

bool Recording::waitForLines(std::size_t n, std::chrono::milliseconds timeout) const {
    return waitFor([&] { return lines().size() >= n; }, timeout);
}

std::vector<HWND> windowsOf(DWORD processId, const wchar_t* className, const wchar_t* title) {
    return topLevelWindows(processId, className, title);
}

HWND waitForVisibleWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                          std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    waitFor([&] {
        for (HWND h : topLevelWindows(processId, className, title))
            if (IsWindowVisible(h)) found = h;
        return found != nullptr;
    }, timeout);
    return found;
}

HWND openPopupMenu(DWORD processId) {
    for (HWND h : topLevelWindows(processId, L"#32768", nullptr))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

void pressKey(HWND window, UINT virtualKey) {
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

HWND focusedWindow(HWND window) {
    GUITHREADINFO info = {sizeof(info)};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool trayIconPresent(HWND owner, UINT id) {
    // A change that changes nothing succeeds only for an icon the shell holds.
    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = owner;
    icon.uID = id;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

bool removeTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW icon = {sizeof(icon)};
    icon.hWnd = owner;
    icon.uID = id;
    return Shell_NotifyIconW(NIM_DELETE, &icon) != FALSE;
}

std::vector<std::uint32_t> screenPixels(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};  // top-down
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> pixels;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const auto* first = static_cast<const std::uint32_t*>(bits);
            pixels.assign(first, first + static_cast<std::size_t>(width) * height);
            for (auto& p : pixels) p &= 0xFFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool saveWindowImage(HWND window, const std::wstring& path) {
    RECT r = {};
    if (!GetWindowRect(window, &r)) return false;
    const std::vector<std::uint32_t> pixels = screenPixels(r);
    if (pixels.empty()) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int stride = (width * 3 + 3) & ~3;
    // A BMP file holds its rows from the bottom up, three bytes a pixel (blue, green, red).
    std::string image(static_cast<std::size_t>(stride) * height, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            char* out = &image[static_cast<std::size_t>(height - 1 - y) * stride + x * 3];
            out[0] = static_cast<char>(p & 0xFF);
            out[1] = static_cast<char>((p >> 8) & 0xFF);
            out[2] = static_cast<char>((p >> 16) & 0xFF);
        }
    BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB};
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(image.size());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, &header, sizeof(header), &written, nullptr) &&
                    WriteFile(file, &info, sizeof(info), &written, nullptr) &&
                    WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written,
                              nullptr);
    CloseHandle(file);
    return ok;
}

}  // namespace td::e2e
