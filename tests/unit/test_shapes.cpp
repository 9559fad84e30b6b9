// Rectangles and ellipses as spans, against per-pixel descriptions of the same shapes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "platform/raster/shapes.h"
#include "tests/unit/test_drawing_support.h"

using drawtest::Diff;
using drawtest::PixelSet;
using drawtest::PixelsOf;
using drawtest::PixelsWhere;
using raster::SpanList;

namespace {

const Rect kEverywhere{-5000, -5000, 5000, 5000};

PixelSet Spans(void (*make)(const Rect&, const Rect&, SpanList&), const Rect& box, const Rect& clip = kEverywhere) {
    SpanList spans;
    make(box, clip, spans);
    return PixelsOf(spans);
}

Rect Grown(const Rect& r, int32_t by) { return Rect{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

// The ellipse as a per-pixel test: the pixel's centre inside the ellipse through the box's
// edges, plus the box's middle row(s) and column(s), which a thin ellipse must keep.
bool InEllipse(const Rect& box, int32_t x, int32_t y) {
    if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) return false;
    const int64_t w = box.width(), h = box.height();
    const int64_t dx = 2 * int64_t{x} + 1 - box.left - box.right;  // half pixels from the centre
    const int64_t dy = 2 * int64_t{y} + 1 - box.top - box.bottom;
    if (std::llabs(dx) <= 1 || std::llabs(dy) <= 1) return true;
    using Wide = __int128;  // huge boxes overflow 64 bits here
    return Wide{dx} * dx * h * h + Wide{dy} * dy * w * w <= Wide{w} * w * h * h;
}

bool OnEllipseOutline(const Rect& box, int32_t x, int32_t y) {
    return InEllipse(box, x, y) && (!InEllipse(box, x - 1, y) || !InEllipse(box, x + 1, y) ||
                                    !InEllipse(box, x, y - 1) || !InEllipse(box, x, y + 1));
}

const Rect kEllipseBoxes[] = {
    {0, 0, 10, 10}, {0, 0, 1, 1},     {0, 0, 2, 2},     {0, 0, 3, 7},    {0, 0, 40, 3},  {0, 0, 3, 40},
    {0, 0, 100, 2}, {0, 0, 2, 100},   {5, 5, 36, 22},   {-10, -4, 25, 31}, {0, 0, 1, 9}, {7, 3, 8, 4},
    {0, 0, 64, 64}, {0, 0, 63, 64},   {0, 0, 101, 57},  {0, 0, 300, 11},
};

}  // namespace

TEST(FilledRect, CoversLeftToRightMinusOneAndTopToBottomMinusOne) {
    struct Case {
        Rect box, clip;
        Rect covered;  // empty: nothing
    } cases[] = {
        {{0, 0, 10, 10}, kEverywhere, {0, 0, 10, 10}},
        {{3, 4, 4, 5}, kEverywhere, {3, 4, 4, 5}},        // a single pixel
        {{5, 5, 5, 9}, kEverywhere, {}},                   // zero width
        {{5, 5, 9, 5}, kEverywhere, {}},                   // zero height
        {{9, 9, 5, 5}, kEverywhere, {}},                   // corners swapped: empty here
        {{-5, 2, 5, 8}, {0, 0, 20, 20}, {0, 2, 5, 8}},     // cut at the left
        {{15, 2, 25, 8}, {0, 0, 20, 20}, {15, 2, 20, 8}},  // at the right
        {{2, -5, 8, 5}, {0, 0, 20, 20}, {2, 0, 8, 5}},     // at the top
        {{2, 15, 8, 25}, {0, 0, 20, 20}, {2, 15, 8, 20}},  // at the bottom
        {{-3, -3, 30, 30}, {0, 0, 20, 20}, {0, 0, 20, 20}},
        {{20, 0, 30, 10}, {0, 0, 20, 20}, {}},             // touching the clip from outside
        {{-30, -30, -20, -20}, {0, 0, 20, 20}, {}},
    };
    for (const Case& c : cases) {
        const PixelSet expected = PixelsWhere(c.covered, [](int32_t, int32_t) { return true; });
        EXPECT_EQ(Spans(raster::RectSpans, c.box, c.clip), expected)
            << "box " << c.box.left << "," << c.box.top << "," << c.box.right << "," << c.box.bottom;
    }
}

TEST(FramedRect, DrawsOnlyTheBorderPixels) {
    struct Case {
        Rect box;
        size_t pixels;
    } cases[] = {
        {{0, 0, 10, 10}, 36}, {{0, 0, 1, 1}, 1}, {{0, 0, 1, 6}, 6}, {{0, 0, 6, 1}, 6},
        {{0, 0, 2, 2}, 4},    {{0, 0, 3, 3}, 8}, {{4, 4, 4, 9}, 0}, {{2, 7, 30, 9}, 56},
    };
    for (const Case& c : cases) {
        const PixelSet drawn = Spans(raster::FrameRectSpans, c.box);
        const PixelSet border = PixelsWhere(c.box, [&](int32_t x, int32_t y) {
            return x == c.box.left || x == c.box.right - 1 || y == c.box.top || y == c.box.bottom - 1;
        });
        EXPECT_EQ(drawn.size(), c.pixels) << "box width " << c.box.width() << " height " << c.box.height();
        EXPECT_EQ(drawn, border) << Diff(drawn, border, Grown(c.box, 1));
    }
}

TEST(FilledEllipse, MatchesThePerPixelDescription) {
    for (const Rect& box : kEllipseBoxes) {
        const PixelSet drawn = Spans(raster::EllipseSpans, box);
        const PixelSet expected = PixelsWhere(Grown(box, 1), [&](int32_t x, int32_t y) { return InEllipse(box, x, y); });
        EXPECT_EQ(drawn, expected) << "box " << box.width() << "x" << box.height() << Diff(drawn, expected, Grown(box, 1));
    }
}

TEST(FilledEllipse, TouchesEverySideOfItsBoxAndKeepsItsSymmetries) {
    for (const Rect& box : kEllipseBoxes) {
        const PixelSet drawn = Spans(raster::EllipseSpans, box);
        PixelSet transposed;  // drawn in the transposed box, flipped back
        for (const auto& [x, y] : Spans(raster::EllipseSpans, Rect{box.top, box.left, box.bottom, box.right}))
            transposed.emplace(y, x);
        EXPECT_EQ(drawn, transposed) << "box " << box.width() << "x" << box.height();
        bool left = false, right = false, top = false, bottom = false;
        for (const auto& [x, y] : drawn) {
            left |= x == box.left, right |= x == box.right - 1, top |= y == box.top, bottom |= y == box.bottom - 1;
            ASSERT_TRUE(drawn.count({box.left + box.right - 1 - x, y})) << "not mirrored left-right at " << x << "," << y;
            ASSERT_TRUE(drawn.count({x, box.top + box.bottom - 1 - y})) << "not mirrored top-bottom at " << x << "," << y;
        }
        EXPECT_TRUE(left && right && top && bottom) << "box " << box.width() << "x" << box.height();
    }
}

TEST(FramedEllipse, IsTheOnePixelBoundaryOfTheFilledEllipse) {
    for (const Rect& box : kEllipseBoxes) {
        const PixelSet drawn = Spans(raster::FrameEllipseSpans, box);
        const PixelSet expected =
            PixelsWhere(Grown(box, 1), [&](int32_t x, int32_t y) { return OnEllipseOutline(box, x, y); });
        EXPECT_EQ(drawn, expected) << "box " << box.width() << "x" << box.height() << Diff(drawn, expected, Grown(box, 1));
        EXPECT_TRUE(drawtest::IsEightConnected(drawn)) << "box " << box.width() << "x" << box.height();
        // About one pixel per step around the ellipse: never more than the box's border.
        EXPECT_LE(drawn.size(), size_t(2 * (box.width() + box.height())));
    }
}

TEST(FramedEllipse, LargeCircleOutlineHasNoThickCorners) {
    const Rect box{0, 0, 201, 201};
    const PixelSet drawn = Spans(raster::FrameEllipseSpans, box);
    size_t blocks = 0;  // a 2x2 square of outline pixels would make the outline two pixels thick
    for (const auto& [x, y] : drawn)
        if (drawn.count({x + 1, y}) && drawn.count({x, y + 1}) && drawn.count({x + 1, y + 1})) ++blocks;
    EXPECT_EQ(blocks, 0u);
    // A circle of diameter 201 has a circumference of about 631 pixels; a 1-pixel 8-connected
    // outline takes between circumference / sqrt(2) and the circumference itself plus corners.
    EXPECT_GT(drawn.size(), 560u);
    EXPECT_LT(drawn.size(), 830u);
}

TEST(ClippedShape, HugeEllipseKeepsItsShapeInASmallClip) {
    // Only a corner of a very large ellipse shows; the rows still follow the whole ellipse.
    const Rect box{-100000, -50000, 100000, 50000};
    const Rect clip{-100000, -10, -99000, 10};  // the left tip, around the middle rows
    const PixelSet drawn = Spans(raster::EllipseSpans, box, clip);
    const PixelSet expected = PixelsWhere(clip, [&](int32_t x, int32_t y) { return InEllipse(box, x, y); });
    EXPECT_EQ(drawn, expected);
    EXPECT_TRUE(drawn.count({-100000, 0}));
}

TEST(ClippedShape, EqualsTheCropOfTheWholeShape) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int32_t> coord(-40, 80);
    for (int round = 0; round < 300; ++round) {
        const int32_t x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
        const Rect box{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        const int32_t c0 = coord(random), c1 = coord(random), c2 = coord(random), c3 = coord(random);
        const Rect clip{std::min(c0, c1), std::min(c2, c3), std::max(c0, c1), std::max(c2, c3)};
        for (auto make : {raster::RectSpans, raster::FrameRectSpans, raster::EllipseSpans, raster::FrameEllipseSpans})
            EXPECT_EQ(Spans(make, box, clip), drawtest::CropTo(Spans(make, box), clip));
    }
}
