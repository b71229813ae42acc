#include "slots/settings_session.h"

namespace td::settings {

std::wstring report(const SaveFailures& failures, const std::wstring& heading,
                    const std::wstring& outcome) {
    std::wstring text = heading + L"\n";
    for (const auto& f : failures) text += L"\n" + f.what + L": " + f.reason;
    return text + L"\n\n" + outcome;
}

std::set<std::wstring> Session::readPolicy() {
    Policy now = Policy::read(policies_);
    const std::set<std::wstring> changed = policy_.changes(now);
    policy_ = std::move(now);
    return changed;
}

std::wstring Session::read(const Key& key, const std::wstring& defaultValue) {
    if (const std::wstring* held = policy_.find(key.name)) return *held;
    StoredValue stored = store_.ReadValue(kAppName, kSection, key.name);
    std::wstring text = stored.kind == StoredValue::Kind::Text ? stored.text : defaultValue;
    seen_[key.name] = Seen{std::move(stored), text};
    return text;
}

void Session::write(const Key& key, const std::wstring& value, SaveFailures& failures) {
    if (held(key)) return;
    auto seen = seen_.find(key.name);
    if (seen != seen_.end() && value == seen->second.held) {
        // Unchanged here: the value stays when it is not what this copy last saw (one read),
        // or is of a kind this copy cannot read and so cannot have meant to replace.
        const StoredValue now = store_.ReadValue(kAppName, kSection, key.name);
        if (seen->second.stored.kind == StoredValue::Kind::Other || now != seen->second.stored)
            return;
    }
    const Status status = store_.WriteSetting(kAppName, kSection, key.name, value);
    if (!status.ok) {
        failures.push_back({key.what, status.reason});
        return;
    }
    seen_[key.name] = Seen{{StoredValue::Kind::Text, value}, value};
}

}  // namespace td::settings
