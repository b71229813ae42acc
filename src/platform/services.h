// The platform services the window logic uses, each behind a small interface: a Win32
// implementation lives in platform/win32, test doubles in tests/.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace td {

namespace ui {
class Form;
class MenuItem;
}  // namespace ui

// The outcome of an operation that can fail for a reason the user may need to hear.
struct Status {
    bool ok = true;
    std::wstring reason;  // the system's own wording, when not ok

    static Status success() { return {}; }
    static Status failure(std::wstring why) { return {false, std::move(why)}; }
};

// What the store holds for a key: nothing, a text (an expandable text as written, its %
// references unexpanded), or a value of another kind that the program does not read.
struct StoredValue {
    enum class Kind { Absent, Text, Other };
    Kind kind = Kind::Absent;
    std::wstring text;

    bool operator==(const StoredValue&) const = default;
};

// The per-user text store, addressed by application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual StoredValue ReadValue(const std::wstring& appName, const std::wstring& section,
                                  const std::wstring& key) = 0;
    // Creates or replaces the value whole, as text.
    virtual Status WriteSetting(const std::wstring& appName, const std::wstring& section,
                                const std::wstring& key, const std::wstring& value) = 0;
    // The stored text, or the default when the key is absent or holds no text.
    std::wstring ReadSetting(const std::wstring& appName, const std::wstring& section,
                             const std::wstring& key, const std::wstring& defaultValue) {
        StoredValue value = ReadValue(appName, section, key);
        return value.kind == StoredValue::Kind::Text ? value.text : defaultValue;
    }
};

// Show state for a started program: a normal window that is activated.
inline constexpr int kShowNormal = 1;

// Starts a program from a command line without waiting for it; false when it could not.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual bool StartProgram(const std::wstring& commandLine, int showState) = 0;
};

// Message-box style codes in use: an exclamation or information icon, one OK button; and a
// question with an exclamation icon, Yes and No, No the default.
inline constexpr int kExclamationOk = 48;
inline constexpr int kInformationOk = 64;
inline constexpr int kExclamationYesNo = 0x100 | 48 | 4;

// A modal message box; returns when the user has closed it.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // owner may be null. The box comes up in front even when the program shows no window.
    virtual void show(ui::Form* owner, const std::wstring& text, const std::wstring& title,
                      int style) = 0;
    // A question with Yes and No: true when the user answers Yes.
    virtual bool ask(ui::Form* owner, const std::wstring& text, const std::wstring& title,
                     int style) = 0;
};

// A point on the screen, in pixels.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Where a pop-up menu opens: its top-left corner at a point, whether its first item is
// highlighted at once, as when the keyboard opened it, and whether it is kept inside the work
// area of the point's monitor (else only on the screen, as over the taskbar).
struct PopupPlace {
    ScreenPoint at;
    bool fromKeyboard = false;
    bool withinWorkArea = false;
};

// Window services the model cannot express by state alone.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Gives a new form its native window (hidden), before its load runs.
    virtual Status attach(ui::Form& form) = 0;
    // Shows the form modal over its owner; returns when it has closed or been hidden, or at
    // once with the reason when the system refuses to make its window.
    virtual Status showModal(ui::Form& form, ui::Form& owner) = 0;
    virtual void setForeground(ui::Form& form) = 0;
    // Pops up a drop-down menu with the given item drawn as the default; returns when the menu
    // has closed, true when an item was chosen. The chosen item's handler runs afterwards.
    virtual bool popupMenu(ui::Form& form, ui::MenuItem& menu, ui::MenuItem* defaultItem,
                           const PopupPlace& place) = 0;
    // Whether a menu of the form is open (its menu bar's, or a pop-up), and closing it.
    virtual bool menuOpen(ui::Form& form) = 0;
    virtual void closeMenu() = 0;
    // While a modal window of the program is open over the form (a window shown modally, a
    // message box, the Open dialog), brings it to the front and returns true.
    virtual bool bringModalToFront(ui::Form& form) = 0;
    // Runs the callback once after the delay, on the user-interface thread; false when the
    // system has no timer to give.
    virtual bool runAfter(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
};

// The one notification-area icon of the run.
struct TrayIconData {
    std::uint32_t id = 1;
    std::wstring tip;
};

// What the user did to the notification-area icon, or the shell's news about it, decoded by
// the tray service from whatever the shell sends.
enum class TrayAction {
    Activate,        // the icon's default action: a double-click, or Enter on the icon
    ContextMenu,     // the icon's menu: a right click, or the keyboard's menu key
    ShellRestarted,  // the notification area is new and holds no icon
};

struct TrayEvent {
    TrayAction action = TrayAction::Activate;
    // Where a menu opens, and whether the keyboard asked for it.
    PopupPlace place;
};

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // From now on the icon's events, and the shell's restarts, reach the handler.
    virtual void listen(ui::Form& owner, std::function<void(const TrayEvent&)> handler) = 0;
    // The icon shows the owner's own icon.
    virtual bool add(ui::Form& owner, const TrayIconData& data) = 0;
    virtual void remove(ui::Form& owner, const TrayIconData& data) = 0;
    // Gives the keyboard focus back to the notification area, where the user left it to open
    // the icon's menu, when the menu closed without a choice.
    virtual void returnFocus(ui::Form& owner, const TrayIconData& data) = 0;
};

// Opens a document or address with the shell's "Open" verb; the result is not reported.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(ui::Form& owner, const std::wstring& target) = 0;
};

// The state of the one Open dialog of a window, kept between uses.
struct OpenDialogState {
    std::wstring filter;  // description and pattern pairs, each text ended by '|'
    int filterIndex = 1;  // 1-based
    std::uint32_t flags = 0;
    std::wstring fileName;  // offered when the dialog opens; the choice afterwards
};

// The Open dialog's options, as the platform numbers them.
inline constexpr std::uint32_t kOpenHideReadOnly = 4;

class OpenFileDialog {
public:
    virtual ~OpenFileDialog() = default;
    // Shows the Open dialog modal to the owner. Returns false when the user cancels or the
    // dialog fails; on true, state.fileName holds the full path of the chosen file.
    virtual bool showOpen(ui::Form& owner, OpenDialogState& state) = 0;
};

// A key combination as the system's hot-key control holds it: the virtual key in the low byte,
// the modifiers in the high byte (kHotKeyShift, kHotKeyControl, kHotKeyAlt, kHotKeyExtended);
// 0 for none.
using HotKeyCombination = std::uint16_t;
inline constexpr unsigned kHotKeyShift = 1, kHotKeyControl = 2, kHotKeyAlt = 4,
                          kHotKeyExtended = 8;

// The one system-wide shortcut of the program, whatever program is in the foreground.
class HotKey {
public:
    virtual ~HotKey() = default;
    // From now on a press of the shortcut reaches the handler, with where the pointer is.
    virtual void listen(ui::Form& owner, std::function<void(const PopupPlace&)> pressed) = 0;
    // Makes the combination the shortcut (0: none). The one in force stays until the new one
    // is registered; false when the system refuses it (another program holds it).
    virtual bool set(ui::Form& owner, HotKeyCombination combination) = 0;
    // The combination as the user sees it: "Ctrl+Alt+L".
    virtual std::wstring describe(HotKeyCombination combination) = 0;
    // What the combination types on the user's current keyboard layout, where Ctrl+Alt is
    // AltGr on many ("ł" for Ctrl+Alt+L on a Polish keyboard); empty when it types nothing
    // but control characters.
    virtual std::wstring typedText(HotKeyCombination combination) = 0;
    // Gives the foreground back to the window that had it when the shortcut was pressed.
    virtual void returnFocus() = 0;
};

// Where Group Policy keeps an application's settings, under the computer's and the user's
// part of the registry alike.
inline std::wstring policyKeyPath(const std::wstring& appName, const std::wstring& section) {
    return L"Software\\Policies\\" + appName + L"\\" + section;
}

// Whose policy: the computer's, for every user of it, or the user's own.
enum class PolicyScope { Computer, User };

// The settings an organisation sets through Group Policy; the program only reads them.
class PolicySource {
public:
    virtual ~PolicySource() = default;
    // The texts the scope's policy sets for the keys named, by key; a key it does not set, or
    // sets to a value of another kind than text, is left out.
    virtual std::map<std::wstring, std::wstring> readPolicy(
        PolicyScope scope, const std::wstring& appName, const std::wstring& section,
        const std::vector<std::wstring>& keys) = 0;
    // From now on, news that policy may have changed reaches the handler, on the user-interface
    // thread.
    virtual void listen(ui::Form& owner, std::function<void()> changed) = 0;
};

class Environment {
public:
    virtual ~Environment() = default;
    // The folder of the program's own executable file, without a trailing backslash unless
    // it is a drive's root.
    virtual std::wstring programFolder() = 0;
};

struct Services {
    SettingsStore& store;
    ProgramStarter& starter;
    MessageBoxes& messages;
    WindowSystem& windows;
    TrayIcon& tray;
    Shell& shell;
    OpenFileDialog& openDialog;
    Environment& environment;
    HotKey& hotKey;
    PolicySource& policies;
};

}  // namespace td
