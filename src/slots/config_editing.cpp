// Editing the ten slots in the main window: the change rules that keep each slot's caption
// box and menu item in step with its texts, Browse, OK and Cancel.
#include "app/application.h"
#include "app/frmConfig.h"

namespace td {

namespace {

// The Open dialog's only option: no read-only check box. Nothing else is asked of the
// dialog, so it does not insist that a typed file or folder exists.
constexpr std::uint32_t kHideReadOnly = 4;
constexpr wchar_t kBrowseFilter[] = L"Executables (*.exe)|*.exe|All Files (*.*)|*.*|";

}  // namespace

void frmConfig::App_Change(int slot) {
    Caption[slot]->setEnabled(!App[slot]->text().empty());
    mnu[slot]->setVisible(!App[slot]->text().empty());
}

void frmConfig::Caption_Change(int slot) { mnu[slot]->setCaption(Caption[slot]->text()); }

void frmConfig::cmdApp_Click(int slot) {
    Dialog1.flags = kHideReadOnly;
    Dialog1.filter = kBrowseFilter;
    Dialog1.filterIndex = 1;
    // The dialog keeps the file name last chosen by any slot and offers it again. A cancel
    // or a failure changes nothing and shows nothing.
    if (!app_.services.openDialog.showOpen(*this, Dialog1)) return;
    App[slot]->setText(Dialog1.fileName);
}

void frmConfig::Command11_Click() {
    const auto failures = saveSlotSettings();
    if (!failures.empty()) {
        // Hiding the window now would look like a save; the edits stay on screen instead.
        reportSaveFailures(failures, false);
        return;
    }
    showPair(false);
    hide();
}

void frmConfig::Command12_Click() {
    readStartupOption();
    readSlotTexts();
    applyDerivedSlotState();
    showPair(false);
    hide();
}

}  // namespace td
