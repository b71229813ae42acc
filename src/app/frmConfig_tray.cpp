// The main window's ways in from outside it: the tray icon, and the shortcut that opens the
// Launch menu from any program.
#include "app/application.h"
#include "app/frmConfig.h"
#include "shared/product.h"
#include "shared/window_ids.h"

namespace td {

void frmConfig::addTrayIcon() {
    trayIconData_ = TrayIconData{ids::kTrayIconId, kProductName};
    app_.services.tray.listen(*this, [this](const TrayEvent& event) { TrayIcon_Event(event); });
    trayIconPresent_ = app_.services.tray.add(*this, trayIconData_);
    if (!trayIconPresent_) retryTrayIcon(0);
}

// A shell that refuses the icon at logon is usually still starting: try again a few times
// over the first minute. Should the icon never come, or no timer be there to try again, a
// hidden window would be out of the user's reach, so it is shown instead.
void frmConfig::retryTrayIcon(std::size_t attempt) {
    auto giveUp = [this] {
        if (!trayIconPresent_ && !unloaded() && mnuConfigure->visible()) mnuConfigure_Click();
    };
    if (attempt == kTrayRetrySeconds.size()) return giveUp();
    const int previous = attempt == 0 ? 0 : kTrayRetrySeconds[attempt - 1];
    const auto delay = std::chrono::seconds(kTrayRetrySeconds[attempt] - previous);
    std::weak_ptr<ui::Form> weak = weak_from_this();
    const bool scheduled = app_.services.windows.runAfter(delay, [this, weak, attempt] {
        if (weak.expired() || unloaded() || trayIconPresent_) return;
        trayIconPresent_ = app_.services.tray.add(*this, trayIconData_);
        retryTrayIcon(attempt + 1);
    });
    if (!scheduled) giveUp();
}

// A restarted shell has lost every icon; a shell that announces itself late accepts the one
// it refused. Should the old icon still be there, it is replaced.
void frmConfig::readdTrayIcon() {
    if (unloaded()) return;
    bool added = app_.services.tray.add(*this, trayIconData_);
    if (!added) {
        app_.services.tray.remove(*this, trayIconData_);
        added = app_.services.tray.add(*this, trayIconData_);
    }
    trayIconPresent_ = added;
}

// Shows a hidden window in the foreground, or hides a shown one.
void frmConfig::toggle() {
    if (mnuConfigure->visible()) {
        setWindowState(ui::kNormal);
        app_.services.windows.setForeground(*this);
        show();
        showPair(true);
    } else {
        setWindowState(ui::kMinimized);
        showPair(false);
    }
}

// The "&Launch" menu as a pop-up, with the offered one of "Configure" and "&Hide" as its
// default; true when an item was chosen.
bool frmConfig::popUpLaunchMenu(const PopupPlace& place) {
    // The window must be in the foreground, or the menu would not close when the user clicks
    // elsewhere.
    app_.services.windows.setForeground(*this);
    return app_.services.windows.popupMenu(*this, *mnuFile,
                                           mnuConfigure->visible() ? mnuConfigure : mnuHide, place);
}

void frmConfig::TrayIcon_Event(const TrayEvent& event) {
    switch (event.action) {
        case TrayAction::Activate:
            toggle();
            break;
        case TrayAction::ContextMenu:
            // One menu at a time.
            if (app_.services.windows.menuOpen(*this)) break;
            // Opened from the keyboard and closed without a choice (Esc): the keyboard focus
            // goes back to the notification area, where the user was.
            if (!popUpLaunchMenu(event.place) && event.place.fromKeyboard)
                app_.services.tray.returnFocus(*this, trayIconData_);
            break;
        case TrayAction::ShellRestarted:
            readdTrayIcon();
            break;
    }
}

void frmConfig::HotKey_Pressed(const PopupPlace& place) {
    auto& windows = app_.services.windows;
    // Pressed again while its menu is open: the menu closes.
    if (windows.menuOpen(*this)) return windows.closeMenu();
    // With a window of the program open modally, a menu would open behind it: that window
    // comes to the front instead.
    if (windows.bringModalToFront(*this)) return;
    // Closed without a choice: the user goes back to the program they were in.
    if (!popUpLaunchMenu(place)) app_.services.hotKey.returnFocus();
}

}  // namespace td
