// The notification-area icon: adding and removing it, and turning what the shell sends the
// owner window about it into tray events.
#pragma once

#include <functional>

#include "platform/services.h"
#include "platform/tray_events.h"
#include "platform/win32/handles.h"

namespace td::win32 {

// The message the shell sends the owner window for the icon's events (WM_APP + 1). Tools that
// drive the program from outside post it as the shell would.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

class Win32TrayIcon : public TrayIcon {
public:
    void listen(ui::Form& owner, std::function<void(const TrayEvent&)> handler) override;
    bool add(ui::Form& owner, const TrayIconData& data) override;
    void remove(ui::Form& owner, const TrayIconData& data) override;
    void returnFocus(ui::Form& owner, const TrayIconData& data) override;

private:
    std::function<void(const TrayEvent&)> handler_;
    TrayCallbackDecoder decoder_;
    // The picture shown in the notification area, kept while the icon is there.
    UniqueIcon icon_;
};

}  // namespace td::win32
