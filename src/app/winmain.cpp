// The program's entry point: the platform services, the main window, the message loop.
#include <cstdlib>

#include "app/application.h"
#include "app/frmConfig.h"
#include "platform/win32/hot_key.h"
#include "platform/win32/policy_source.h"
#include "platform/win32/services.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/user_environment.h"
#include "platform/win32/win32.h"
#include "platform/win32/window_system.h"

#if defined(__GLIBCXX__)
// The program throws nothing it does not catch, so an uncaught exception can only be a bug:
// end at once. The library's own handler would describe it first, and with it bring a
// symbol demangler and formatted printing into every copy of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// The same for the errors the C++ library raises itself (out of memory, a text longer than a
// string holds): the program catches none, so each ends it at once, as the uncaught exception
// would. Defined here, they keep out the library's exception classes and the narrow-string
// code that comes with them, about 45 KB of a program that uses wide strings only.
namespace std {
void __throw_bad_exception() { abort(); }
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_bad_cast() { abort(); }
void __throw_bad_typeid() { abort(); }
void __throw_bad_function_call() { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_domain_error(const char*) { abort(); }
void __throw_invalid_argument(const char*) { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_out_of_range(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_runtime_error(const char*) { abort(); }
void __throw_range_error(const char*) { abort(); }
void __throw_overflow_error(const char*) { abort(); }
void __throw_underflow_error(const char*) { abort(); }
}  // namespace std
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // First of all: a library planted beside the program must never be the one loaded.
    td::win32::loadLibrariesFromSystemFolderOnly();
    td::win32::rememberSettingsVariables();

    td::win32::RegistrySettingsStore store;
    td::win32::Win32WindowSystem windows(instance);
    td::win32::Win32ProgramStarter starter([&windows] { return windows.mainWindow(); });
    td::win32::Win32MessageBoxes messages;
    td::win32::Win32TrayIcon tray;
    td::win32::Win32Shell shell;
    td::win32::Win32OpenFileDialog openDialog;
    td::win32::Win32Environment environment;
    td::win32::Win32HotKey hotKey;
    td::win32::Win32PolicySource policies;
    td::Application app(td::Services{store, starter, messages, windows, tray, shell, openDialog,
                                     environment, hotKey, policies});

    if (!app.start()) return 1;
    td::win32::runMessageLoop([&] {
        auto config = app.config.peek();
        return !config || config->unloaded();
    });
    return 0;
}
