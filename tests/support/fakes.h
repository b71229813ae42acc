// One test double for every platform service: it records what the program asks of the
// platform, in order, and answers as a test scripts it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/application.h"
#include "app/frmConfig.h"

namespace td::test {

using Texts = std::vector<std::wstring>;
using std::to_wstring;

// Stands in for a native window: logs what the user would see of the form, and its end.
struct RecordingView : ui::FormView {
    RecordingView(Texts& log, const ui::Form& form) : log(log), caption(form.caption()) {}
    ~RecordingView() override { log.push_back(caption + L" destroyed"); }
    void controlChanged(ui::Control&, ui::Property) override {}
    void formChanged(ui::Form& form, ui::Property property) override {
        if (property == ui::Property::Visible)
            log.push_back(caption + (form.visible() ? L" shown" : L" hidden"));
    }
    void formUnloaded(ui::Form&) override { log.push_back(caption + L" closed"); }
    Texts& log;
    const std::wstring caption;
};

struct Fake : SettingsStore,
              ProgramStarter,
              MessageBoxes,
              WindowSystem,
              TrayIcon,
              Shell,
              OpenFileDialog,
              Environment,
              HotKey,
              PolicySource {
    // What the program asked for, in order: windows, tray icon, timers, messages, programs,
    // links and dialogs. The store keeps its own: keys read, and "Key=Value" written.
    Texts log, reads, writes;
    std::map<std::wstring, std::wstring> stored, failingWrites;  // the latter: key -> reason
    std::set<std::wstring> otherKinds, failingStarts;  // keys not stored as text; command lines
    int refusedIcons = 0;                              // the next this many adds fail
    bool iconPresent = false, refuseWindows = false, noTimers = false;
    std::function<void(const TrayEvent&)> trayHandler;
    std::function<void(const PopupPlace&)> hotKeyHandler;
    bool menuIsOpen = false, modalOpen = false, answerYes = false;
    std::vector<std::function<void()>> timers;
    std::chrono::milliseconds timersTotal{};  // the delays of every timer set
    std::function<void()> whileMessageUp;
    // The Open dialog's choice; empty: the user cancels.
    std::wstring fileToChoose, folder = L"C:\\Program Files\\Tillerdock";
    StoredValue ReadValue(const std::wstring& app, const std::wstring& section,
                          const std::wstring& key) override {
        EXPECT_EQ(app + L"\\" + section, L"Brackenfold\\Quaymaster");
        reads.push_back(key);
        if (otherKinds.count(key)) return {StoredValue::Kind::Other};
        return stored.count(key) ? StoredValue{StoredValue::Kind::Text, stored[key]}
                                 : StoredValue{};
    }
    Status WriteSetting(const std::wstring& app, const std::wstring& section,
                        const std::wstring& key, const std::wstring& value) override {
        EXPECT_EQ(app + L"\\" + section, L"Brackenfold\\Quaymaster");
        writes.push_back(key + L"=" + value);
        if (failingWrites.count(key)) return Status::failure(failingWrites[key]);
        stored[key] = value;
        otherKinds.erase(key);
        return Status::success();
    }
    bool StartProgram(const std::wstring& line, int showState) override {
        EXPECT_EQ(showState, kShowNormal) << line;
        log.push_back(L"start " + line);
        return !line.empty() && !failingStarts.count(line);
    }
    void show(ui::Form* owner, const std::wstring& text, const std::wstring& title,
              int style) override {
        log.push_back(L"message " + title + L" (" + to_wstring(style) + L") over " +
                      (owner ? owner->caption() : L"nothing") + L": " + text);
        if (whileMessageUp) whileMessageUp();
    }
    bool ask(ui::Form* owner, const std::wstring& text, const std::wstring& title,
             int style) override {
        show(owner, text, title, style);
        return answerYes;
    }
    Status attach(ui::Form& form) override {
        log.push_back(L"attach " + form.caption());
        if (refuseWindows) return Status::failure(L"No room.");
        form.attachView(std::make_unique<RecordingView>(log, form));
        return Status::success();
    }
    Status showModal(ui::Form& form, ui::Form& owner) override {
        log.push_back(L"modal " + form.caption() + L" over " + owner.caption());
        form.show();
        return Status::success();
    }
    void setForeground(ui::Form& form) override { log.push_back(L"foreground " + form.caption()); }
    bool popupMenu(ui::Form&, ui::MenuItem& menu, ui::MenuItem* defaultItem,
                   const PopupPlace& place) override {
        log.push_back(L"popup " + menu.caption() + L" default " +
                      (defaultItem ? defaultItem->caption() : L"none") + L" at " +
                      to_wstring(place.at.x) + L"," + to_wstring(place.at.y) +
                      (place.fromKeyboard ? L" keyboard" : L""));
        return false;
    }
    bool menuOpen(ui::Form&) override { return menuIsOpen; }
    void closeMenu() override { log.push_back(L"menu closed"); }
    bool bringModalToFront(ui::Form&) override {
        if (modalOpen) log.push_back(L"modal to front");
        return modalOpen;
    }
    bool runAfter(std::chrono::milliseconds delay, std::function<void()> callback) override {
        if (noTimers) return false;
        timers.push_back(std::move(callback));
        timersTotal += delay;
        return true;
    }
    // Runs the timers, oldest first, including those they schedule (the list may grow).
    void runTimers() {
        for (std::size_t i = 0; i < timers.size(); ++i) std::exchange(timers[i], nullptr)();
        timers.clear();
    }
    void listen(ui::Form&, std::function<void(const TrayEvent&)> handler) override {
        trayHandler = std::move(handler);
    }
    bool add(ui::Form&, const TrayIconData&) override {
        log.push_back(L"tray add");
        if (iconPresent || refusedIcons-- > 0) return false;  // one icon per identifier
        return iconPresent = true;
    }
    void remove(ui::Form&, const TrayIconData&) override {
        log.push_back(L"tray remove");
        iconPresent = false;
    }
    void returnFocus(ui::Form&, const TrayIconData&) override { log.push_back(L"tray focus"); }
    // What the shell would report of the icon.
    void tray(TrayAction action, PopupPlace place = {}) { trayHandler(TrayEvent{action, place}); }
    void open(ui::Form& owner, const std::wstring& target) override {
        log.push_back(L"open " + target + L" over " + owner.caption());
    }
    // Logs "dialog <filter> <index> <flags> <offered name>"; a choice comes with the other type.
    bool showOpen(ui::Form&, OpenDialogState& state) override {
        log.push_back(L"dialog " + state.filter + L" " + to_wstring(state.filterIndex) + L" " +
                      to_wstring(state.flags) + L" " + state.fileName);
        if (fileToChoose.empty()) return false;
        state.fileName = fileToChoose;
        state.filterIndex = 2;
        return true;
    }
    std::wstring programFolder() override { return folder; }
    void listen(ui::Form&, std::function<void(const PopupPlace&)> pressed) override {
        hotKeyHandler = std::move(pressed);
    }
    bool set(ui::Form&, HotKeyCombination combination) override {
        log.push_back(L"shortcut " + to_wstring(combination));
        return true;
    }
    std::wstring describe(HotKeyCombination combination) override {
        return L"Keys " + to_wstring(combination);
    }
    std::wstring typedText(HotKeyCombination combination) override {
        return combination == 1612 ? L"\u0142" : L"";  // Ctrl+Alt+L on a Polish keyboard
    }
    void returnFocus() override { log.push_back(L"back to the program"); }
    std::map<std::wstring, std::wstring> computerPolicy, userPolicy;  // key -> text
    std::function<void()> policyChanged;
    std::map<std::wstring, std::wstring> readPolicy(PolicyScope scope, const std::wstring&,
                                                    const std::wstring&, const Texts&) override {
        return scope == PolicyScope::Computer ? computerPolicy : userPolicy;
    }
    void listen(ui::Form&, std::function<void()> changed) override { policyChanged = changed; }
};

// "Key=Value" texts by key.
inline std::map<std::wstring, std::wstring> byKey(const Texts& pairs) {
    std::map<std::wstring, std::wstring> values;
    for (const auto& pair : pairs)
        values[pair.substr(0, pair.find(L'='))] = pair.substr(pair.find(L'=') + 1);
    return values;
}

// The program on the double; a second copy of the program shares the first one's store.
struct Fixture : Fake {
    Fixture() = default;
    explicit Fixture(Fake* firstCopy) : store(*firstCopy) {}
    SettingsStore& store = *this;
    Application app{Services{store, *this, *this, *this, *this, *this, *this, *this, *this, *this}};
    std::shared_ptr<frmConfig> config;
    // Starts the program on these stored "Key=Value" texts; `config` is its main window.
    bool start(const Texts& values = {}) {
        stored = byKey(values);
        const bool started = app.start();
        config = app.config.get();
        return started;
    }
};
struct Run : Fixture, ::testing::Test {};  // a test of one run of the program

// The keys of the main and the group window in the order saved: the first, then the families'.
inline Texts keysOf(const std::wstring& first, std::initializer_list<const wchar_t*> families) {
    Texts keys{first};
    for (const std::wstring family : families)
        for (int n = 1; n <= kSlotCount; ++n) keys.push_back(family + to_wstring(n));
    return keys;
}
inline const Texts kMainKeys = keysOf(L"Startup", {L"App", L"Caption"});
inline const Texts kGroupKeys = keysOf(L"chkGroupE", {L"chkGApp"});

// "Key=Value" for each key in order: the one given, else with the value `rest`.
inline Texts keyValues(const Texts& keys, const std::wstring& rest, const Texts& given) {
    auto values = byKey(given);
    Texts pairs;
    for (const auto& key : keys)
        pairs.push_back(key + L"=" + (values.count(key) ? values[key] : rest));
    return pairs;
}

// The main window as the user sees it: shown or hidden, normal or minimised, the menu's pair.
inline std::wstring windowView(const frmConfig& config) {
    return std::wstring(config.visible() ? L"shown " : L"hidden ") +
           (config.windowState() == ui::kMinimized ? L"minimised " : L"normal ") +
           (config.mnuConfigure->visible() ? L"Configure" : L"") +
           (config.mnuHide->visible() ? L"Hide" : L"");
}
// A slot as the user sees it: "path|caption|caption box on/off|item shown/hidden: caption".
inline std::wstring slotView(const frmConfig& config, int slot) {
    return config.App[slot]->text() + L"|" + config.Caption[slot]->text() + L"|" +
           (config.Caption[slot]->enabled() ? L"on|" : L"off|") +
           (config.mnu[slot]->visible() ? L"item shown: " : L"item hidden: ") +
           config.mnu[slot]->caption();
}

}  // namespace td::test
