// The program's shared state: its platform services and one shared reference per window.
#pragma once

#include <memory>

#include "platform/services.h"
#include "platform/ui/form.h"
#include "slots/settings_session.h"

namespace td {

class Application;
class frmConfig;
class frmGroup;
class frmAbout;
class frmShortcut;

// The one shared reference to a window class. A use of an empty reference creates the
// window and runs its load, without showing it; the window's closing empties it again.
template <class T>
class FormRef {
public:
    explicit FormRef(Application& app) : app_(app) {}

    // The instance, created and loaded first when there is none.
    std::shared_ptr<T> get();
    // The instance if there is one; never creates it.
    std::shared_ptr<T> peek() const { return instance_; }
    void reset() { instance_.reset(); }

private:
    Application& app_;
    std::shared_ptr<T> instance_;
};

class Application {
public:
    explicit Application(Services services);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Process start: creates and loads the main window, then shows it in the state its
    // load chose. The caller then runs the message loop until the main window has closed.
    // False when the main window could not be created (the user has been told).
    bool start();

    // Gives a new form its native window; when the system refuses one, tells the user and
    // returns false, and the form is not loaded.
    bool attachWindow(ui::Form& form);
    // Shows a window modal over the main window; one the system refuses to make is told.
    void showModal(ui::Form& form);

    Services services;
    // Every read and write of the settings, by every window.
    settings::Session settings;
    FormRef<frmConfig> config;
    FormRef<frmGroup> group;
    FormRef<frmAbout> about;
    FormRef<frmShortcut> shortcut;

private:
    void tellWindowRefused(const ui::Form& form, const std::wstring& reason);

    bool mainWindowCreated_ = false;
};

template <class T>
std::shared_ptr<T> FormRef<T>::get() {
    if (!instance_) {
        // The reference is set before the load runs, so that the load can reach its own
        // window through it (the group window's load reads the main window, and the main
        // window's load reads the group window).
        instance_ = std::make_shared<T>(app_);
        auto keep = instance_;
        if (app_.attachWindow(*keep)) keep->Form_Load();
        return keep;
    }
    return instance_;
}

}  // namespace td
