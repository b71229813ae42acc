// Win32 implementations of the platform services.
#pragma once

#include <functional>

#include "platform/command_line.h"
#include "platform/services.h"
#include "platform/win32/win32.h"

namespace td::win32 {

// Text values under HKEY_CURRENT_USER\Software\<application>\<section>, one REG_SZ each.
class RegistrySettingsStore : public SettingsStore {
public:
    StoredValue ReadValue(const std::wstring& appName, const std::wstring& section,
                          const std::wstring& key) override;
    Status WriteSetting(const std::wstring& appName, const std::wstring& section,
                        const std::wstring& key, const std::wstring& value) override;
};

// What a registry value holds for the program: a text, a value of another kind, or nothing.
StoredValue readRegistryValue(HKEY key, const std::wstring& name);

// What exists at a path, as GetFileAttributesW sees it, the program search (SearchPathW), the
// App Paths registrations and the short names of long paths.
class Win32FileSystem : public FileSystem {
public:
    PathKind kind(const std::wstring& path) override;
    std::optional<std::wstring> search(const std::wstring& name) override;
    std::optional<Registration> registeredProgram(const std::wstring& fileName) override;
    std::optional<std::wstring> shortForm(const std::wstring& path) override;
};

// Starts the program a command line names (platform/command_line.h), never one the user did
// not name, with the user's current environment, and does not wait for it. The system's
// consent prompt for a program that asks for administrator rights belongs to the window the
// owner function names (the main window).
class Win32ProgramStarter : public ProgramStarter {
public:
    explicit Win32ProgramStarter(std::function<HWND()> owner = {}) : owner_(std::move(owner)) {}
    bool StartProgram(const std::wstring& commandLine, int showState) override;

private:
    std::function<HWND()> owner_;
};

class Win32MessageBoxes : public MessageBoxes {
public:
    void show(ui::Form* owner, const std::wstring& text, const std::wstring& title,
              int style) override;
    bool ask(ui::Form* owner, const std::wstring& text, const std::wstring& title,
             int style) override;
};

class Win32Shell : public Shell {
public:
    void open(ui::Form& owner, const std::wstring& target) override;
};

class Win32OpenFileDialog : public OpenFileDialog {
public:
    bool showOpen(ui::Form& owner, OpenDialogState& state) override;
};

class Win32Environment : public Environment {
public:
    std::wstring programFolder() override;
};

// From now on a library loaded by name alone comes from the system folder only, never from
// the program's folder (a Downloads folder, say) or the current one. False when the system
// cannot be told.
bool loadLibrariesFromSystemFolderOnly();

// The Open dialog's form of a file-type list: the '|' that ends each description and
// pattern becomes a NUL, and the list ends with two NULs (the second is the string's own).
// An empty list stays empty, meaning no list.
std::wstring dialogFilter(const std::wstring& filter);

}  // namespace td::win32
