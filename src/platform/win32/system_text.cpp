#include "platform/win32/system_text.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/win32/handles.h"

namespace td::win32 {

std::wstring errorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const Unique<wchar_t*, &LocalFree> owned(buffer);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    const auto end = text.find_last_not_of(L"\r\n \t");
    text.resize(end == std::wstring::npos ? 0 : end + 1);
    if (text.empty()) return L"Error " + decimalText(static_cast<long>(error)) + L".";
    return text;
}

std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

}  // namespace td::win32
