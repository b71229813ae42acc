// The shortcut window: the keys that open the Launch menu from any program.
#pragma once

#include <cstdint>

#include "platform/ui/form.h"

namespace td {

class Application;

class frmShortcut : public ui::Form {
public:
    explicit frmShortcut(Application& app);

    ui::Label* Label1 = nullptr;         // what the keys are for
    ui::HotKeyBox* hkyShortcut = nullptr;
    ui::Label* Label2 = nullptr;         // shown while the chosen keys are another program's
    ui::Button* cmdOK = nullptr;
    ui::Button* cmdCancel = nullptr;

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) override;

private:
    Application& app_;
};

}  // namespace td
