// Test doubles for the platform services: they record what the program asks of the
// platform, in order, and answer as a test scripts them.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/frmConfig.h"
#include "platform/services.h"
#include "platform/ui/form.h"

namespace td::test {

class FakeStore : public SettingsStore {
public:
    std::map<std::wstring, std::wstring> values;         // by key; one section only
    std::vector<std::wstring> log;                       // "read Key" / "write Key=Value"
    std::map<std::wstring, std::wstring> failingWrites;  // key -> reason

    std::wstring ReadSetting(const std::wstring& appName, const std::wstring& section,
                             const std::wstring& key, const std::wstring& defaultValue) override;
    Status WriteSetting(const std::wstring& appName, const std::wstring& section,
                        const std::wstring& key, const std::wstring& value) override;

    std::vector<std::wstring> writes() const;  // keys written, in order
    std::vector<std::wstring> reads() const;   // keys read, in order
    void clearLog() { log.clear(); }
};

class FakeStarter : public ProgramStarter {
public:
    std::vector<std::wstring> started;  // every command line asked for, in order
    std::vector<int> showStates;        // the show state of each, in the same order
    std::set<std::wstring> failing;     // command lines that fail to start
    std::function<void(const std::wstring&)> onStart;

    StartResult StartProgram(const std::wstring& commandLine, int showState) override;
};

struct ShownMessage {
    ui::Form* owner;
    std::wstring text;
    std::wstring title;
    int style;
};

class FakeMessages : public MessageBoxes {
public:
    std::vector<ShownMessage> shown;
    std::function<void(const ShownMessage&)> onShow;
    void show(ui::Form* owner, const std::wstring& text, const std::wstring& title,
              int style) override;
};

class FakeWindows : public WindowSystem {
public:
    std::vector<std::wstring> log;  // "attach X", "modal X", "foreground X", "popup X default Y"
    // What the user would see of each attached form: "X shown", "X hidden", "X closed".
    std::vector<std::wstring> visibility;
    std::function<void(ui::Form&)> whileModal;  // runs while a modal window is up
    std::function<void()> whilePopup;           // runs while a pop-up menu is up
    ui::MenuItem* lastDefault = nullptr;
    std::vector<std::pair<std::chrono::milliseconds, std::function<void()>>> timers;

    void attach(ui::Form& form) override;
    void showModal(ui::Form& form, ui::Form& owner) override;
    void setForeground(ui::Form& form) override;
    void popupMenu(ui::Form& form, ui::MenuItem& menu, ui::MenuItem* defaultItem) override;
    void runAfter(std::chrono::milliseconds delay, std::function<void()> callback) override;
    // Runs the timers due so far, oldest first, including those they schedule.
    void runTimers();
};

class FakeTray : public TrayIcon {
public:
    std::vector<std::wstring> log;  // "add" / "remove"
    int refuseAdds = 0;             // the next this many adds fail
    bool present = false;
    TrayIconData lastData;
    std::function<void()> onRemove;
    bool add(ui::Form& owner, const TrayIconData& data) override;
    void remove(ui::Form& owner, const TrayIconData& data) override;
};

class FakeShell : public Shell {
public:
    std::vector<std::wstring> opened;
    std::vector<ui::Form*> owners;
    void open(ui::Form& owner, const std::wstring& target) override;
};

class FakeOpenDialog : public OpenFileDialog {
public:
    std::vector<OpenDialogState> shownWith;        // the state as each showing found it
    std::function<bool(OpenDialogState&)> answer;  // default: cancel
    bool showOpen(ui::Form& owner, OpenDialogState& state) override;
};

class FakeEnvironment : public Environment {
public:
    std::wstring folder = L"C:\\Program Files\\Tillerdock";
    std::wstring programFolder() override { return folder; }
};

// Every double together, and an application built on them.
struct Fixture {
    FakeStore store;
    FakeStarter starter;
    FakeMessages messages;
    FakeWindows windows;
    FakeTray tray;
    FakeShell shell;
    FakeOpenDialog openDialog;
    FakeEnvironment environment;
    Application app{
        Services{store, starter, messages, windows, tray, shell, openDialog, environment}};

    // Starts the program on these stored values and returns its main window.
    std::shared_ptr<frmConfig> start(std::map<std::wstring, std::wstring> stored = {});
};

// The keys of the main window (21) and of the group window (11), in saving order.
std::vector<std::wstring> mainWindowKeys();
std::vector<std::wstring> groupWindowKeys();
// The store's log of writing these keys in order: the values given, `rest` for the others.
std::vector<std::wstring> writesOf(const std::vector<std::wstring>& keys,
                                   const std::map<std::wstring, std::wstring>& values,
                                   const std::wstring& rest);

// The main window as the user sees it: "shown" or "hidden", "normal" or "minimised", and
// which of "Configure" and "Hide" the menu offers ("Configure", "Hide", or "both"/"neither").
std::wstring windowView(const frmConfig& config);
// A slot as the user sees it: "path|caption|caption box on/off|item shown/hidden: caption".
std::wstring slotView(const frmConfig& config, int slot);
// The slots whose launch-menu items are enabled.
std::vector<int> enabledSlots(const frmConfig& config);

}  // namespace td::test
