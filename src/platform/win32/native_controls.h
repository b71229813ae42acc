// A form's controls as native windows, each kept in step with its model both ways, with the
// form's tooltips.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/form.h"
#include "platform/win32/window_fonts.h"

namespace td::win32 {

// One control's native window. What differs between kinds of control is here, chosen once
// when the control is made.
class NativeControl {
public:
    NativeControl(ui::Control& model, HWND hwnd) : model_(model), hwnd_(hwnd) {}
    virtual ~NativeControl() = default;

    ui::Control& model() const { return model_; }
    HWND hwnd() const { return hwnd_; }

    // A change of the model reaches the native control.
    virtual void apply(ui::Property property);
    // A notification of the native control (WM_COMMAND's code) reaches the model.
    virtual void notify(int code) { (void)code; }
    // A link label draws its text in the link colour and shows a hand over it.
    virtual bool isLink() const { return false; }
    // What the system answered when the control was named for screen readers (S_FALSE for a
    // control its own text names).
    HRESULT nameResult() const { return nameResult_; }
    void setNameResult(HRESULT result) { nameResult_ = result; }

protected:
    ui::Control& model_;
    HWND hwnd_;
    HRESULT nameResult_ = S_FALSE;
};

// The native control for a model control, or null when the system would not make one.
std::unique_ptr<NativeControl> makeNativeControl(ui::Control& control, HWND window,
                                                 HINSTANCE instance);

class NativeControls {
public:
    // Creates every control of the form in its keyboard focus order, hidden ones hidden.
    NativeControls(ui::Form& form, HWND window, HINSTANCE instance);
    NativeControls(const NativeControls&) = delete;
    NativeControls& operator=(const NativeControls&) = delete;

    // A change of a control's model reaches its native control, its tool tip or its
    // description.
    void apply(const ui::Control& model, ui::Property property);
    NativeControl* find(const ui::Control& model) const;
    NativeControl* find(HWND hwnd) const;
    // The shown, enabled box that takes dropped files at a point of the window's client area.
    ui::TextBox* dropTarget(POINT at) const;
    // The labels, for fitting their fonts.
    std::vector<const ui::Label*> labels() const;
    // Positions every control from its twips at the DPI, and gives it its font.
    void layout(UINT dpi, const WindowFonts& fonts);

private:
    void setTooltip(const NativeControl& native);
    void placeTooltip(const NativeControl& native) const;
    void describe(NativeControl& native);

    HWND window_;
    std::vector<std::unique_ptr<NativeControl>> controls_;
    HWND tooltip_ = nullptr;  // destroyed with the window that owns it
};

}  // namespace td::win32
