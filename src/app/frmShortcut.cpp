#include "app/frmShortcut.h"

#include "app/application.h"
#include "app/frmConfig.h"
#include "shared/window_ids.h"

namespace td {

frmShortcut::frmShortcut(Application& app)
    : Form(L"frmShortcut", ids::kShortcutTitle, 5430, 1920), app_(app) {
    setHasIcon(false);
    Label1 = &add<ui::Label>(ids::kShortcutText, ui::Rect{120, 150, 5190, 225}, nullptr,
                             L"Press the keys that open the Launch menu from any program.");
    hkyShortcut = &add<ui::HotKeyBox>(ids::kShortcutKeys, ui::Rect{120, 465, 3345, 315}, nullptr);
    Label2 = &add<ui::Label>(ids::kShortcutInUse, ui::Rect{120, 915, 5190, 225}, nullptr, L"");
    cmdOK = &add<ui::Button>(ids::kShortcutOk, ui::Rect{2985, 1425, 1110, 360}, nullptr, L"OK");
    cmdCancel = &add<ui::Button>(ids::kShortcutCancel, ui::Rect{4200, 1425, 1110, 360}, nullptr,
                                 L"Cancel");
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
    setDialogButtons(cmdOK, cmdCancel);
    setTabOrder({hkyShortcut, cmdOK, cmdCancel});
    setFocus(*hkyShortcut);
}

void frmShortcut::Form_Load() {
    const LaunchShortcut& shortcut = app_.config.get()->launchShortcut;
    hkyShortcut->setValue(shortcut.chosen());
    // A shortcut chosen earlier that another program took before this copy started.
    const bool taken = shortcut.chosen() != 0 && !shortcut.inForce();
    Label2->setCaption(taken ? shortcut.describe(shortcut.chosen()) +
                                   L" is in use by another program."
                             : L"");
    Label2->setVisible(taken);
}

void frmShortcut::cmdOK_Click() {
    if (app_.config.get()->launchShortcut.choose(hkyShortcut->value(), *this))
        unload(ui::UnloadMode::Code);
}

void frmShortcut::cmdCancel_Click() {
    unload(ui::UnloadMode::Code);
}

void frmShortcut::Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
    (void)cancel;
    (void)unloadMode;
    if (app_.shortcut.peek().get() == this) app_.shortcut.reset();
}

}  // namespace td
