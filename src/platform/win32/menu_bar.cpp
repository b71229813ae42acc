#include "platform/win32/menu_bar.h"

#include <algorithm>

#include "platform/win32/form_view.h"

namespace td::win32 {

namespace {

// A caption much longer than a caption box holds (a stored one can be of any length) is
// shortened with an ellipsis to half the screen's width, so that the menu still fits the
// screen and opens. Captions up to the longest a caption box holds show whole.
std::wstring fittedCaption(const std::wstring& caption) {
    constexpr std::size_t kAlwaysWhole = 30;
    constexpr std::size_t kMeasured = 1000;  // more than any screen shows on one line
    if (caption.size() <= kAlwaysWhole) return caption;
    NONCLIENTMETRICSW metrics = {sizeof(metrics)};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const UniqueFont font(CreateFontIndirectW(&metrics.lfMenuFont));
    const std::wstring head = caption.substr(0, kMeasured);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.get());
    INT fit = 0;
    SIZE size = {};
    GetTextExtentExPointW(dc, head.c_str(), static_cast<int>(head.size()),
                          GetSystemMetrics(SM_CXSCREEN) / 2, &fit, nullptr, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (static_cast<std::size_t>(fit) >= caption.size()) return caption;
    std::wstring shortened = head.substr(0, static_cast<std::size_t>(std::max(fit - 1, 0)));
    // An ampersand before the ellipsis would make it the item's access key.
    while (!shortened.empty() && shortened.back() == L'&') shortened.pop_back();
    return shortened + L"\u2026";
}

// Paints an open menu again: the system draws a changed item only when its menu is painted.
void repaintOpen(HMENU native) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM menu) -> BOOL {
            wchar_t className[8] = {};
            GetClassNameW(window, className, 8);
            if (lstrcmpW(className, L"#32768") == 0 &&
                SendMessageW(window, MN_GETHMENU, 0, 0) == menu)
                InvalidateRect(window, nullptr, FALSE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(native));
}

}  // namespace

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
    if (item == default_) return;
    const ui::MenuItem* previous = default_;
    default_ = item;
    // Only the state of the two items changes: their menus are not rebuilt for it.
    for (const auto& [menu, native] : popups_) {
        const auto& items = menu->items();
        const auto holds = [&](const ui::MenuItem* which) {
            return which && which->visible() &&
                   std::find(items.begin(), items.end(), which) != items.end();
        };
        if (holds(item))
            SetMenuDefaultItem(native, static_cast<UINT>(item->id()), FALSE);
        else if (holds(previous))
            SetMenuDefaultItem(native, static_cast<UINT>(-1), FALSE);
    }
}

void MenuBar::render() {
    for (const auto& [menu, native] : popups_) render(native, *menu);
}

std::optional<UINT> MenuBar::itemOfDigit(HMENU popup, wchar_t key) const {
    const ui::MenuItem* menu = menuOf(popup);
    if (!menu || key < L'0' || key > L'9') return std::nullopt;
    std::optional<UINT> chosen;
    UINT position = 0;
    for (const ui::MenuItem* item : menu->items()) {
        if (!item->visible()) continue;
        if (!item->separator() && menuAccessKey(*item) == key) return std::nullopt;
        if (item->digit() == key && item->enabled()) chosen = position;
        ++position;
    }
    return chosen;
}

void MenuBar::requestIcons(HWND window, UINT dpi) {
    dpi_ = dpi;
    std::vector<std::wstring> named;
    for (const auto& [menu, native] : popups_)
        for (const ui::MenuItem* item : menu->items())
            if (!item->iconSource().empty()) named.push_back(item->iconSource());
    if (named.empty()) return;
    if (!icons_) icons_ = std::make_unique<MenuIcons>(window, kMenuIconMessage);
    icons_->request(named, dpi);
    // An item whose program turned out to have no icon gives up its place, before its menu is
    // measured; one whose line changed took one when its menu was rendered.
    for (const auto& [menu, native] : popups_) {
        bool changed = false;
        for (const ui::MenuItem* item : menu->items()) {
            const auto place = places_.find(static_cast<UINT>(item->id()));
            if (!item->visible() || place == places_.end() || place->second == pictured(*item))
                continue;
            MENUITEMINFOW info = {sizeof(info)};
            info.fMask = MIIM_BITMAP;
            info.hbmpItem = pictured(*item) ? HBMMENU_CALLBACK : nullptr;
            if (SetMenuItemInfoW(native, place->first, FALSE, &info))
                place->second = !place->second;
            changed = true;
        }
        if (changed) applyStyle(native, *menu);
    }
}

void MenuBar::menuIdle() {
    if (icons_) icons_->start();
}

void MenuBar::receiveIcon() {
    if (!icons_ || !icons_->receive()) return;
    for (const auto& [menu, native] : popups_) repaintOpen(native);
}

// A menu with programs' icons and no check mark shows the icons where check marks would go,
// rather than in a column beside an empty one: a narrower menu, less to draw.
void MenuBar::applyStyle(HMENU native, const ui::MenuItem& menu) const {
    bool places = false, checks = false;
    for (const ui::MenuItem* item : menu.items()) {
        places = places || (item->visible() && pictured(*item));
        checks = checks || (item->visible() && item->checked());
    }
    MENUINFO style = {sizeof(style)};
    style.fMask = MIM_STYLE;
    style.dwStyle = places && !checks ? MNS_NOCHECK : 0;
    SetMenuInfo(native, &style);
}

bool MenuBar::pictured(const ui::MenuItem& item) const {
    return !item.iconSource().empty() && !(icons_ && icons_->without(item.iconSource()));
}

const ui::MenuItem* MenuBar::itemOf(UINT id) const {
    for (const auto& [menu, native] : popups_)
        for (const ui::MenuItem* item : menu->items())
            if (static_cast<UINT>(item->id()) == id) return item;
    return nullptr;
}

bool MenuBar::measureItem(MEASUREITEMSTRUCT& item) const {
    if (item.CtlType != ODT_MENU || !itemOf(item.itemID)) return false;
    // The icon, and a gap before the caption.
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi_);
    item.itemWidth = static_cast<UINT>(size + MulDiv(4, static_cast<int>(dpi_), 96));
    item.itemHeight = static_cast<UINT>(size);
    return true;
}

bool MenuBar::drawItem(const DRAWITEMSTRUCT& item) {
    const ui::MenuItem* drawn = item.CtlType == ODT_MENU ? itemOf(item.itemID) : nullptr;
    if (!drawn) return false;
    const HDC picture = icons_ ? icons_->pictureOf(drawn->iconSource()) : nullptr;
    if (!picture) return true;
    // The picture is ready to blend: one call, no icon to take apart at each paint.
    const int size = icons_->size();
    const RECT& at = item.rcItem;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(item.hDC, at.left, at.top + (at.bottom - at.top - size) / 2, size, size, picture,
                  0, 0, size, size, blend);
    return true;
}

// Win32 menus have no hidden items: the native menu is rebuilt to hold exactly the visible
// items, so that anyone reading it (a screen reader, an automation tool) sees the truth.
void MenuBar::render(HMENU native, const ui::MenuItem& menu) {
    while (GetMenuItemCount(native) > 0) RemoveMenu(native, 0, MF_BYPOSITION);
    applyStyle(native, menu);
    UINT position = 0;
    std::wstring caption;
    for (const ui::MenuItem* item : menu.items()) {
        if (!item->visible()) continue;
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_ID | MIIM_FTYPE;
        info.wID = static_cast<UINT>(item->id());
        if (item->separator()) {
            info.fType = MFT_SEPARATOR;
        } else {
            caption = fittedCaption(item->caption());
            info.fMask |= MIIM_STATE | MIIM_STRING | MIIM_BITMAP;
            // The window draws an item's icon (measureItem, drawItem), once it is read. The
            // system lines up every caption of a menu after its widest picture, so an item
            // that names no program needs no place of its own: only those that draw ask the
            // window (each of its calls costs the menu's drawing time).
            const bool place = pictured(*item);
            if (place) info.hbmpItem = HBMMENU_CALLBACK;
            if (!item->iconSource().empty()) places_[info.wID] = place;
            info.fType = MFT_STRING;
            info.fState = (item->enabled() ? MFS_ENABLED : MFS_GRAYED) |
                          (item->checked() ? MFS_CHECKED : MFS_UNCHECKED) |
                          (item == default_ ? MFS_DEFAULT : 0);
            info.dwTypeData = caption.data();
        }
        InsertMenuItemW(native, position++, TRUE, &info);
    }
}

}  // namespace td::win32
