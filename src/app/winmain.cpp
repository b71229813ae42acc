// The program's entry point: the platform services, the main window, the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/application.h"
#include "app/frmConfig.h"
#include "platform/win32/shell_messages.h"
#include "platform/win32/services.h"
#include "platform/win32/window_system.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The shell's "Open" may hand the work to COM components (mail and web handlers).
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
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

    windows.onAttach = &td::win32::routeShellMessages;

    app.start();
    td::win32::runMessageLoop([&] {
        auto config = app.config.peek();
        return !config || config->unloaded();
    });
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
