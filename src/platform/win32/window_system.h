// Native windows for the program's forms, modal windows, pop-up menus and one-shot timers.
#pragma once

#include <functional>

#include "platform/services.h"
#include "platform/win32/win32.h"

namespace td::win32 {

class Win32WindowSystem : public WindowSystem {
public:
    explicit Win32WindowSystem(HINSTANCE instance) : instance_(instance) {}

    Status attach(ui::Form& form) override;
    Status showModal(ui::Form& form, ui::Form& owner) override;
    void setForeground(ui::Form& form) override;
    bool popupMenu(ui::Form& form, ui::MenuItem& menu, ui::MenuItem* defaultItem,
                   const PopupPlace& place) override;
    bool menuOpen(ui::Form& form) override;
    void closeMenu() override;
    bool bringModalToFront(ui::Form& form) override;
    bool runAfter(std::chrono::milliseconds delay, std::function<void()> callback) override;
    // The program's main window, the first attached; null before.
    HWND mainWindow() const { return mainWindow_; }

private:
    HINSTANCE instance_;
    HWND mainWindow_ = nullptr;
};

// The system announced a change of the displays or of their work areas: keyboard pop-ups ask
// for the work area again.
void forgetWorkAreas();

// Runs the message loop until `done` says so or WM_QUIT arrives (which is posted again for
// an outer loop). Returns false on WM_QUIT.
bool runMessageLoop(const std::function<bool()>& done);

// From now on the program's message loops also wait for the event, an auto-reset one, and run
// the callback on this thread whenever it is signalled, until stopWaitingFor.
void runWhenSignalled(HANDLE event, std::function<void()> signalled);
void stopWaitingFor(HANDLE event);

}  // namespace td::win32
