// Flood fill: the area of one exact colour around a seed, 4-connected.
//
// Coordinates are pixels of the view, y down. The fill never leaves `clip`, which must lie
// inside the view. It works row by row on runs of pixels, keeping the runs still to look at on
// a stack that the FloodFiller owns and reuses: no recursion, so any picture size is safe.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"
#include "platform/raster/spans.h"

namespace raster {

class FloodFiller {
public:
    // Gives `ink` to every pixel inside `clip` that is 4-connected to (x, y) through pixels of
    // the value `surface` (packed as PixelAt packs it). Nothing happens when the starting pixel lies
    // outside the clip or is not of that value, or when the ink already has that value.
    // Returns the bounding box of the pixels changed (empty when none).
    Rect fill(const PixelView& view, int32_t x, int32_t y, uint32_t surface, const Ink& ink, const Rect& clip);

    // The deepest the stack of pending runs grew in the last fill (for tests and measurements).
    size_t deepestStack() const { return deepest_; }

private:
    template <class Scanner>
    Rect fillWith(const Scanner& scanner, const PixelView& view, int32_t x, int32_t y, const Rect& clip);

    struct Pending {
        int32_t y;
        int32_t x0, x1;  // columns of row y next to a run already filled
        int32_t dir;     // the filled run lies in row y - dir
    };
    std::vector<Pending> stack_;
    size_t deepest_ = 0;
};

}  // namespace raster
