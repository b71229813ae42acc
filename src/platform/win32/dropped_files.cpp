#include "platform/win32/dropped_files.h"

#include <cwctype>

#include "platform/command_line.h"
#include "platform/win32/com.h"
// The shell's link object builds on the COM headers.
#include <shlobj.h>

namespace td::win32 {

std::optional<Drop> takeDrop(HDROP drop) {
    std::optional<Drop> taken;
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length > 0) {
        Drop first{std::wstring(length + 1, L'\0'), {}, false};
        first.file.resize(DragQueryFileW(drop, 0, first.file.data(), length + 1));
        first.inClientArea = DragQueryPoint(drop, &first.at) != FALSE;
        taken = std::move(first);
    }
    DragFinish(drop);
    return taken;
}

std::wstring commandLineOfDropped(const std::wstring& file) {
    std::wstring extension = file.substr(file.size() < 4 ? 0 : file.size() - 4);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    if (extension != L".lnk") return file;
    // The shortcut's own record, read as it is: no search for a target that has moved.
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> stored;
    if (FAILED(createComObject(CLSID_ShellLink, IID_IShellLinkW, link.out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, stored.out())) ||
        FAILED(stored->Load(file.c_str(), STGM_READ)))
        return file;
    std::wstring target(32768, L'\0'), arguments(32768, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0) != S_OK)
        return file;
    link->GetArguments(arguments.data(), static_cast<int>(arguments.size()));
    target.resize(target.find(L'\0'));
    arguments.resize(arguments.find(L'\0'));
    return commandLineOf(target, arguments);
}

}  // namespace td::win32
