// Horizontal spans and the writers that put them into pixels.
//
// Every primitive of the software raster ends here: geometry is turned into spans (a row y and
// the columns x0 .. x1 - 1, y down, picture coordinates of the view), clipped once by the
// primitive that made them, and then written with a solid ink along a row pointer.
//
// Clipping contract: the writers do no bounds checks. Callers hand them spans that lie inside
// the view (0 <= x0 <= x1 <= width, 0 <= y < height); every span producer in platform/raster
// takes a clip rectangle and only produces such spans when that rectangle lies inside the view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"

namespace raster {

struct Span {
    int32_t y = 0;
    int32_t x0 = 0;  // first column
    int32_t x1 = 0;  // one past the last column
    friend bool operator==(const Span&, const Span&) = default;
};

using SpanList = std::vector<Span>;

// A colour made ready for one view: the bytes a 24-bit pixel stores (blue, green, red), or the
// colour-table index an 8-bit pixel stores.
struct Ink {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t index = 0;
};

// The ink for a colour in `view`. An 8-bit view takes the nearest entry of its colour table
// (the first one on a tie); without a table its pixels are taken as grey levels.
Ink InkFor(const PixelView& view, uint8_t red, uint8_t green, uint8_t blue);

// The pixel value at (x, y) packed as 0x00RRGGBB for a 24-bit view, or the index for an 8-bit
// view. (x, y) must lie inside the view.
uint32_t PixelAt(const PixelView& view, int32_t x, int32_t y);
uint32_t InkValue(const PixelView& view, const Ink& ink);  // the same packing for an ink

// Writes one ink along rows of one view. Made once per primitive: it lays out a block of the
// ink's bytes, which each run then copies with the widest stores the processor has.
class RowFiller {
public:
    RowFiller(const PixelView& view, const Ink& ink);
    // Columns x0 .. x1 - 1 of `row`, a row pointer of the view (RowPointer); x0 < x1.
    void fill(uint8_t* row, int32_t x0, int32_t x1) const {
        const size_t offset = static_cast<size_t>(x0) * bytesPerPixel_;
        write_(row + offset, static_cast<size_t>(x1 - x0) * bytesPerPixel_, block_);
    }

    static constexpr size_t kBlock = 96;  // a multiple of 3 and of 32

private:
    using Writer = void (*)(uint8_t* to, size_t bytes, const uint8_t* block);
    alignas(32) uint8_t block_[kBlock];
    size_t bytesPerPixel_;
    Writer write_;
};

// Writes every span with the ink. Spans must lie inside the view (see the contract above).
void PaintSpans(const PixelView& view, const Span* spans, size_t count, const Ink& ink);
inline void PaintSpans(const PixelView& view, const SpanList& spans, const Ink& ink) {
    PaintSpans(view, spans.data(), spans.size(), ink);
}

// Fills the rectangle, which must lie inside the view.
void FillRect(const PixelView& view, const Rect& rect, const Ink& ink);

// The whole view as a rectangle.
inline Rect ViewRect(const PixelView& view) { return Rect{0, 0, view.width, view.height}; }

// The bounding box of a list of spans; empty for no spans.
Rect SpanBounds(const SpanList& spans);

}  // namespace raster
