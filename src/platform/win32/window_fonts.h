// The fonts of one window at one DPI: the face the layout was measured for, its link and
// heading forms, and smaller or narrower forms for labels whose text would not fit their box.
#pragma once

#include <map>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/win32/handles.h"

namespace td::win32 {

class WindowFonts {
public:
    // Measures each label's text in `dc` and fits it to its box.
    WindowFonts(UINT dpi, HDC dc, const std::vector<const ui::Label*>& labels);

    // The font a control is drawn in.
    HFONT fontOf(const ui::Control& control) const;
    // Tooltips and anything else without a control of its own.
    HFONT message() const { return message_.get(); }

private:
    HFONT designFontOf(const ui::Control& control) const;
    void fit(HDC dc, const ui::Label& label);

    UINT dpi_;
    UniqueFont message_;
    UniqueFont link_;
    UniqueFont heading_;
    std::map<const ui::Control*, UniqueFont> fitted_;
};

// Pixels for a length in twips at the given DPI.
int twipsToPixels(int twips, UINT dpi);

}  // namespace td::win32
