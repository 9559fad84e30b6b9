// Block copies and nearest-neighbour stretches between pixel views (platform/pixels.h).
//
// Coordinates are picture coordinates of each view, y down; rectangles are right/bottom
// exclusive. A source is converted to the destination's depth before the raster operation is
// applied byte by byte: 8-bit sources go through their own colour table, and a colour written
// into an 8-bit destination becomes the index of the nearest entry of the destination's table
// (8-bit to 8-bit copies with equal tables move the indices unchanged).
//
// Clipping: CopyBlock trusts its caller (use ClipBlock first); StretchBlock clips itself,
// keeping the unclipped rectangles for sampling so that a clipped stretch is a crop of the
// unclipped one. Nothing here allocates per pixel or calls through a pointer per pixel.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/pixels.h"

namespace raster {

enum class RasterOp : uint8_t {
    Copy,  // destination = source
    Or,    // destination |= source (the mask pass of a masked copy)
    And,   // destination &= source (the image pass)
};

// An equal-size block: w x h pixels from (sx, sy) of the source to (dx, dy) of the destination.
struct Block {
    int32_t sx = 0;
    int32_t sy = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// Trims a block to the source, the destination and `clip` (destination coordinates), moving
// both origins together. False when nothing is left.
bool ClipBlock(Block& block, const PixelView& src, const PixelView& dst, const Rect& clip);

// Copies a block that lies inside both views. The views may be the same pixels (overlap is
// handled for plain copies).
void CopyBlock(const PixelView& src, const PixelView& dst, const Block& block, RasterOp op);

// Stretches srcRect of src onto dstRect of dst, nearest neighbour: destination column i
// (0-based within dstRect) samples source column srcRect.left + floor((i + 1/2) * sw / dw),
// rows alike, so every destination pixel takes the source pixel under its centre.
// Writes only destination pixels inside dst and `clip` whose sample lies inside src; rectangles
// with no width or height copy nothing. Returns the destination rectangle it wrote (empty when
// nothing).
Rect StretchBlock(const PixelView& src, const Rect& srcRect, const PixelView& dst, const Rect& dstRect,
                  const Rect& clip, RasterOp op);

// The source position that destination position i (0-based) samples when `srcLen` pixels are
// stretched over `dstLen` (both positive): floor((i + 1/2) * srcLen / dstLen), exact for every
// int position and length.
int64_t SampleOf(int64_t i, int64_t srcLen, int64_t dstLen);

// The first entry of a 256-entry colour table (b, g, r, 0) nearest to a colour (squared
// distance in RGB).
uint8_t NearestColorIndex(const uint8_t* colorTable, uint8_t red, uint8_t green, uint8_t blue);

// The whole view as a rectangle: (0, 0, width, height).
inline Rect Bounds(const PixelView& v) { return Rect{0, 0, v.width, v.height}; }

}  // namespace raster
