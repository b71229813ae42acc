#include "platform/win32/menu_bar.h"

namespace td::win32 {

MenuBar::MenuBar(const ui::Form& form) : bar_(CreateMenu()) {
    if (!bar_) return;
    for (ui::MenuItem* top : form.menuBar()) {
        HMENU popup = CreatePopupMenu();
        if (!popup) continue;
        if (!AppendMenuW(bar_.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                         top->caption().c_str())) {
            DestroyMenu(popup);
            continue;
        }
        popups_[top] = popup;
    }
    render();
}

HMENU MenuBar::popupOf(const ui::MenuItem& menu) const {
    auto it = popups_.find(const_cast<ui::MenuItem*>(&menu));
    return it == popups_.end() ? nullptr : it->second;
}

ui::MenuItem* MenuBar::menuOf(HMENU popup) const {
    for (const auto& [menu, native] : popups_)
        if (native == popup) return menu;
    return nullptr;
}

void MenuBar::setDefault(const ui::MenuItem* item) {
    default_ = item;
    render();
}

void MenuBar::render() {
    for (const auto& [menu, native] : popups_) render(native, *menu);
}

// Win32 menus have no hidden items: the native menu is rebuilt to hold exactly the visible
// items, so that anyone reading it (a screen reader, an automation tool) sees the truth.
void MenuBar::render(HMENU native, const ui::MenuItem& menu) {
    while (GetMenuItemCount(native) > 0) RemoveMenu(native, 0, MF_BYPOSITION);
    UINT position = 0;
    for (const ui::MenuItem* item : menu.items()) {
        if (!item->visible()) continue;
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_ID | MIIM_FTYPE;
        info.wID = static_cast<UINT>(item->id());
        if (item->separator()) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STATE | MIIM_STRING;
            info.fType = MFT_STRING;
            info.fState = (item->enabled() ? MFS_ENABLED : MFS_GRAYED) |
                          (item->checked() ? MFS_CHECKED : MFS_UNCHECKED) |
                          (item == default_ ? MFS_DEFAULT : 0);
            info.dwTypeData = const_cast<wchar_t*>(item->caption().c_str());
        }
        InsertMenuItemW(native, position++, TRUE, &info);
    }
}

}  // namespace td::win32
