// 5 x 5 convolution of a 24-bit pixel view.
//
// Picture coordinates, y down. Every neighbour is read from the source, which is not changed;
// neighbours outside the source count as 0. The caller clips `area` to the source and gives an
// output view with room for the area's pixels at `at`.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/pixels.h"

namespace raster {

struct Kernel5x5 {
    int32_t weights[5][5] = {};  // weights[r][c] applies to the neighbour (x + c - 2, y + r - 2)
    int32_t divisor = 1;         // integer division toward zero; 0 counts as 1
    int32_t bias = 0;            // added after the division; the result is limited to 0..255
    bool filterRed = true;       // a channel that is not filtered keeps its source value
    bool filterGreen = true;
    bool filterBlue = true;
};

// Filters the pixels of `area` (inside src) and writes them into `out` from `at` on.
void Convolve5x5(const PixelView& src, const Rect& area, const Kernel5x5& kernel, const PixelView& out, Point at);

}  // namespace raster
