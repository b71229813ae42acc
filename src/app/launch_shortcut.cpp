#include "app/launch_shortcut.h"

#include "platform/text.h"
#include "shared/product.h"
#include "slots/settings_layout.h"

namespace td {

namespace {

// Key codes that are not keys of their own: the mouse buttons and the modifiers.
bool isModifierOrButton(unsigned key) {
    // Shift, Ctrl and Alt are 0x10 to 0x12; their left and right keys 0xA0 to 0xA5.
    constexpr unsigned kShift = 0x10, kAlt = 0x12, kCapsLock = 0x14, kLeftWindows = 0x5B,
                       kRightWindows = 0x5C, kLeftShift = 0xA0, kRightAlt = 0xA5;
    return key < 0x08 || (key >= kShift && key <= kAlt) || key == kCapsLock ||
           key == kLeftWindows || key == kRightWindows || (key >= kLeftShift && key <= kRightAlt);
}

}  // namespace

bool LaunchShortcut::usable(HotKeyCombination combination) {
    const unsigned key = combination & 0xFF, modifiers = combination >> 8;
    constexpr unsigned kAll = kHotKeyShift | kHotKeyControl | kHotKeyAlt | kHotKeyExtended;
    return key != 0 && !isModifierOrButton(key) && (modifiers & ~kAll) == 0 &&
           (modifiers & (kHotKeyControl | kHotKeyAlt)) != 0;
}

void LaunchShortcut::load() {
    // Absent, "0", or a value that names no such combination: no shortcut, and the value is
    // left as it is.
    const std::optional<std::uint16_t> stored =
        settings::toUnsigned16(settings_.read(settings::hotKeyKey(), L"0"));
    chosen_ = stored && usable(*stored) ? *stored : 0;
    settings_.hold(settings::hotKeyKey(), decimalText(chosen_));
    // Read again when a policy sets the shortcut or lets it go: the one in force gives way.
    if (chosen_ != 0) {
        inForce_ = services_.hotKey.set(window_, chosen_);
    } else if (inForce_) {
        services_.hotKey.set(window_, 0);
        inForce_ = false;
    }
}

bool LaunchShortcut::choose(HotKeyCombination combination, ui::Form& over) {
    // A shortcut a policy sets stays, and the window closes.
    if (settings_.held(settings::hotKeyKey())) return true;
    if (!usable(combination)) combination = 0;
    // A combination that types a character (Ctrl+Alt is AltGr on many keyboards) would take
    // that character away in every program: the user decides before it is registered.
    const std::wstring typed = services_.hotKey.typedText(combination);
    if (!typed.empty() && !(combination == chosen_ && inForce_) &&
        !services_.messages.ask(&over,
                                describe(combination) + L" types \u201C" + typed +
                                    L"\u201D on your keyboard. As the shortcut, it would no "
                                    L"longer type it in any program.\n\nUse " +
                                    describe(combination) + L" anyway?",
                                kProductName, kExclamationYesNo))
        return false;
    if (!services_.hotKey.set(window_, combination)) {
        services_.messages.show(
            &over,
            describe(combination) + L" is in use by another program. Choose another shortcut.",
            kProductName, kExclamationOk);
        return false;
    }
    chosen_ = combination;
    inForce_ = combination != 0;
    settings::SaveFailures failures;
    settings_.write(settings::hotKeyKey(), decimalText(combination), failures);
    if (failures.empty()) return true;
    services_.messages.show(
        &over,
        settings::report(
            failures, std::wstring(kProductName) + L" could not save the Launch menu's shortcut:",
            L"It works until " + std::wstring(kProductName) + L" closes. Press OK to try again."),
        kProductName, kExclamationOk);
    return false;
}

void LaunchShortcut::release() {
    if (inForce_) services_.hotKey.set(window_, 0);
    inForce_ = false;
}

std::wstring LaunchShortcut::describe(HotKeyCombination combination) const {
    return services_.hotKey.describe(combination);
}

}  // namespace td
