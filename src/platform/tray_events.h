// The shell's notification-icon callbacks, decoded into the program's tray events, and the
// calls that add the icon. Portable code: the numbers here are the shell's, and nothing above
// the tray service sees them.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/services.h"

namespace td {

class TrayCallbackDecoder {
public:
    // Which callbacks the shell sends: the classic ones (0), which carry the mouse message
    // alone, or those of version 4, which carry the icon's events, keyboard ones too, and
    // the place they happened.
    void setVersion(unsigned version) { version_ = version; }
    unsigned version() const { return version_; }

    // One callback: the message's two parameters, where the pointer was, and when the program
    // handles it (milliseconds). Not the message's own time: the shell may send a callback
    // rather than post it, and a sent message carries the time of an older one.
    std::optional<TrayEvent> decode(std::uintptr_t wParam, std::intptr_t lParam,
                                    ScreenPoint pointer, std::uint64_t now);
    // The handling of that callback (the same lParam) ended now: a repeat of it counts from
    // here, however long the handling took.
    void handled(std::intptr_t lParam, std::uint64_t now);

private:
    unsigned version_ = 0;
    std::optional<std::uint64_t> lastKeySelect_, lastRightButtonUp_;
};

// The shell's notification-icon calls for the program's one icon, each with its record.
class NotifyIconCalls {
public:
    virtual ~NotifyIconCalls() = default;
    virtual bool add() = 0;
    // Sends the record again: true only for an icon the shell holds.
    virtual bool modify() = 0;
    virtual bool setVersion4() = 0;
    virtual void showTip() = 0;
};

// Adds the icon and asks for version 4's callbacks, which bring the keyboard; version 4 shows
// the tip only when asked to. At sign-in the shell can be too busy to answer an add in time
// and add the icon all the same, so a failed add is followed by a modify, which succeeds only
// for an icon the shell holds. The version of the callbacks the shell sends (4, or 0 for the
// classic ones); none when it holds no icon.
std::optional<unsigned> addNotifyIcon(NotifyIconCalls& shell);

}  // namespace td
