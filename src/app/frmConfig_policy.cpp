// The main window's side of Group Policy: the settings a policy holds shown and locked, and a
// change of policy while the program runs.
#include "app/application.h"
#include "app/frmConfig.h"
#include "group/frmGroup.h"

namespace td {

// The held slots' boxes read-only with Browse unavailable, the notice shown while any slot is
// held, and the menu items of a held option or shortcut unavailable.
void frmConfig::lockHeldSettings() {
    lblPolicy->setVisible(slots.lockHeldSlots());
    mnuStartup->setEnabled(!app_.settings.held(settings::startupKey()));
    mnuShortcut->setEnabled(!app_.settings.held(settings::hotKeyKey()));
}

void frmConfig::Policy_Changed() {
    const std::set<std::wstring> changed = app_.settings.readPolicy();
    if (changed.empty()) return;
    auto has = [&](const settings::Key& key) { return changed.count(key.name) != 0; };
    // Only what changed is read again: the policy's text where a policy now holds it, the
    // user's own stored value where one let it go. Unsaved edits of the rest stay.
    if (has(settings::startupKey())) mnuStartup->setChecked(slots.readStartupOption());
    bool group = has(settings::groupSwitchKey());
    for (int n = 1; n <= kSlotCount; ++n) {
        group |= has(settings::groupKey(n));
        if (has(settings::appKey(n)) || has(settings::captionKey(n))) slots.readSlot(n);
    }
    slots.applyDerivedState();
    lockHeldSettings();
    if (group) app_.group.get()->Policy_Changed();
    if (has(settings::hotKeyKey())) launchShortcut.load();
}

}  // namespace td
