// The main window: the configuration of the ten launch slots, the owner of the menus and of
// the tray icon. It lives for the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/services.h"
#include "platform/ui/form.h"
#include "slots/settings_layout.h"

namespace td {

class Application;

inline constexpr int kSlotCount = 10;

// Controls of a family of ten, indexed by slot number 1 to 10.
template <class T>
using SlotArray = std::array<T*, kSlotCount + 1>;

class frmConfig : public ui::Form {
public:
    explicit frmConfig(Application& app);

    // Slot controls.
    SlotArray<ui::TextBox> App{};
    SlotArray<ui::TextBox> Caption{};
    SlotArray<ui::Button> cmdApp{};
    SlotArray<ui::Label> Label1{};
    ui::Frame* Frame1 = nullptr;
    ui::Button* Command11 = nullptr;  // OK
    ui::Button* Command12 = nullptr;  // Cancel
    ui::Button* cmdExit = nullptr;
    ui::Line* Line1 = nullptr;

    // The "&Launch" menu, also the tray icon's pop-up menu.
    ui::MenuItem* mnuFile = nullptr;
    SlotArray<ui::MenuItem> mnu{};
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
    ui::MenuItem* mnuHelp = nullptr;
    ui::MenuItem* mnuAbout = nullptr;

    // The one Open dialog, shared by the ten Browse buttons; it keeps the last file name.
    OpenDialogState Dialog1;

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

    // The tray icon: a mouse message on the icon, and the shell's restart.
    void TrayIcon_Notify(unsigned mouseMessage);
    void TaskbarCreated();
    bool trayIconPresent() const { return trayIconPresent_; }

    // Slot editing.
    void App_Change(int slot);
    void Caption_Change(int slot);
    void cmdApp_Click(int slot);
    void Command11_Click();
    void Command12_Click();

    // The launch menu.
    void mnuFile_Click();
    void mnu_Click(int slot);
    void mnuGroupL_Click();

    // The other windows.
    void mnuGroup_Click();
    void mnuAbout_Click();

    // How often and when a refused tray icon is tried again.
    static constexpr std::array<int, 4> kTrayRetrySeconds{5, 15, 30, 60};

private:
    void buildControls();
    void buildMenus();
    // Reads "Startup" into the check mark of "&Minimize on Startup".
    void readStartupOption();
    // Reads "App1".."App10", then "Caption1".."Caption10", into the boxes.
    void readSlotTexts();
    // Caption boxes enabled for slots with a path; menu captions from the caption boxes.
    void applyDerivedSlotState();
    // Writes the 21 keys from the window; returns what could not be written.
    std::vector<SaveFailure> saveSlotSettings();
    void reportSaveFailures(const std::vector<SaveFailure>& failures, bool closing);
    void showPair(bool windowShown);
    void addTrayIcon();
    void retryTrayIcon(std::size_t attempt);

    Application& app_;
    TrayIconData trayIconData_;
    bool trayIconPresent_ = false;
};

}  // namespace td
