// The main window's messages from the shell: its tray icon's events and the shell's restart.
#pragma once

#include "platform/ui/form.h"

namespace td::win32 {

// Routes the shell's messages to the main window's handlers when `form` is the main window
// (frmConfig); does nothing for other forms. Called when the form has its native window,
// before its load adds the tray icon.
void routeShellMessages(ui::Form& form);

}  // namespace td::win32
