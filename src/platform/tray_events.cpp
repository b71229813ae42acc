#include "platform/tray_events.h"

namespace td {

namespace {

// Mouse messages, as the shell reports them from the icon.
constexpr unsigned kLeftDoubleClick = 0x203;  // WM_LBUTTONDBLCLK
constexpr unsigned kRightButtonUp = 0x205;    // WM_RBUTTONUP

}  // namespace

// The classic callback: lParam is the mouse message that happened on the icon. A double-click
// is the icon's default action; the right button's release opens the menu at the pointer.
// Every other message (a single click, a press, a move) does nothing.
std::optional<TrayEvent> TrayCallbackDecoder::decode(std::uintptr_t, std::intptr_t lParam,
                                                     ScreenPoint pointer) {
    switch (static_cast<unsigned>(lParam) & 0xFFFF) {
        case kLeftDoubleClick:
            return TrayEvent{TrayAction::Activate, {}};
        case kRightButtonUp:
            return TrayEvent{TrayAction::ContextMenu, {pointer, false}};
        default:
            return std::nullopt;
    }
}

}  // namespace td
