#include "platform/tray_events.h"

namespace td {

namespace {

// The shell's numbers for what happened on the icon.
constexpr unsigned kLeftDoubleClick = 0x203;  // WM_LBUTTONDBLCLK
constexpr unsigned kRightButtonUp = 0x205;    // WM_RBUTTONUP
constexpr unsigned kContextMenu = 0x7B;       // WM_CONTEXTMENU: right click, Shift+F10, menu key
constexpr unsigned kKeySelect = 0x401;        // NIN_KEYSELECT: Enter or Space on the icon

// Two callbacks this close together stand for one action of the user's: the shell sends
// NIN_KEYSELECT twice for one Enter, and a right click as WM_RBUTTONUP and WM_CONTEXTMENU.
constexpr std::uint64_t kSameActionMs = 200;

bool justAfter(const std::optional<std::uint64_t>& earlier, std::uint64_t time) {
    return earlier && time - *earlier <= kSameActionMs;
}

// A coordinate of version 4's anchor point: a signed 16-bit half of wParam.
int coordinate(std::uintptr_t half) {
    return static_cast<std::int16_t>(half & 0xFFFF);
}

}  // namespace

// A double-click, or Enter on the icon, is the icon's default action; the right button's
// release opens the menu where the pointer is, and the keyboard's menu key where the icon is,
// with its first item highlighted. Every other message (a single click, NIN_SELECT, a press,
// a move) does nothing.
std::optional<TrayEvent> TrayCallbackDecoder::decode(std::uintptr_t wParam, std::intptr_t lParam,
                                                     ScreenPoint pointer, std::uint64_t time) {
    const unsigned event = static_cast<unsigned>(lParam) & 0xFFFF;
    if (version_ >= 4) pointer = {coordinate(wParam), coordinate(wParam >> 16)};
    switch (event) {
        case kLeftDoubleClick:
            return TrayEvent{TrayAction::Activate, {}};
        case kRightButtonUp:
            lastRightButtonUp_ = time;
            return TrayEvent{TrayAction::ContextMenu, {pointer, false}};
        case kKeySelect: {
            if (version_ < 4) return std::nullopt;
            const bool again = justAfter(lastKeySelect_, time);
            lastKeySelect_ = time;
            if (again) return std::nullopt;
            return TrayEvent{TrayAction::Activate, {}};
        }
        case kContextMenu:
            if (version_ < 4 || justAfter(lastRightButtonUp_, time)) return std::nullopt;
            return TrayEvent{TrayAction::ContextMenu, {pointer, true}};
        default:
            return std::nullopt;
    }
}

void TrayCallbackDecoder::handled(std::intptr_t lParam, std::uint64_t now) {
    const unsigned event = static_cast<unsigned>(lParam) & 0xFFFF;
    if (event == kKeySelect) lastKeySelect_ = now;
    if (event == kRightButtonUp) lastRightButtonUp_ = now;
}

std::optional<unsigned> addNotifyIcon(NotifyIconCalls& shell) {
    if (!shell.add() && !shell.modify()) return std::nullopt;
    if (!shell.setVersion4()) return 0u;
    shell.showTip();
    return 4u;
}

}  // namespace td
