// The settings an organisation sets and locks through Group Policy, and which of the user's
// own settings they take the place of.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/ui/controls.h"
#include "slots/settings_layout.h"

namespace td::settings {

// What a window says of a setting a policy holds.
inline constexpr wchar_t kSetByOrganization[] = L"Set by your organization";

// Says in the control's tool tip and to screen readers whether a policy holds what it shows.
void showHeld(ui::Control& control, bool held);

// A setting a policy sets as a whole: its keys, and the text a key reads as where the policy
// that sets the setting leaves that key out.
struct PolicySetting {
    std::vector<Key> keys;
    std::wstring fallback;
};

// What a policy can set: the "Minimize on Startup" option, each slot (path and caption
// together), the group (switch and members) and the Launch menu's shortcut.
const std::vector<PolicySetting>& policySettings();

// What policy holds now: the text of every key of every setting a policy sets. For each
// setting the computer's policy wins over the user's; a setting that neither sets stays the
// user's own.
class Policy {
public:
    static Policy read(PolicySource& source);
    // The text the policy holds for the key, or null where the user's own setting counts.
    const std::wstring* find(const std::wstring& keyName) const;
    // The keys whose held text differs between the two, or that only one of them holds.
    std::set<std::wstring> changes(const Policy& other) const;

private:
    std::map<std::wstring, std::wstring> held_;
};

}  // namespace td::settings
