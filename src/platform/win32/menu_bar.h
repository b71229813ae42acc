// A form's menu bar as native menus: one drop-down menu for each menu of the model, holding
// exactly the model's visible items with their captions, enabled states and check marks.
#pragma once

#include <map>
#include <memory>
#include <optional>

#include "platform/ui/form.h"
#include "platform/win32/handles.h"
#include "platform/win32/menu_icons.h"

namespace td::win32 {

// The message the window is posted as its menus' icons are read.
inline constexpr UINT kMenuIconMessage = WM_APP + 2;

class MenuBar {
public:
    explicit MenuBar(const ui::Form& form);
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // The bar, for the window to show; the window must not destroy it.
    HMENU handle() const { return bar_.get(); }
    // The native drop-down menu that renders a menu of the bar, or null.
    HMENU popupOf(const ui::MenuItem& menu) const;
    // The menu a native drop-down menu renders, or null.
    ui::MenuItem* menuOf(HMENU popup) const;
    // Draws the item as its menu's default (bold); null for none.
    void setDefault(const ui::MenuItem* item);
    // Brings every drop-down menu in step with the model.
    void render();
    // The position of the item of an open drop-down menu that a digit key chooses: its
    // visible, enabled item of that digit, unless an item's access key takes the character.
    std::optional<UINT> itemOfDigit(HMENU popup, wchar_t key) const;
    // As a menu is about to open: asks for the icons of the programs its items name, at the
    // window's DPI; those known show at once. An item that names a program keeps a place for
    // its icon (the window draws it) unless the program is known to have none, so an open
    // menu keeps its size and its highlighted item as icons arrive.
    void requestIcons(HWND window, UINT dpi);
    // A menu's loop has nothing left to do (WM_ENTERIDLE): the menu is on screen, and the
    // icons asked for are read from now on.
    void menuIdle();
    // The icons' message (kMenuIconMessage): open menus show icons that arrived.
    void receiveIcon();
    // The window's part in drawing an item's icon: its size, and the icon drawn, or nothing
    // while there is none. False for what is not such an item.
    bool measureItem(MEASUREITEMSTRUCT& item) const;
    bool drawItem(const DRAWITEMSTRUCT& item);

private:
    void render(HMENU native, const ui::MenuItem& menu);
    // Whether the item keeps a place for a program's icon.
    bool pictured(const ui::MenuItem& item) const;
    void applyStyle(HMENU native, const ui::MenuItem& menu) const;

    UniqueMenu bar_;
    std::map<ui::MenuItem*, HMENU> popups_;  // owned by the bar
    const ui::MenuItem* default_ = nullptr;
    const ui::MenuItem* itemOf(UINT id) const;

    std::unique_ptr<MenuIcons> icons_;  // from the first opening of a menu
    std::map<UINT, bool> places_;       // the items that keep a place for an icon, by id
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace td::win32
