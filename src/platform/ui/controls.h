// The program's own control model: the state of every window, control and menu item.
//
// The window logic reads and writes these objects only; the Win32 layer mirrors them into
// native windows and feeds user input back through the same setters, so a change runs the
// same handlers whether it comes from the user or from the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace td::ui {

// Position and size in twips (1/1440 inch), relative to the control's container.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Property {
    Text,
    Caption,
    Enabled,
    Visible,
    Value,
    MaxLength,
    Focus,
    WindowState,
    ReadOnly,
    Tooltip,
    Description,
    Menu,
};

class Control;
class Form;

// Whoever mirrors a control into something the user sees.
class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void controlChanged(Control& control, Property property) = 0;
};

enum class ControlKind { TextBox, CheckBox, Button, Label, Frame, Line, HotKeyBox };

// How a label draws its text.
enum class LabelStyle { Plain, Centered, Heading, Link };

class Control {
public:
    Control(ControlKind kind, int id, Rect rect, Control* container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    ControlKind kind() const { return kind_; }
    int id() const { return id_; }
    // The rectangle relative to the form's client area, containers resolved.
    Rect absoluteRect() const;
    const Rect& rect() const { return rect_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& caption);
    const std::wstring& tooltip() const { return tooltip_; }
    void setTooltip(const std::wstring& tooltip);
    // What a screen reader announces for the control, where its own text or label does not
    // say what it is for; empty for that text.
    const std::wstring& accessibleName() const { return accessibleName_; }
    void setAccessibleName(std::wstring name) { accessibleName_ = std::move(name); }
    // What a screen reader adds after the name ("Set by your organization"); empty for none.
    const std::wstring& accessibleDescription() const { return accessibleDescription_; }
    void setAccessibleDescription(const std::wstring& description);
    // Whether the control takes part in keyboard navigation (Tab): the boxes and buttons, and
    // the labels that are links.
    bool tabStop() const;

    void setView(ControlView* view) { view_ = view; }

protected:
    void notify(Property property);

private:
    ControlKind kind_;
    int id_;
    Rect rect_;
    Control* container_;
    bool enabled_ = true;
    bool visible_ = true;
    std::wstring caption_;
    std::wstring tooltip_;
    std::wstring accessibleName_;
    std::wstring accessibleDescription_;
    ControlView* view_ = nullptr;
};

class TextBox : public Control {
public:
    TextBox(int id, Rect rect, Control* container)
        : Control(ControlKind::TextBox, id, rect, container) {}

    const std::wstring& text() const { return text_; }
    // Sets the text; when it actually changes, the change handler runs.
    void setText(const std::wstring& text);
    // Zero means no limit.
    std::size_t maxLength() const { return maxLength_; }
    void setMaxLength(std::size_t maxLength);
    // A read-only box shows its text, and the user can select and copy it but not change it.
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    std::function<void()> Change;
    // A file dropped onto the box, as the command line that starts it.
    std::function<void(const std::wstring& commandLine)> Drop;

private:
    std::wstring text_;
    std::size_t maxLength_ = 0;
    bool readOnly_ = false;
};

class CheckBox : public Control {
public:
    CheckBox(int id, Rect rect, Control* container, std::wstring caption)
        : Control(ControlKind::CheckBox, id, rect, container) {
        setCaption(caption);
    }

    // 0 unticked, 1 ticked, 2 greyed.
    std::int16_t value() const { return value_; }
    // A box holds only 0, 1 and 2: any other value is refused (returns false) and changes
    // nothing. A change of value runs the click handler, as a user's click would.
    bool setValue(int value);
    // What a user's click does: a ticked box becomes unticked, any other becomes ticked.
    void userClick() { setValue(value_ == 1 ? 0 : 1); }

    std::function<void()> Click;

private:
    std::int16_t value_ = 0;
};

// Shift state passed to key handlers: the bits of Shift, Ctrl and Alt.
enum ShiftState : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };
// Key codes the program's handlers look for, as the platform numbers keys.
inline constexpr int kKeyControl = 17;  // Ctrl, left or right

class Button : public Control {
public:
    Button(int id, Rect rect, Control* container, std::wstring caption)
        : Control(ControlKind::Button, id, rect, container) {
        setCaption(caption);
    }

    std::function<void()> Click;
    // A key pressed while the button has the focus: the virtual-key code and shift state.
    std::function<void(int keyCode, int shift)> KeyDown;
    // The button Enter presses, drawn as the window's default.
    bool isDefault() const { return default_; }
    void setDefault(bool isDefault) { default_ = isDefault; }

private:
    bool default_ = false;
};

class Label : public Control {
public:
    Label(int id, Rect rect, Control* container, std::wstring caption,
          LabelStyle style = LabelStyle::Plain)
        : Control(ControlKind::Label, id, rect, container), style_(style) {
        setCaption(caption);
    }

    LabelStyle style() const { return style_; }
    std::function<void()> Click;

private:
    LabelStyle style_;
};

// The system's hot-key control: the user presses a key combination into it; Backspace clears
// it. Its value is the combination (HotKeyCombination), 0 for none.
class HotKeyBox : public Control {
public:
    HotKeyBox(int id, Rect rect, Control* container)
        : Control(ControlKind::HotKeyBox, id, rect, container) {}

    std::uint16_t value() const { return value_; }
    void setValue(std::uint16_t value);

private:
    std::uint16_t value_ = 0;
};

// A frame groups controls; positions of its children are relative to it.
class Frame : public Control {
public:
    Frame(int id, Rect rect, std::wstring caption = {})
        : Control(ControlKind::Frame, id, rect, nullptr) {
        setCaption(caption);
    }
};

// A vertical or horizontal separating line.
class Line : public Control {
public:
    Line(int id, Rect rect) : Control(ControlKind::Line, id, rect, nullptr) {}
};

// One item of a menu bar or of a drop-down menu: a command, whose caption is shown as it is
// whatever it says, or a separator, which the menu's layout fixes.
class MenuItem {
public:
    enum class Kind { Command, Separator };
    MenuItem(Form& form, int id, std::wstring caption, Kind kind = Kind::Command);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    int id() const { return id_; }
    bool separator() const { return kind_ == Kind::Separator; }

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& caption);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool checked() const { return checked_; }
    void setChecked(bool checked);
    // The command line whose program's icon the item shows beside its caption; empty for none.
    const std::wstring& iconSource() const { return iconSource_; }
    void setIconSource(const std::wstring& commandLine);
    // The digit key ('0' to '9') that chooses the item while its menu is open, unless an
    // item's access key takes that character; 0 for none.
    wchar_t digit() const { return digit_; }
    void setDigit(wchar_t digit) { digit_ = digit; }

    void add(MenuItem& item) { items_.push_back(&item); }
    const std::vector<MenuItem*>& items() const { return items_; }

    // Runs when the item is chosen; for a drop-down menu, when it is about to open.
    std::function<void()> Click;

private:
    void notify();

    Form& form_;
    int id_;
    Kind kind_;
    std::wstring caption_;
    bool visible_ = true;
    bool enabled_ = true;
    bool checked_ = false;
    std::wstring iconSource_;
    wchar_t digit_ = 0;
    std::vector<MenuItem*> items_;
};

}  // namespace td::ui
