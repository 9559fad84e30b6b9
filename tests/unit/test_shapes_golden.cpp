// Golden images of the raster's shapes: any change to the pixels of lines, ellipses or regions
// shows up here. Regenerate on purpose with UPDATE_GOLDEN=1 and look at the new pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/raster/region.h"
#include "platform/raster/shapes.h"
#include "tests/unit/test_drawing_support.h"

using drawtest::Canvas;

namespace {

constexpr uint32_t kInks[] = {0x1F3A93, 0xC0392B, 0x27AE60, 0x8E44AD, 0xD35400, 0x16A085, 0x2C3E50, 0xF39C12};

Rect Whole(const Canvas& c) { return Rect{0, 0, c.width(), c.height()}; }

Point Around(Point centre, double radius, double degrees) {
    const double a = degrees * 3.14159265358979 / 180.0;
    return Point{centre.x + int32_t(std::lround(radius * std::cos(a))), centre.y - int32_t(std::lround(radius * std::sin(a)))};
}

}  // namespace

TEST(GoldenImage, LinesOfEveryWidthFromOneToThirtyTwo) {
    // Eight columns by four rows of 64 x 96 cells; cell k holds a line of width k + 1 turned a
    // little further each time, and a dot of the same width below it.
    Canvas canvas(512, 384, 24, 0xFF);
    raster::SpanList spans;
    for (int32_t k = 0; k < 32; ++k) {
        const Point centre{64 * (k % 8) + 32, 96 * (k / 8) + 34};
        const int32_t width = k + 1;
        spans.clear();
        raster::LineSpans(Around(centre, 14, 11.25 * k), Around(centre, -14, 11.25 * k), width, Whole(canvas), spans);
        canvas.paint(spans, kInks[k % 8]);
        spans.clear();
        raster::LineSpans(Point{centre.x, centre.y + 44}, Point{centre.x, centre.y + 44}, width, Whole(canvas), spans);
        canvas.paint(spans, kInks[(k + 3) % 8]);
    }
    const std::string failure = drawtest::CompareWithGolden(canvas, "lines_widths");
    EXPECT_TRUE(failure.empty()) << failure;
}

TEST(GoldenImage, OnePixelLinesInEveryDirection) {
    Canvas canvas(256, 256, 24, 0xFF);
    raster::SpanList spans;
    for (int32_t k = 0; k < 72; ++k) {
        raster::LineSpans(Point{128, 128}, Around(Point{128, 128}, 40 + 80 * (k % 2), 5.0 * k), 1, Whole(canvas), spans);
    }
    canvas.paint(spans, 0x202020);
    // Lines running off every side of the picture.
    spans.clear();
    raster::LineSpans(Point{-50, 10}, Point{300, 40}, 1, Whole(canvas), spans);
    raster::LineSpans(Point{250, -30}, Point{200, 300}, 1, Whole(canvas), spans);
    canvas.paint(spans, 0xC0392B);
    const std::string failure = drawtest::CompareWithGolden(canvas, "lines_thin");
    EXPECT_TRUE(failure.empty()) << failure;
}

TEST(GoldenImage, FilledAndFramedEllipses) {
    Canvas canvas(320, 240, 24, 0xFF);
    raster::SpanList spans;
    const Rect boxes[] = {{4, 4, 5, 5},     {10, 4, 12, 6},   {16, 4, 19, 7},    {24, 4, 28, 8},   {34, 4, 40, 12},
                          {46, 4, 56, 14},  {62, 4, 102, 8},  {108, 4, 110, 60}, {116, 4, 176, 64}, {182, 4, 243, 65},
                          {250, 4, 316, 30}, {-30, 80, 50, 160}, {270, 100, 370, 180}, {120, 200, 200, 300},
                          {100, -40, 160, 30}};
    int32_t k = 0;
    for (const Rect& box : boxes) {
        spans.clear();
        raster::EllipseSpans(box, Whole(canvas), spans);
        canvas.paint(spans, kInks[k++ % 8]);
        // The same box again, framed, one row further down the picture.
        const Rect below{box.left, box.top + 70, box.right, box.bottom + 70};
        spans.clear();
        raster::FrameEllipseSpans(below, Whole(canvas), spans);
        canvas.paint(spans, 0x202020);
    }
    const std::string failure = drawtest::CompareWithGolden(canvas, "ellipses");
    EXPECT_TRUE(failure.empty()) << failure;
}

TEST(GoldenImage, PolygonAndCircleRegions) {
    Canvas canvas(256, 256, 24, 0xFF);
    std::vector<Point> star;
    for (int k = 0; k < 5; ++k) star.push_back(Around(Point{80, 80}, 70, 90 + 144 * k));
    const Point bowTie[] = {{150, 20}, {240, 110}, {240, 20}, {150, 110}};
    const Point twice[] = {{20, 170}, {110, 170}, {110, 240}, {20, 240}, {20, 170}, {110, 170}, {110, 240}, {20, 240}};
    const raster::Region circles = raster::Region::Union(raster::Region::Ellipse(Rect{140, 140, 210, 210}),
                                                         raster::Region::Ellipse(Rect{180, 170, 250, 250}));
    const raster::Region regions[] = {raster::Region::Polygon(star.data(), 5), raster::Region::Polygon(bowTie, 4),
                                      raster::Region::Polygon(twice, 8), circles};
    int32_t k = 0;
    for (const raster::Region& region : regions) {
        raster::SpanList spans;
        region.clippedSpans(Whole(canvas), spans);
        canvas.paint(spans, kInks[k++]);
    }
    const std::string failure = drawtest::CompareWithGolden(canvas, "regions");
    EXPECT_TRUE(failure.empty()) << failure;
}
