#include "platform/win32/shell_messages.h"

#include "app/frmConfig.h"
#include "app/window_ids.h"
#include "platform/win32/form_view.h"

namespace td::win32 {

void routeShellMessages(ui::Form& form) {
    auto* config = dynamic_cast<frmConfig*>(&form);
    if (!config) return;
    // A restarted shell broadcasts this to every top-level window: icons must be added again.
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    setMessageHook(form, [config](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message == ids::kTrayCallback) {
            // The classic callback: lParam is the mouse message that happened on the icon.
            config->TrayIcon_Notify(LOWORD(lParam));
            result = 0;
            return true;
        }
        if (message == taskbarCreated && taskbarCreated != 0) {
            config->TaskbarCreated();
            result = 0;
            return true;
        }
        return false;
    });
}

}  // namespace td::win32
