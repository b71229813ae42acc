#include "platform/win32/window_fonts.h"

namespace td::win32 {

namespace {

// The layout is measured for "MS Sans Serif" 8.25 pt. Every control uses "MS Shell Dlg", which
// the system maps to the TrueType "Microsoft Sans Serif": the same design with the same
// metrics, but smoothed and scaled at any DPI, and linked to fonts for other scripts, so that
// Cyrillic, Greek or Chinese in a path or caption shows as it is. Where the face is missing,
// the font mapper substitutes its nearest match. Link labels draw it underlined, headings bold
// at 12 pt.
constexpr wchar_t kFontFace[] = L"MS Shell Dlg";
constexpr int kFontPointsTimes100 = 825;
constexpr int kHeadingPointsTimes100 = 1200;
// A label whose text is too wide for its box is set smaller, down to this size, and then
// narrower.
constexpr int kSmallestPointsTimes100 = 700;

// width: the characters' average width in pixels; 0 for the face's own proportions.
HFONT createFont(UINT dpi, int pointsTimes100, int weight, bool underline, int width = 0) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(pointsTimes100, static_cast<int>(dpi), 72 * 100);
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfUnderline = underline;
    font.lfCharSet = DEFAULT_CHARSET;
    // The user's own choice of smoothing.
    font.lfQuality = DEFAULT_QUALITY;
    wcscpy_s(font.lfFaceName, kFontFace);
    return CreateFontIndirectW(&font);
}

}  // namespace

int twipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

WindowFonts::WindowFonts(UINT dpi, HDC dc, const std::vector<const ui::Label*>& labels)
    : dpi_(dpi),
      message_(createFont(dpi, kFontPointsTimes100, FW_NORMAL, false)),
      link_(createFont(dpi, kFontPointsTimes100, FW_NORMAL, true)),
      heading_(createFont(dpi, kHeadingPointsTimes100, FW_BOLD, false)) {
    for (const ui::Label* label : labels)
        if (!label->caption().empty()) fit(dc, *label);
}

HFONT WindowFonts::designFontOf(const ui::Control& control) const {
    if (control.kind() == ui::ControlKind::Label) {
        const auto style = static_cast<const ui::Label&>(control).style();
        if (style == ui::LabelStyle::Link) return link_.get();
        if (style == ui::LabelStyle::Heading) return heading_.get();
    }
    return message_.get();
}

HFONT WindowFonts::fontOf(const ui::Control& control) const {
    auto fitted = fitted_.find(&control);
    return fitted != fitted_.end() ? fitted->second.get() : designFontOf(control);
}

// A label shows its whole text on one line. Where the face the system substitutes is wider
// than the one the layout was measured for, the label's text is set a little smaller; where
// even the smallest size that still reads is too wide, its characters are set narrower at
// that size, which keeps their height.
void WindowFonts::fit(HDC dc, const ui::Label& label) {
    // A few pixels to spare: some substituted faces draw slightly past their measure.
    const int available =
        twipsToPixels(label.rect().width, dpi_) - MulDiv(4, static_cast<int>(dpi_), 96);
    const bool bold = label.style() == ui::LabelStyle::Heading;
    const bool underline = label.style() == ui::LabelStyle::Link;
    int points = bold ? kHeadingPointsTimes100 : kFontPointsTimes100;
    int width = 0;
    HFONT font = designFontOf(label);
    UniqueFont fitted;
    for (;;) {
        SIZE extent = {};
        TEXTMETRICW metrics = {};
        HGDIOBJ old = SelectObject(dc, font);
        GetTextExtentPoint32W(dc, label.caption().c_str(), static_cast<int>(label.caption().size()),
                              &extent);
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        if (extent.cx <= available) break;
        if (points > kSmallestPointsTimes100) {
            points -= 25;
        } else {
            // The average width that would just fit, then a pixel less at each try.
            width = width ? width - 1 : MulDiv(metrics.tmAveCharWidth, available, extent.cx);
            if (width < 1) break;
        }
        fitted.reset(createFont(dpi_, points, bold ? FW_BOLD : FW_NORMAL, underline, width));
        font = fitted.get();
    }
    if (fitted) fitted_[&label] = std::move(fitted);
}

}  // namespace td::win32
