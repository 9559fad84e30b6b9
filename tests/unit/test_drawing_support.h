// Helpers for the raster and drawing tests: pixel buffers of our own, pixel sets, ASCII pictures
// for failure messages, and golden-image comparison.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"
#include "platform/raster/spans.h"

namespace drawtest {

// A bottom-up BMP-layout buffer with its view; 8-bit canvases get a grey colour table.
class Canvas {
public:
    Canvas(int32_t width, int32_t height, int32_t bitCount = 24, uint8_t fill = 0);
    Canvas(const Canvas& other);
    Canvas& operator=(const Canvas&) = delete;

    const PixelView& view() const { return view_; }
    int32_t width() const { return view_.width; }
    int32_t height() const { return view_.height; }

    uint32_t at(int32_t x, int32_t y) const;  // 0x00RRGGBB, or the index for 8 bits
    void set(int32_t x, int32_t y, uint32_t value);
    void paint(const raster::SpanList& spans, uint32_t value);
    bool operator==(const Canvas& other) const;

    // Every stored byte, padding included (to see that nothing outside the pixels was touched).
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    std::vector<uint8_t> table_;
    PixelView view_;
};

// An ink for a packed 0x00RRGGBB value in that canvas.
raster::Ink InkOf(const Canvas& canvas, uint32_t rgb);

using PixelSet = std::set<std::pair<int32_t, int32_t>>;  // (x, y)

// The pixels of a span list; fails the current test if two spans overlap.
PixelSet PixelsOf(const raster::SpanList& spans);
// Pixels (x, y) of `rect` for which pred(x, y) holds.
template <class Pred>
PixelSet PixelsWhere(const Rect& rect, Pred pred) {
    PixelSet set;
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x)
            if (pred(x, y)) set.emplace(x, y);
    return set;
}
PixelSet CropTo(const PixelSet& set, const Rect& rect);
bool IsEightConnected(const PixelSet& set);

// A picture of two pixel sets over `rect` for failure messages: '#' both, '+' only in
// `actual`, '-' only in `expected`, '.' neither.
std::string Diff(const PixelSet& actual, const PixelSet& expected, const Rect& rect);

// Compares a 24-bit canvas with tests/golden/<name>.bmp. On a difference, writes
// <name>.actual.bmp and <name>.diff.bmp into the test output folder and returns a message;
// returns an empty string on a match. With UPDATE_GOLDEN=1 in the environment it rewrites the
// golden file instead.
std::string CompareWithGolden(const Canvas& canvas, const std::string& name);

}  // namespace drawtest
