#include "app/application.h"
#include "app/frmConfig.h"
#include "group/frmGroup.h"

namespace td {

void LaunchGroup(Application& app) {
    for (int n = 1; n <= kSlotCount; ++n) {
        // Each box is read afresh: the group window is created and loaded hidden should it
        // have been closed, and it stays loaded afterwards.
        if (app.group.get()->chkApp[n]->value() != 1) continue;
        // The path as the main window shows it now; a start that fails is skipped silently.
        app.services.starter.StartProgram(app.config.get()->App[n]->text(), kShowNormal);
    }
}

}  // namespace td
