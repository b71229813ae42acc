// The main window: the configuration of the ten launch slots, the owner of the menus and of
// the tray icon. It lives for the whole run.
#pragma once

#include <array>
#include <cstdint>

#include "app/launch_shortcut.h"
#include "platform/services.h"
#include "platform/ui/form.h"
#include "slots/launch_slots.h"

namespace td {

class Application;

class frmConfig : public ui::Form, public SlotControls {
public:
    explicit frmConfig(Application& app);

    // The slots' frame, OK, Cancel, Exit and the line between Cancel and Exit.
    ui::Frame* Frame1 = nullptr;
    ui::Button* Command11 = nullptr;  // OK
    ui::Button* Command12 = nullptr;  // Cancel
    ui::Button* cmdExit = nullptr;
    ui::Line* Line1 = nullptr;
    // "Set by your organization", while a policy holds a slot.
    ui::Label* lblPolicy = nullptr;

    // The "&Launch" menu, also the tray icon's pop-up menu; its slot items are mnu[1..10].
    ui::MenuItem* mnuFile = nullptr;
    ui::MenuItem* mnuGroupL = nullptr;
    ui::MenuItem* asdf = nullptr;
    ui::MenuItem* mnuConfigure = nullptr;
    ui::MenuItem* mnuHide = nullptr;
    ui::MenuItem* aklsd = nullptr;
    ui::MenuItem* mnuExit = nullptr;
    // "&Options" and "&Help".
    ui::MenuItem* mnuOption = nullptr;
    ui::MenuItem* mnuGroup = nullptr;
    ui::MenuItem* mnuStartup = nullptr;
    ui::MenuItem* mnuShortcut = nullptr;
    ui::MenuItem* mnuHelp = nullptr;
    ui::MenuItem* mnuAbout = nullptr;

    // Start-up, visibility and exit.
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) override;
    void Form_Unload(std::int16_t& cancel) override;
    void mnuHide_Click();
    void mnuConfigure_Click();
    void mnuStartup_Click();
    void mnuExit_Click();
    void cmdExit_Click();

    // The tray icon: what the user did to it, or the shell's restart.
    void TrayIcon_Event(const TrayEvent& event);
    bool trayIconPresent() const { return trayIconPresent_; }
    // The shortcut that opens the Launch menu from any program was pressed.
    void HotKey_Pressed(const PopupPlace& place);
    // Policy may have changed: what it now holds takes the place of the user's own settings,
    // locked, and what it let go of is the user's own again.
    void Policy_Changed();

    // OK and Cancel of the slot editing.
    void Command11_Click();
    void Command12_Click();

    // The launch menu's group command, and the other windows.
    void mnuGroupL_Click();
    void mnuGroup_Click();
    void mnuAbout_Click();
    void mnuShortcut_Click();

    // The slots' editing, saving and starting.
    LaunchSlots slots;
    // The shortcut that opens the Launch menu from any program.
    LaunchShortcut launchShortcut;

    // How often and when a refused tray icon is tried again.
    static constexpr std::array<int, 4> kTrayRetrySeconds{5, 15, 30, 60};

private:
    void buildControls();
    void buildMenus();
    void showPair(bool windowShown);
    void toggle();
    bool popUpLaunchMenu(const PopupPlace& place);
    void addTrayIcon();
    void retryTrayIcon(std::size_t attempt);
    void readdTrayIcon();
    void lockHeldSettings();

    Application& app_;
    TrayIconData trayIconData_;
    bool trayIconPresent_ = false;
};

}  // namespace td
