#include "support/fakes.h"

#include <algorithm>

#include "platform/ui/controls.h"
#include "slots/settings_layout.h"

namespace td::test {

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

void FakeWindows::attach(ui::Form& form) { log.push_back(L"attach " + form.caption()); }

void FakeWindows::showModal(ui::Form& form, ui::Form& owner) {
    log.push_back(L"modal " + form.caption() + L" over " + owner.caption());
    form.show();
    if (whileModal) whileModal(form);
}

void FakeWindows::setForeground(ui::Form& form) { log.push_back(L"foreground " + form.caption()); }

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

}  // namespace td::test
