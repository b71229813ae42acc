// The shell's notification-icon callbacks, decoded into the program's tray events. Portable
// code: the numbers here are the shell's, and nothing above the tray service sees them.
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

    // One callback: the message's two parameters, where the pointer was, and when the shell
    // sent it (milliseconds, as the message's time).
    std::optional<TrayEvent> decode(std::uintptr_t wParam, std::intptr_t lParam,
                                    ScreenPoint pointer, std::uint32_t time);

private:
    unsigned version_ = 0;
    std::optional<std::uint32_t> lastKeySelect_, lastRightButtonUp_;
};

}  // namespace td
