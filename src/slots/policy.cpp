#include "slots/policy.h"

#include "shared/product.h"

namespace td::settings {

const std::vector<PolicySetting>& policySettings() {
    static const std::vector<PolicySetting> settings = [] {
        std::vector<PolicySetting> all{{{startupKey()}, L"0"}};
        for (int n = 1; n <= kSlotCount; ++n) all.push_back({{appKey(n), captionKey(n)}, L""});
        PolicySetting group{{groupSwitchKey()}, L"0"};
        for (int n = 1; n <= kSlotCount; ++n) group.keys.push_back(groupKey(n));
        all.push_back(group);
        all.push_back({{hotKeyKey()}, L"0"});
        return all;
    }();
    return settings;
}

void showHeld(ui::Control& control, bool held) {
    control.setTooltip(held ? kSetByOrganization : L"");
    control.setAccessibleDescription(held ? kSetByOrganization : L"");
}

Policy Policy::read(PolicySource& source) {
    std::vector<std::wstring> names;
    for (const PolicySetting& setting : policySettings())
        for (const Key& key : setting.keys) names.push_back(key.name);
    const auto computer = source.readPolicy(PolicyScope::Computer, kAppName, kSection, names);
    const auto user = source.readPolicy(PolicyScope::User, kAppName, kSection, names);
    // A scope sets a setting when it holds any of its keys; it then sets all of them, so that
    // a slot's caption never comes from one policy and its path from another.
    auto sets = [](const std::map<std::wstring, std::wstring>& scope,
                   const PolicySetting& setting) {
        for (const Key& key : setting.keys)
            if (scope.count(key.name)) return true;
        return false;
    };
    Policy policy;
    for (const PolicySetting& setting : policySettings()) {
        const auto* scope = sets(computer, setting) ? &computer
                            : sets(user, setting)   ? &user
                                                    : nullptr;
        if (!scope) continue;
        for (const Key& key : setting.keys) {
            const auto value = scope->find(key.name);
            policy.held_[key.name] = value != scope->end() ? value->second : setting.fallback;
        }
    }
    return policy;
}

const std::wstring* Policy::find(const std::wstring& keyName) const {
    const auto held = held_.find(keyName);
    return held != held_.end() ? &held->second : nullptr;
}

std::set<std::wstring> Policy::changes(const Policy& other) const {
    std::set<std::wstring> changed;
    for (const auto& [key, text] : held_)
        if (const std::wstring* now = other.find(key); !now || *now != text) changed.insert(key);
    for (const auto& [key, text] : other.held_)
        if (!find(key)) changed.insert(key);
    return changed;
}

}  // namespace td::settings
