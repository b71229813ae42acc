// The group selection window: which slots one command starts at once, and whether that
// command is offered at all.
#pragma once

#include <cstdint>

#include "platform/ui/form.h"
#include "shared/product.h"

namespace td {

class Application;
namespace settings {
struct Key;
}  // namespace settings

class frmGroup : public ui::Form {
public:
    explicit frmGroup(Application& app);

    ui::Label* Label1 = nullptr;
    ui::CheckBox* chkGroupE = nullptr;
    ui::Frame* Frame1 = nullptr;
    SlotArray<ui::CheckBox> chkApp{};
    ui::Label* Label9 = nullptr;
    ui::Button* Command2 = nullptr;  // Okay
    ui::Button* Command1 = nullptr;  // Cancel
    ui::Label* lblPolicy = nullptr;  // "Set by your organization", while a policy holds the group

    void Form_Load() override;
    void chkGroupE_Click();
    void Command2_Click();
    void Command1_Click();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) override;
    // Policy took, changed or let go of the group: the boxes read again, and locked while held.
    void Policy_Changed();

private:
    // Sets a box from a stored text; a text that is no 16-bit integer, or a number the box
    // does not hold, leaves the box as it was.
    void readBox(ui::CheckBox& box, const settings::Key& key);
    // The slot boxes enabled while the switch is ticked, unless a policy holds the group, which
    // disables every box.
    void enableBoxes();

    Application& app_;
};

// Starts every slot whose group box is ticked, in slot order; failures are skipped silently.
void LaunchGroup(Application& app);

}  // namespace td
