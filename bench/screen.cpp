#include "screen.h"

#include <algorithm>

namespace bench {

bool Picture::sameFrom(const Picture& other, int column) const {
    if (width != other.width || height != other.height || pixels.empty()) return false;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * width;
        if (!std::equal(pixels.begin() + row + column, pixels.begin() + row + width,
                        other.pixels.begin() + row + column))
            return false;
    }
    return true;
}

bool Picture::plain(int left, int right, int border, std::uint32_t colour) const {
    for (int y = border; y < height - border; ++y)
        for (int x = std::max(left, border); x < std::min(right, width - border); ++x)
            if (pixels[static_cast<std::size_t>(y) * width + x] != colour) return false;
    return true;
}

Screen::Screen() : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {}

Screen::~Screen() {
    if (memory_) DeleteDC(memory_);
    if (screen_) ReleaseDC(nullptr, screen_);
}

Picture Screen::read(const RECT& place) {
    Picture picture;
    const int width = place.right - place.left, height = place.bottom - place.top;
    if (!memory_ || width <= 0 || height <= 0) return picture;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return picture;
    HGDIOBJ old = SelectObject(memory_, bitmap);
    if (BitBlt(memory_, 0, 0, width, height, screen_, place.left, place.top, SRCCOPY)) {
        GdiFlush();
        const auto* from = static_cast<const std::uint32_t*>(bits);
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(from, from + static_cast<std::size_t>(width) * height);
        for (auto& pixel : picture.pixels) pixel &= 0xFFFFFF;
    }
    SelectObject(memory_, old);
    DeleteObject(bitmap);
    return picture;
}

}  // namespace bench
