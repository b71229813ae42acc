// The ten launch slots of the main window: the controls each slot is made of, and the unit
// that keeps them in step, saves and restores them, and starts their programs.
#pragma once

#include <cstdint>

#include "platform/services.h"
#include "platform/ui/form.h"
#include "shared/product.h"
#include "slots/settings_session.h"

namespace td {

// The controls of the ten slots, indexed by slot 1 to 10: path box, caption box, Browse
// button, "Caption:" label and the item of the launch menu.
struct SlotControls {
    SlotArray<ui::TextBox> App{};
    SlotArray<ui::TextBox> Caption{};
    SlotArray<ui::Button> cmdApp{};
    SlotArray<ui::Label> Label1{};
    SlotArray<ui::MenuItem> mnu{};
};

// When the main window's settings are saved: the user saves them (OK), or the window closes,
// and whether anyone is there to read about a failure.
enum class SaveMoment { Confirmed, Closing, EndOfSession };

class LaunchSlots {
public:
    // window: the main window, which holds the slots.
    LaunchSlots(ui::Form& window, SlotControls& slots, Services services,
                settings::Session& settings)
        : window_(window), slots_(slots), services_(services), settings_(settings) {}

    // The change rules: a slot's caption box and menu item follow its texts.
    void App_Change(int slot);
    void Caption_Change(int slot);
    // Browse: the window's one Open dialog, which keeps the file name last chosen.
    void cmdApp_Click(int slot);
    // A file dropped onto the path box: its command line takes the box's place, as a file
    // chosen with Browse does.
    void App_Drop(int slot, const std::wstring& commandLine);
    // The launch menu's refresh as it opens: the items of slots with a path are enabled.
    void mnuFile_Click();
    // Starts a slot's program, or says it is not found and shows the path to correct.
    void mnu_Click(int slot);

    // Reads "Startup", the "Minimize on Startup" option.
    bool readStartupOption();
    // Reads "App1".."App10", then "Caption1".."Caption10" into the boxes.
    void readSlotTexts();
    // Reads one slot's path and caption into its boxes.
    void readSlot(int slot);
    // Whether a policy holds the slot: its boxes then keep the policy's texts, read-only, and
    // Browse is unavailable.
    bool held(int slot) const;
    // The boxes and Browse buttons of the slots a policy holds locked, the others free; true
    // when any slot is held.
    bool lockHeldSlots();
    // Caption boxes enabled for slots with a path; menu captions from the caption boxes.
    void applyDerivedState();
    // Writes the 21 keys: the option, then the boxes' texts; tells of any that failed, unless
    // nobody can read it. Returns whether all were written.
    bool saveSettings(bool startupOption, SaveMoment moment);

    OpenDialogState Dialog1;

private:
    // Puts the policy's text back into a box of a held slot that something else changed; true
    // when it did.
    bool keepHeld(ui::TextBox& box, const settings::Key& key);

    ui::Form& window_;
    SlotControls& slots_;
    Services services_;
    settings::Session& settings_;
};

}  // namespace td
