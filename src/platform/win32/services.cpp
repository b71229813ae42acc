// The smaller platform services: message box, shell open, the Open dialog and the program's
// folder.
#include "platform/win32/services.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/win32/com.h"
#include "platform/win32/form_view.h"

namespace td::win32 {

namespace {

// Room for the longest path the system accepts, in the Open dialog and for the module name.
constexpr DWORD kLongPathChars = 32768;

HWND windowOf(ui::Form* form) {
    return form ? hwndOf(*form) : nullptr;
}

}  // namespace

bool loadLibrariesFromSystemFolderOnly() {
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

std::wstring dialogFilter(const std::wstring& filter) {
    if (filter.empty()) return filter;
    std::wstring list = filter;
    std::replace(list.begin(), list.end(), L'|', L'\0');
    if (list.back() != L'\0') list.push_back(L'\0');
    return list;
}

bool Win32MessageBoxes::ask(ui::Form* owner, const std::wstring& text, const std::wstring& title,
                            int style) {
    const HWND window = windowOf(owner);
    // The box must come up in front of other programs even while the program is only an
    // icon in the tray; with no visible owner nothing else would lift it.
    UINT type = static_cast<UINT>(style) | MB_SETFOREGROUND;
    if (!window || !IsWindowVisible(window)) type |= MB_TOPMOST;
    // A box that cannot be shown answers no.
    return MessageBoxW(window, text.c_str(), title.c_str(), type) == IDYES;
}

void Win32MessageBoxes::show(ui::Form* owner, const std::wstring& text, const std::wstring& title,
                             int style) {
    // The box has one button, so its answer says nothing; a box that cannot be shown leaves
    // nothing for the program to do.
    ask(owner, text, title, style);
}

void Win32Shell::open(ui::Form& owner, const std::wstring& target) {
    // The shell may hand "Open" to COM components (mail and web handlers).
    startCom();
    // The shell reports its own failures to the user; the program does not look.
    ShellExecuteW(hwndOf(owner), L"Open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

namespace {

// The common dialog library is loaded at the first Browse: most runs never open it, and at
// start-up it would bring the printing libraries it depends on.
struct CommonDialogs {
    decltype(&GetOpenFileNameW) getOpenFileName = nullptr;
    decltype(&CommDlgExtendedError) extendedError = nullptr;
};

const CommonDialogs& commonDialogs() {
    static const CommonDialogs dialogs = [] {
        CommonDialogs d;
        d.getOpenFileName =
            systemFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
        d.extendedError = systemFunction<decltype(&CommDlgExtendedError)>(L"comdlg32.dll",
                                                                          "CommDlgExtendedError");
        return d;
    }();
    return dialogs;
}

// The process's current folder, put back when this goes.
class CurrentFolderKept {
public:
    CurrentFolderKept() : folder_(GetCurrentDirectoryW(0, nullptr), L'\0') {
        folder_.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder_.size()), folder_.data()));
    }
    ~CurrentFolderKept() {
        if (!folder_.empty()) SetCurrentDirectoryW(folder_.c_str());
    }

private:
    std::wstring folder_;
};

}  // namespace

bool Win32OpenFileDialog::showOpen(ui::Form& owner, OpenDialogState& state) {
    const CommonDialogs& dialogs = commonDialogs();
    if (!dialogs.getOpenFileName || !dialogs.extendedError) return false;
    // The dialog moves the process's current folder to wherever the user went (a flag that
    // asks it not to does not hold for the Open dialog), and the search for a program without
    // a folder looks there first: it would find a program of that folder's, not the system's.
    const CurrentFolderKept folder;
    const std::wstring filter = dialogFilter(state.filter);
    std::vector<wchar_t> file(kLongPathChars, L'\0');

    OPENFILENAMEW dialog = {sizeof(dialog)};
    dialog.hwndOwner = hwndOf(owner);
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(std::max(state.filterIndex, 0));
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kLongPathChars;
    // The caller's options exactly. OFN_EXPLORER is not added: without hooks or templates
    // the dialog has the Explorer look anyway, and nothing else may be added that would
    // make it insist on an existing file.
    dialog.Flags = state.flags;

    const auto offer = [&](const std::wstring& name) {
        std::fill(file.begin(), file.end(), L'\0');
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), file.size() - 1),
                    file.begin());
    };
    offer(state.fileName);
    bool chosen = dialogs.getOpenFileName(&dialog) != FALSE;
    // A name the dialog refuses to offer would keep Browse from ever opening: try again
    // with none.
    if (!chosen && dialogs.extendedError() == FNERR_INVALIDFILENAME && !state.fileName.empty()) {
        offer(std::wstring());
        chosen = dialogs.getOpenFileName(&dialog) != FALSE;
    }
    // Cancel, or a dialog that failed: the caller ends quietly and keeps its file name.
    if (!chosen) return false;
    state.fileName = file.data();
    state.filterIndex = static_cast<int>(dialog.nFilterIndex);
    return true;
}

std::wstring Win32Environment::programFolder() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(name.size());
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0) return std::wstring();
        // A name that fills the buffer has been cut short.
        if (length < size) return folderOf(std::wstring(name.data(), length));
        if (size >= kLongPathChars) return std::wstring();
        name.resize(std::min<std::size_t>(name.size() * 2, kLongPathChars));
    }
}

}  // namespace td::win32
