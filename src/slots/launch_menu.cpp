// The "&Launch" menu: its refresh each time it opens, and starting a slot's program.
#include "app/application.h"
#include "app/frmConfig.h"

namespace td {

void frmConfig::mnuFile_Click() {
    for (int n = 1; n <= kSlotCount; ++n) mnu[n]->setEnabled(!App[n]->text().empty());
}

void frmConfig::mnu_Click(int slot) {
    // The path box's current text, confirmed or not, exactly as typed.
    const StartResult started = app_.services.starter.StartProgram(App[slot]->text(), kShowNormal);
    if (started.ok) return;
    app_.services.messages.show(this, L"File ''" + App[slot]->text() + L"'' not found.",
                                L"Tillerdocker", kExclamationOk);
    // A plain show: the window state and the Configure/Hide pair stay as they were.
    show();
    setFocus(*App[slot]);
}

}  // namespace td
