#include "platform/ui/form.h"

#include <algorithm>

namespace td::ui {

Form::Form(std::wstring name, std::wstring caption, int clientWidth, int clientHeight)
    : name_(std::move(name)),
      caption_(std::move(caption)),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {}

Form::~Form() = default;

MenuItem* Form::findMenuItem(int id) const {
    for (const auto& m : menuItems_)
        if (m->id() == id) return m.get();
    return nullptr;
}

void Form::notify(Property property) {
    if (view_) view_->formChanged(*this, property);
}

void Form::show() {
    if (visible_ || unloaded_) return;
    visible_ = true;
    if (!shownOnce_) {
        shownOnce_ = true;
        Form_Resize();
        // Form_Resize may have hidden the window again (a minimised main window hides
        // itself); then the native window is never shown at all.
        if (!visible_) return;
    }
    notify(Property::Visible);
}

void Form::hide() {
    if (!visible_) return;
    visible_ = false;
    notify(Property::Visible);
}

void Form::setWindowState(int state) {
    if (windowState_ == state) return;
    windowState_ = state;
    notify(Property::WindowState);
    Form_Resize();
}

void Form::setFocus(Control& control) {
    focused_ = &control;
    notify(Property::Focus);
}

bool Form::unload(UnloadMode mode) {
    // A second request while the closing handlers run (a close command or the end of the
    // session arriving while a closing message is up) joins the close under way.
    if (unloaded_ || closing_) return true;
    // Keeps this form alive until the close is complete, even when a closing handler drops
    // the last shared reference to it.
    auto self = shared_from_this();
    closing_ = true;
    std::int16_t cancel = 0;
    Form_QueryUnload(cancel, static_cast<std::int16_t>(mode));
    if (!cancel) Form_Unload(cancel);
    closing_ = false;
    if (cancel) return false;
    unloaded_ = true;
    visible_ = false;
    if (view_) view_->formUnloaded(*this);
    return true;
}

void Form::attachView(std::unique_ptr<FormView> view) {
    view_ = std::move(view);
    for (const auto& c : owned_) c->setView(view_.get());
}

void Form::menuChanged() {
    notify(Property::Menu);
}

MenuItem& Form::addMenuItem(MenuItem* parent, int id, std::wstring caption, MenuItem::Kind kind) {
    menuItems_.push_back(std::make_unique<MenuItem>(*this, id, std::move(caption), kind));
    MenuItem& item = *menuItems_.back();
    if (parent)
        parent->add(item);
    else
        menuBar_.push_back(&item);
    return item;
}

void Form::setTabOrder(const std::vector<Control*>& order) {
    std::vector<Control*> rest;
    for (Control* c : tabOrder_)
        if (std::find(order.begin(), order.end(), c) == order.end()) rest.push_back(c);
    tabOrder_ = order;
    tabOrder_.insert(tabOrder_.end(), rest.begin(), rest.end());
}

}  // namespace td::ui
