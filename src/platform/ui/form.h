// A window of the program: its controls, its menu bar, its visibility and window state, and
// the handlers every window has (load, resize, closing).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"

namespace td::ui {

class Form;

// Whoever mirrors a form into a native window.
class FormView : public ControlView {
public:
    virtual void formChanged(Form& form, Property property) = 0;
    // The form has closed: the native window goes away.
    virtual void formUnloaded(Form& form) = 0;
};

// Why a form is closing.
enum class UnloadMode : std::int16_t {
    CloseCommand = 0,  // the window's own close command (title bar, system menu, Alt+F4)
    Code = 1,          // the program closed it
    EndSession = 2,    // the user is logging off or shutting Windows down
};

enum WindowState : int { kNormal = 0, kMinimized = 1 };

class Form : public std::enable_shared_from_this<Form> {
public:
    // name: the window's own name ("frmConfig"), which also names its native window class.
    Form(std::wstring name, std::wstring caption, int clientWidth, int clientHeight);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    const std::wstring& name() const { return name_; }
    const std::wstring& caption() const { return caption_; }
    // Client area in twips.
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    bool hasIcon() const { return hasIcon_; }

    // Every control, in keyboard focus order; controls that take no focus come last.
    const std::vector<Control*>& controls() const { return tabOrder_; }
    const std::vector<MenuItem*>& menuBar() const { return menuBar_; }
    MenuItem* findMenuItem(int id) const;

    bool visible() const { return visible_; }
    // Shows the window modeless. The first show runs Form_Resize, as a new window's first
    // size does; later shows leave the window state and Form_Resize alone.
    void show();
    void hide();
    int windowState() const { return windowState_; }
    // A change of state runs Form_Resize.
    void setWindowState(int state);

    // The buttons Enter and Esc press; null where those keys are bound to nothing.
    Button* defaultButton() const { return defaultButton_; }
    Button* cancelButton() const { return cancelButton_; }

    Control* focused() const { return focused_; }
    void setFocus(Control& control);

    // Closes the window: Form_QueryUnload, then Form_Unload, then the native window goes.
    // Returns false when a handler cancelled the close.
    bool unload(UnloadMode mode = UnloadMode::Code);
    bool unloaded() const { return unloaded_; }

    void attachView(std::unique_ptr<FormView> view);
    FormView* view() const { return view_.get(); }
    void menuChanged();

    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
        (void)cancel;
        (void)unloadMode;
    }
    virtual void Form_Unload(std::int16_t& cancel) { (void)cancel; }

protected:
    template <class T, class... Args>
    T& add(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *control;
        owned_.push_back(std::move(control));
        tabOrder_.push_back(&ref);
        return ref;
    }
    MenuItem& addMenuItem(MenuItem* parent, int id, std::wstring caption,
                          MenuItem::Kind kind = MenuItem::Kind::Command);
    // Fixes the keyboard focus order; every control not named follows in creation order.
    void setTabOrder(const std::vector<Control*>& order);
    void setHasIcon(bool hasIcon) { hasIcon_ = hasIcon; }
    void setDialogButtons(Button* defaultButton, Button* cancelButton) {
        defaultButton_ = defaultButton;
        cancelButton_ = cancelButton;
        if (defaultButton) defaultButton->setDefault(true);
    }

private:
    void notify(Property property);

    std::wstring name_;
    std::wstring caption_;
    int clientWidth_;
    int clientHeight_;
    bool hasIcon_ = true;
    bool visible_ = false;
    bool shownOnce_ = false;
    bool unloaded_ = false;
    bool closing_ = false;
    int windowState_ = kNormal;
    Control* focused_ = nullptr;
    Button* defaultButton_ = nullptr;
    Button* cancelButton_ = nullptr;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control*> tabOrder_;
    std::vector<std::unique_ptr<MenuItem>> menuItems_;
    std::vector<MenuItem*> menuBar_;
    std::unique_ptr<FormView> view_;
};

}  // namespace td::ui
