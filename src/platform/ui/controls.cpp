#include "platform/ui/controls.h"

#include "platform/ui/form.h"

namespace td::ui {

Control::Control(ControlKind kind, int id, Rect rect, Control* container)
    : kind_(kind), id_(id), rect_(rect), container_(container) {}

Rect Control::absoluteRect() const {
    Rect r = rect_;
    for (const Control* c = container_; c; c = c->container_) {
        r.left += c->rect_.left;
        r.top += c->rect_.top;
    }
    return r;
}

bool Control::tabStop() const {
    switch (kind_) {
        case ControlKind::TextBox:
        case ControlKind::CheckBox:
        case ControlKind::Button:
        case ControlKind::HotKeyBox:
            return true;
        case ControlKind::Label:
            return static_cast<const Label*>(this)->style() == LabelStyle::Link;
        default:
            return false;
    }
}

void Control::notify(Property property) {
    if (view_) view_->controlChanged(*this, property);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    notify(Property::Enabled);
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    notify(Property::Visible);
}

void Control::setCaption(const std::wstring& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    notify(Property::Caption);
}

void Control::setTooltip(const std::wstring& tooltip) {
    if (tooltip_ == tooltip) return;
    tooltip_ = tooltip;
    notify(Property::Tooltip);
}

void Control::setAccessibleDescription(const std::wstring& description) {
    if (accessibleDescription_ == description) return;
    accessibleDescription_ = description;
    notify(Property::Description);
}

void TextBox::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    notify(Property::ReadOnly);
}

void TextBox::setText(const std::wstring& text) {
    if (text_ == text) return;
    text_ = text;
    notify(Property::Text);
    if (Change) Change();
}

void TextBox::setMaxLength(std::size_t maxLength) {
    if (maxLength_ == maxLength) return;
    maxLength_ = maxLength;
    notify(Property::MaxLength);
}

void HotKeyBox::setValue(std::uint16_t value) {
    if (value_ == value) return;
    value_ = value;
    notify(Property::Value);
}

bool CheckBox::setValue(int value) {
    if (value < 0 || value > 2) return false;
    if (value_ == value) return true;
    value_ = static_cast<std::int16_t>(value);
    notify(Property::Value);
    if (Click) Click();
    return true;
}

MenuItem::MenuItem(Form& form, int id, std::wstring caption, Kind kind)
    : form_(form), id_(id), kind_(kind), caption_(std::move(caption)) {}

void MenuItem::notify() {
    form_.menuChanged();
}

void MenuItem::setCaption(const std::wstring& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    notify();
}

void MenuItem::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    notify();
}

void MenuItem::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    notify();
}

void MenuItem::setIconSource(const std::wstring& commandLine) {
    if (iconSource_ == commandLine) return;
    iconSource_ = commandLine;
    notify();
}

void MenuItem::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    notify();
}

}  // namespace td::ui
