// The shell's notification-icon callbacks, decoded into the program's tray events. Portable
// code: the numbers here are the shell's, and nothing above the tray service sees them.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/services.h"

namespace td {

class TrayCallbackDecoder {
public:
    // One callback: the message's two parameters, and where the pointer was when it came.
    std::optional<TrayEvent> decode(std::uintptr_t wParam, std::intptr_t lParam,
                                    ScreenPoint pointer);
};

}  // namespace td
