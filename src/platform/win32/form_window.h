// One form's native window, the Win32 layer's view of a form: the window itself, its menu bar
// and its controls, their layout for the window's DPI, its placement and show state, and its
// window procedure. Private to the Win32 layer; form_view.h is its face to the rest.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/form.h"
#include "platform/win32/dropped_files.h"
#include "platform/win32/form_view.h"
#include "platform/win32/menu_bar.h"
#include "platform/win32/native_controls.h"

namespace td::win32 {

inline constexpr wchar_t kClassPrefix[] = L"Tillerdock.";

class FormWindow : public ui::FormView {
public:
    FormWindow(ui::Form& form, HINSTANCE instance, HWND owner, bool isMainWindow)
        : form_(form), instance_(instance), owner_(owner), isMain_(isMainWindow) {}
    ~FormWindow() override;

    // Makes the native window (the main window's at once, another's at its first use); what
    // the system answered stays, and a window it refused is not asked for again.
    Status create();
    const Status& creation() const { return created_; }
    // The native window, made now if it was not yet; null when the system refused it.
    HWND made();
    ui::Form& form() const { return form_; }
    HWND hwnd() const { return hwnd_; }
    // The menu bar, made from the model at its first use: the window's first show or the first
    // pop-up of one of its menus. Null for a form without menus.
    MenuBar* menuBar();
    NativeControl* nativeControl(HWND hwnd) const {
        return controls_ ? controls_->find(hwnd) : nullptr;
    }
    void setModalOwner(HWND owner) { modalOwner_ = owner; }
    // Whether one of the window's menus is open (its menu bar's, or a pop-up it owns).
    bool menuLoop() const { return menuLoop_; }
    void addHook(MessageHook hook) { hooks_.push_back(std::move(hook)); }

    void controlChanged(ui::Control& control, ui::Property property) override;
    void formChanged(ui::Form& form, ui::Property property) override;
    void formUnloaded(ui::Form& form) override;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    Status makeWindow();
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    void onDropFiles(HDROP drop);
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void createControls();
    void layoutControls();
    void sizeWindow();
    void loadIcons();
    void placeWindow();
    void showNative();
    bool isLink(HWND control) const {
        const NativeControl* native = controls_ ? controls_->find(control) : nullptr;
        return native && native->isLink();
    }

    ui::Form& form_;
    HINSTANCE instance_;
    HWND owner_;
    bool isMain_;
    HWND modalOwner_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool placed_ = false;
    bool tried_ = false;
    Status created_;
    bool applyingState_ = false;
    bool menuLoop_ = false;
    std::unique_ptr<MenuBar> menu_;
    std::unique_ptr<NativeControls> controls_;
    std::unique_ptr<WindowFonts> fonts_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::vector<MessageHook> hooks_;
};

// The view of a native window of the program, or null.
inline FormWindow* viewOf(HWND hwnd) {
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace td::win32
