// The program's entry point: the platform services, the main window, the message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/application.h"
#include "app/frmConfig.h"
#include "app/window_ids.h"
#include "platform/win32/form_view.h"
#include "platform/win32/services.h"
#include "platform/win32/window_system.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    td::win32::RegistrySettingsStore store;
    td::win32::Win32ProgramStarter starter;
    td::win32::Win32MessageBoxes messages;
    td::win32::Win32WindowSystem windows(instance);
    td::win32::Win32TrayIcon tray;
    td::win32::Win32Shell shell;
    td::win32::Win32OpenFileDialog openDialog;
    td::win32::Win32Environment environment;
    td::Application app(
        td::Services{store, starter, messages, windows, tray, shell, openDialog, environment});

    // The main window's own messages: its tray icon's events and the shell's restart. They
    // are hooked before the load, which adds the icon.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    windows.onAttach = [&](td::ui::Form& form) {
        auto* config = dynamic_cast<td::frmConfig*>(&form);
        if (!config) return;
        td::win32::setMessageHook(form, [config, taskbarCreated](UINT message, WPARAM, LPARAM lParam,
                                                                 LRESULT& result) {
            if (message == td::ids::kTrayCallback) {
                config->TrayIcon_Notify(LOWORD(lParam));
                result = 0;
                return true;
            }
            if (message == taskbarCreated) {
                config->TaskbarCreated();
                result = 0;
                return true;
            }
            return false;
        });
    };

    app.start();
    td::win32::runMessageLoop([&] {
        auto config = app.config.peek();
        return !config || config->unloaded();
    });
    return 0;
}
