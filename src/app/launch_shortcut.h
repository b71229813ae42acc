// The system-wide shortcut that opens the Launch menu from any program: the combination the
// user chose, kept in the settings as "Hotkey", and whether the system gave it to this copy.
#pragma once

#include "platform/services.h"
#include "platform/ui/form.h"
#include "slots/settings_session.h"

namespace td {

class LaunchShortcut {
public:
    // window: the main window, which the shortcut's presses reach.
    LaunchShortcut(ui::Form& window, Services services, settings::Session& settings)
        : window_(window), services_(services), settings_(settings) {}

    // At start, and when a policy sets the shortcut or lets it go: the stored shortcut (or the
    // policy's), put in force when it is one the user could have chosen. A shortcut another
    // program holds is left out quietly; the shortcut window tells.
    void load();
    // The shortcut chosen (0: none), and whether it is in force in this copy.
    HotKeyCombination chosen() const { return chosen_; }
    bool inForce() const { return inForce_; }
    // The user's choice, from the shortcut window over which any message shows: in force at
    // once, the old one until then, and stored. A combination that types a character is
    // registered only once the user agrees. False when the user does not, the system refuses
    // it or it cannot be stored; the user has been told.
    bool choose(HotKeyCombination combination, ui::Form& over);
    // At exit: the system's shortcut goes with the program.
    void release();
    // The combination as the user sees it ("Ctrl+Alt+L").
    std::wstring describe(HotKeyCombination combination) const;

    // Whether a combination can be a shortcut: a key that is not itself a modifier, with Ctrl
    // or Alt, as the hot-key control lets the user choose it.
    static bool usable(HotKeyCombination combination);

private:
    ui::Form& window_;
    Services services_;
    settings::Session& settings_;
    HotKeyCombination chosen_ = 0;
    bool inForce_ = false;
};

}  // namespace td
