// Helpers for the raster, drawing and pixel tests: pixel buffers of our own, pixel sets,
// golden-image comparison, and a started toolbox on a headless desktop.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"
#include "platform/raster/spans.h"
#include "tests/support/headless_fixture.h"
#include "toolbox/internal.h"

namespace drawtest {

// A bottom-up BMP-layout buffer; 8-bit canvases get a grey colour table.
struct Canvas {
    Canvas(int32_t width, int32_t height, int32_t bitCount = 24, uint8_t fill = 0);
    PixelView view() const;
    int32_t width() const { return w; }
    int32_t height() const { return h; }
    uint32_t at(int32_t x, int32_t y) const { return raster::PixelAt(view(), x, y); }  // 0x00RRGGBB or index
    void set(int32_t x, int32_t y, uint32_t value);
    void paint(const raster::SpanList& spans, uint32_t value);
    bool operator==(const Canvas& other) const { return bytes == other.bytes; }  // padding included

    int32_t w, h, bits;
    mutable std::vector<uint8_t> bytes, table;
};

// An ink for a packed 0x00RRGGBB value (the index at 8 bits) in that canvas.
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
inline PixelSet Filled(const Rect& rect) { return PixelsWhere(rect, [](int32_t, int32_t) { return true; }); }
PixelSet CropTo(const PixelSet& set, const Rect& rect);
Rect Bounds(const PixelSet& set);  // the smallest rectangle holding every pixel; empty if none

// Compares a 24-bit canvas with tests/golden/<name>.bmp; an empty string on a match, otherwise
// a message, with <name>.actual.bmp written into the test output folder. With UPDATE_GOLDEN=1 in
// the environment it rewrites the golden file instead.
std::string CompareWithGolden(const Canvas& canvas, const std::string& name);

}  // namespace drawtest

// tb_Init on a fresh headless desktop, with short ways to make bitmaps and read their pixels.
class ToolboxTest : public HeadlessTest {
protected:
    static long QuietProc(platform::Message& msg) { return platform::Plat().defWindowProc(msg); }
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_RegisterWindowClass(QuietProc, 0);
        tb_Init();
    }
    int create(int width, int height, int depth = 24) {
        Rect r{0, 0, width, height};
        return tb_CreateBitmap(&r, -1, depth);
    }
    int openWindow(int width, int height) {
        Rect r{0, 0, width, height};
        return tb_OpenWindow(&r, "w");
    }
    PixelView view(int handle) {
        toolbox::Target t;
        EXPECT_TRUE(toolbox::ResolveTarget(handle, t)) << handle;
        return t.view;
    }
    uint32_t at(int handle, int x, int y) { return raster::PixelAt(view(handle), x, y); }
    // tb_SetPixel and tb_GetPixel with 0x00RRGGBB colours (their components are bytes times 255).
    void set(int handle, int x, int y, uint32_t rgb) {
        tb_SetPixel(handle, x, y, int(rgb >> 16) * 255, int(rgb >> 8 & 0xFF) * 255, int(rgb & 0xFF) * 255);
    }
    uint32_t colour(int handle, int x, int y) {
        int r, g, b;
        tb_GetPixel(handle, x, y, &r, &g, &b);
        return uint32_t(r / 255) << 16 | uint32_t(g / 255) << 8 | uint32_t(b / 255);
    }
    // The pixels of the whole target that have this value.
    drawtest::PixelSet where(int handle, uint32_t value) {
        const PixelView v = view(handle);
        return drawtest::PixelsWhere(raster::ViewRect(v), [&](int x, int y) { return raster::PixelAt(v, x, y) == value; });
    }
    void fill(int handle, uint32_t value) {
        const PixelView v = view(handle);
        raster::FillRect(v, raster::ViewRect(v), raster::InkFor(v, uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)));
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_->messageBoxes()) texts.push_back(box.text);
        return texts;
    }
};
