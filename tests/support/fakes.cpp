#include "support/fakes.h"

#include <algorithm>

#include "platform/ui/controls.h"
#include "slots/settings_layout.h"

namespace td::test {

namespace {

// Stands in for a native window: records what the user would see of the form.
class RecordingView : public ui::FormView {
public:
    explicit RecordingView(std::vector<std::wstring>& log) : log_(log) {}
    void controlChanged(ui::Control&, ui::Property) override {}
    void formChanged(ui::Form& form, ui::Property property) override {
        if (property == ui::Property::Visible)
            log_.push_back(form.caption() + (form.visible() ? L" shown" : L" hidden"));
    }
    void formUnloaded(ui::Form& form) override { log_.push_back(form.caption() + L" closed"); }

private:
    std::vector<std::wstring>& log_;
};

}  // namespace

std::wstring FakeStore::ReadSetting(const std::wstring& appName, const std::wstring& section,
                                    const std::wstring& key, const std::wstring& defaultValue) {
    log.push_back(L"read " + key);
    if (appName != settings::kAppName || section != settings::kSection) return defaultValue;
    auto it = values.find(key);
    return it == values.end() ? defaultValue : it->second;
}

Status FakeStore::WriteSetting(const std::wstring& appName, const std::wstring& section,
                               const std::wstring& key, const std::wstring& value) {
    log.push_back(L"write " + key + L"=" + value);
    if (auto it = failingWrites.find(key); it != failingWrites.end())
        return Status::failure(it->second);
    if (appName == settings::kAppName && section == settings::kSection) values[key] = value;
    return Status::success();
}

std::vector<std::wstring> FakeStore::writes() const {
    std::vector<std::wstring> keys;
    for (const auto& entry : log)
        if (entry.rfind(L"write ", 0) == 0) keys.push_back(entry.substr(6, entry.find(L'=') - 6));
    return keys;
}

std::vector<std::wstring> FakeStore::reads() const {
    std::vector<std::wstring> keys;
    for (const auto& entry : log)
        if (entry.rfind(L"read ", 0) == 0) keys.push_back(entry.substr(5));
    return keys;
}

StartResult FakeStarter::StartProgram(const std::wstring& commandLine, int showState) {
    started.push_back(commandLine);
    showStates.push_back(showState);
    if (onStart) onStart(commandLine);
    // Like the real starter: nothing starts from an empty text, a failing line, or
    // without a normal show state.
    if (commandLine.empty() || failing.count(commandLine) || showState != kShowNormal)
        return {false, 0, 2};
    return {true, 1000u + static_cast<std::uint32_t>(started.size()), 0};
}

void FakeMessages::show(ui::Form* owner, const std::wstring& text, const std::wstring& title,
                        int style) {
    shown.push_back({owner, text, title, style});
    if (onShow) onShow(shown.back());
}

void FakeWindows::attach(ui::Form& form) {
    log.push_back(L"attach " + form.caption());
    form.attachView(std::make_unique<RecordingView>(visibility));
}

void FakeWindows::showModal(ui::Form& form, ui::Form& owner) {
    log.push_back(L"modal " + form.caption() + L" over " + owner.caption());
    form.show();
    if (whileModal) whileModal(form);
}

void FakeWindows::setForeground(ui::Form& form) {
    log.push_back(L"foreground " + form.caption());
}

void FakeWindows::popupMenu(ui::Form& form, ui::MenuItem& menu, ui::MenuItem* defaultItem) {
    (void)form;
    log.push_back(L"popup " + menu.caption() + L" default " +
                  (defaultItem ? defaultItem->caption() : L"none"));
    lastDefault = defaultItem;
    // Opening a drop-down menu runs its refresh first, as the native menu does.
    if (menu.Click) menu.Click();
    if (whilePopup) whilePopup();
}

void FakeWindows::runAfter(std::chrono::milliseconds delay, std::function<void()> callback) {
    timers.emplace_back(delay, std::move(callback));
}

void FakeWindows::runTimers() {
    while (!timers.empty()) {
        auto next = std::move(timers.front());
        timers.erase(timers.begin());
        next.second();
    }
}

bool FakeTray::add(ui::Form& owner, const TrayIconData& data) {
    (void)owner;
    log.push_back(L"add");
    lastData = data;
    if (refuseAdds > 0) {
        --refuseAdds;
        return false;
    }
    if (present) return false;  // one icon per identifier, as the shell keeps it
    present = true;
    return true;
}

void FakeTray::remove(ui::Form& owner, const TrayIconData& data) {
    (void)owner;
    (void)data;
    log.push_back(L"remove");
    present = false;
    if (onRemove) onRemove();
}

void FakeShell::open(ui::Form& owner, const std::wstring& target) {
    opened.push_back(target);
    owners.push_back(&owner);
}

bool FakeOpenDialog::showOpen(ui::Form& owner, OpenDialogState& state) {
    (void)owner;
    shownWith.push_back(state);
    return answer ? answer(state) : false;
}

std::shared_ptr<frmConfig> Fixture::start(std::map<std::wstring, std::wstring> stored) {
    store.values = std::move(stored);
    app.start();
    return app.config.get();
}

std::vector<std::wstring> mainWindowKeys() {
    std::vector<std::wstring> keys{L"Startup"};
    for (int n = 1; n <= 10; ++n) keys.push_back(L"App" + std::to_wstring(n));
    for (int n = 1; n <= 10; ++n) keys.push_back(L"Caption" + std::to_wstring(n));
    return keys;
}

std::vector<std::wstring> groupWindowKeys() {
    std::vector<std::wstring> keys{L"chkGroupE"};
    for (int n = 1; n <= 10; ++n) keys.push_back(L"chkGApp" + std::to_wstring(n));
    return keys;
}

std::vector<std::wstring> writesOf(const std::vector<std::wstring>& keys,
                                   const std::map<std::wstring, std::wstring>& values,
                                   const std::wstring& rest) {
    std::vector<std::wstring> log;
    for (const auto& key : keys) {
        auto it = values.find(key);
        log.push_back(L"write " + key + L"=" + (it == values.end() ? rest : it->second));
    }
    return log;
}

std::wstring windowView(const frmConfig& config) {
    const bool configure = config.mnuConfigure->visible(), hide = config.mnuHide->visible();
    return std::wstring(config.visible() ? L"shown " : L"hidden ") +
           (config.windowState() == 1 ? L"minimised " : L"normal ") +
           (configure && hide ? L"both"
            : configure       ? L"Configure"
            : hide            ? L"Hide"
                              : L"neither");
}

std::wstring slotView(const frmConfig& config, int slot) {
    return config.App[slot]->text() + L"|" + config.Caption[slot]->text() + L"|" +
           (config.Caption[slot]->enabled() ? L"on|" : L"off|") +
           (config.mnu[slot]->visible() ? L"item shown: " : L"item hidden: ") +
           config.mnu[slot]->caption();
}

std::vector<int> enabledSlots(const frmConfig& config) {
    std::vector<int> slots;
    for (int n = 1; n <= kSlotCount; ++n)
        if (config.mnu[n]->enabled()) slots.push_back(n);
    return slots;
}

}  // namespace td::test
