#include "slots/settings_layout.h"

#include <cwctype>

#include "platform/text.h"

namespace td::settings {

Key startupKey() {
    return {L"Startup", L"the \"Minimize on Startup\" option"};
}
Key appKey(int slot) {
    return {L"App" + decimalText(slot), L"the program of slot " + decimalText(slot)};
}
Key captionKey(int slot) {
    return {L"Caption" + decimalText(slot), L"the caption of slot " + decimalText(slot)};
}
Key groupSwitchKey() {
    return {L"chkGroupE", L"the \"Enabled?\" switch"};
}
Key groupKey(int slot) {
    return {L"chkGApp" + decimalText(slot), L"slot " + decimalText(slot) + L" in the group"};
}

Key hotKeyKey() {
    return {L"Hotkey", L"the Launch menu's shortcut"};
}

std::wstring truthText(bool value) {
    return value ? L"True" : L"False";
}

namespace {

std::wstring_view trimBlanks(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace

std::optional<bool> toTruthValue(std::wstring_view text) {
    text = trimBlanks(text);
    if (equalsIgnoringCase(text, L"true")) return true;
    if (equalsIgnoringCase(text, L"false")) return false;
    // A decimal number, possibly signed and with a fraction: true unless it is zero.
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    bool anyDigit = false;
    bool nonZero = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        anyDigit = true;
        nonZero |= text[i] != L'0';
    }
    if (i < text.size() && text[i] == L'.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            anyDigit = true;
            nonZero |= text[i] != L'0';
        }
    }
    if (!anyDigit || i != text.size()) return std::nullopt;
    return nonZero;
}

namespace {

// Decimal digits with an optional sign, no larger than the limit; none for anything else.
std::optional<long> toNumber(std::wstring_view text, long limit, bool signAllowed) {
    text = trimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (signAllowed && i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) return std::nullopt;
        value = value * 10 + (text[i] - L'0');
        if (value > limit) return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<std::int16_t> toInteger16(std::wstring_view text) {
    const std::optional<long> value = toNumber(text, 32768, true);
    if (!value || *value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::optional<std::uint16_t> toUnsigned16(std::wstring_view text) {
    const std::optional<long> value = toNumber(text, 65535, false);
    if (!value) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

}  // namespace td::settings
