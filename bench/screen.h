// What the screen shows: the pixels of a place on it, as the user sees them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace bench {

// The pixels of a rectangle of the screen, row by row, 0x00RRGGBB; empty when the screen could
// not be read.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    // Whether the two pictures are the same from this column to the right edge.
    bool sameFrom(const Picture& other, int column) const;
    // Whether every pixel from `left` to `right` (columns, inside a border of `border`
    // pixels) is this colour.
    bool plain(int left, int right, int border, std::uint32_t colour) const;
};

class Screen {
public:
    Screen();
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    Picture read(const RECT& place);

private:
    HDC screen_ = nullptr, memory_ = nullptr;
};

}  // namespace bench
