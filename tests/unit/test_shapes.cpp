// The software raster against per-pixel descriptions of the same pictures: rectangles as spans,
// clipped shapes as crops of whole ones, flood fill, winding polygons and the region table. The
// golden images (test_shapes_golden.cpp) pin the pixels of lines of every width and direction,
// filled and framed ellipses, and regions.
#include <pthread.h>

#include <random>

#include "platform/raster/fill.h"
#include "platform/raster/region.h"
#include "platform/raster/shapes.h"
#include "tests/unit/test_drawing_support.h"

using drawtest::Canvas;
using drawtest::CropTo;
using drawtest::Filled;
using drawtest::PixelSet;
using drawtest::PixelsOf;
using drawtest::PixelsWhere;
using raster::SpanList;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000;
const Rect kEverywhere{-5000, -5000, 5000, 5000};

PixelSet Spans(void (*make)(const Rect&, const Rect&, SpanList&), const Rect& box, const Rect& clip = kEverywhere) {
    SpanList spans;
    make(box, clip, spans);
    return PixelsOf(spans);
}

PixelSet Line(Point a, Point b, int32_t width, const Rect& clip = kEverywhere) {
    SpanList spans;
    raster::LineSpans(a, b, width, clip, spans);
    return PixelsOf(spans);
}

// The flood fill: a walk over single pixels, 4-connected, inside the clip.
Canvas ReferenceFill(const Canvas& before, int32_t x, int32_t y, uint32_t surface, uint32_t ink, const Rect& clip) {
    Canvas after(before);
    auto open = [&](int px, int py) {
        return px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom && after.at(px, py) == surface;
    };
    if (!open(x, y) || ink == surface) return after;
    std::vector<std::pair<int32_t, int32_t>> todo{{x, y}};
    after.set(x, y, ink);
    while (!todo.empty()) {
        const auto [px, py] = todo.back();
        todo.pop_back();
        const std::pair<int32_t, int32_t> next[] = {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
        for (const auto& [nx, ny] : next)
            if (open(nx, ny)) after.set(nx, ny, ink), todo.emplace_back(nx, ny);
    }
    return after;
}

// How many times the polygon winds around the point (x, y), counting the edges that cross the
// row y at or left of x; an edge holds its upper end, not its lower one.
int WindingAt(const std::vector<Point>& polygon, int32_t x, int32_t y) {
    int winding = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
        const bool down = p.y <= y && y < q.y, up = q.y <= y && y < p.y;
        // The crossing's x, (y - p.y) (q.x - p.x) / (q.y - p.y) + p.x, is at or left of x.
        const int64_t lhs = int64_t{y - p.y} * (q.x - p.x), rhs = int64_t{x - p.x} * (q.y - p.y);
        if ((down || up) && (q.y > p.y ? lhs <= rhs : lhs >= rhs)) winding += down ? 1 : -1;
    }
    return winding;
}

const Point kSquare[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {kEndOfPoints, kEndOfPoints}};

using RegionTable = ToolboxTest;

}  // namespace

TEST(Shapes, RectsCoverLeftToRightMinusOneAndFramesOnlyTheirBorder) {
    const Rect boxes[] = {{0, 0, 10, 10}, {3, 4, 4, 5}, {0, 0, 1, 6}, {0, 0, 2, 2}, {2, 7, 30, 9}, {5, 5, 5, 9}, {9, 9, 5, 5}};
    for (const Rect& box : boxes) {
        EXPECT_EQ(Spans(raster::RectSpans, box), Filled(box)) << box.left << "," << box.top << "," << box.right;
        const PixelSet border = PixelsWhere(box, [&](int x, int y) {
            return x == box.left || x == box.right - 1 || y == box.top || y == box.bottom - 1;
        });
        EXPECT_EQ(Spans(raster::FrameRectSpans, box), border) << box.left << "," << box.top << "," << box.right;
    }
}

TEST(Shapes, EveryClippedShapeIsTheCropOfTheWholeOneAndLinesNarrowerThanOneHaveWidthOne) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int32_t> coord(-40, 80), width(1, 32);
    for (int round = 0; round < 300; ++round) {
        const int32_t x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
        const Rect box{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        const int32_t c0 = coord(random), c1 = coord(random), c2 = coord(random), c3 = coord(random);
        const Rect clip{std::min(c0, c1), std::min(c2, c3), std::max(c0, c1), std::max(c2, c3)};
        for (auto make : {raster::RectSpans, raster::FrameRectSpans, raster::EllipseSpans, raster::FrameEllipseSpans})
            EXPECT_EQ(Spans(make, box, clip), CropTo(Spans(make, box), clip));
        const int32_t w = width(random);
        EXPECT_EQ(Line({x0, y0}, {x1, y1}, w, clip), CropTo(Line({x0, y0}, {x1, y1}, w), clip)) << x0 << "," << y0;
        EXPECT_EQ(Line({x0, y0}, {x1, y1}, 1 - w), Line({x0, y0}, {x1, y1}, 1)) << "narrower than one";
    }
}

// Walls of colours that differ from white in a single byte; widths around the sixteen-pixel
// blocks the row scans use; clips that hold the starting point, clips that may not, and the
// whole picture; now and then a start on another colour or an ink that is the surface colour:
// nothing to fill.
TEST(FloodFill, AgreesWithAPixelByPixelFillOnRandomPictures) {
    std::mt19937 random(5);
    const int32_t widths[] = {1, 2, 15, 16, 17, 31, 32, 33, 50, 97};
    const uint32_t walls[] = {kBlack, 0xFFFFFE, 0xFEFFFF, 0xFFFEFF, kRed};
    for (int32_t bits : {24, 8})
        for (int32_t width : widths)
            for (int round = 0; round < 12; ++round) {
                const int32_t height = 1 + int32_t(random() % 40);
                Canvas canvas(width, height, bits, 0xFF);
                const double density = 0.15 + 0.1 * (round % 4);
                for (int32_t y = 0; y < height; ++y)
                    for (int32_t x = 0; x < width; ++x)
                        if (std::uniform_real_distribution<double>(0, 1)(random) < density)
                            canvas.set(x, y, bits == 8 ? uint32_t(random() % 255) : walls[random() % 5]);
                const uint32_t surface = bits == 8 ? 0xFF : kWhite;
                const uint32_t ink = round == 7 ? surface : bits == 8 ? 0x40 : 0x102030;
                const int32_t x = int32_t(random() % width), y = int32_t(random() % height);
                if (round != 5) canvas.set(x, y, surface);
                const auto below = [&](int32_t n) { return int32_t(random() % uint32_t(n)); };
                const int32_t l = below(width), t = below(height), left = below(x + 1), top = below(y + 1);
                const Rect clip = round % 3 == 0 ? Rect{0, 0, width, height}
                                  : round % 3 == 1 ? Rect{left, top, x + 1 + below(width - x), y + 1 + below(height - y)}
                                                   : Rect{l, t, l + below(width - l + 1), t + below(height - t + 1)};
                const Canvas expected = ReferenceFill(canvas, x, y, surface, ink, clip);
                raster::FloodFiller().fill(canvas.view(), x, y, surface, drawtest::InkOf(canvas, ink), clip);
                ASSERT_TRUE(canvas == expected) << bits << "-bit " << width << "x" << height << " round " << round;
            }
}

TEST(FloodFill, FillsAHugeWindingCorridorOnASmallThreadStack) {
    // 4000 x 3000 with one-pixel vertical walls every other column, open alternately at the top
    // and the bottom: a single corridor through the whole picture, the worst shape for a fill
    // that recurses. The fill runs on a thread with a 64 KiB stack.
    Canvas canvas(4000, 3000, 24, 0xFF);
    for (int32_t x = 1; x < 4000; x += 2)
        for (int32_t y = 0; y < 3000; ++y)
            if (!((x / 2) % 2 == 0 ? y == 2999 : y == 0)) canvas.set(x, y, kBlack);
    auto run = [](void* arg) -> void* {
        Canvas& c = *static_cast<Canvas*>(arg);
        raster::FloodFiller().fill(c.view(), 0, 0, kWhite, drawtest::InkOf(c, kRed), Rect{0, 0, 4000, 3000});
        return nullptr;
    };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &canvas), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    size_t filled = 0;
    for (int32_t y = 0; y < 3000; ++y)
        for (int32_t x = 0; x < 4000; ++x) filled += canvas.at(x, y) == kRed;
    EXPECT_EQ(filled, size_t(2000) * 3000 + 2000);  // every even column, and the gap in each wall
}

TEST(Regions, PolygonsAndTheirHitTestMatchAPerPixelWindingCount) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> coord(-20, 60);
    for (int round = 0; round < 200; ++round) {
        std::vector<Point> polygon(3 + random() % 10);
        for (Point& p : polygon) p = Point{coord(random), coord(random)};
        const raster::Region region = raster::Region::Polygon(polygon.data(), int32_t(polygon.size()));
        const Rect area{-25, -25, 65, 65};
        const PixelSet inside = PixelsWhere(area, [&](int x, int y) { return WindingAt(polygon, x, y) != 0; });
        ASSERT_EQ(PixelsOf(region.spans()), inside) << "round " << round;
        ASSERT_EQ(PixelsWhere(area, [&](int x, int y) { return region.contains(x, y); }), inside) << "round " << round;
    }
}

TEST_F(RegionTable, PointListsEndAtEitherHalfOfTheMarkerOrAfterAHundredPoints) {
    for (const Point marker : {Point{kEndOfPoints, 5}, Point{5, kEndOfPoints}}) {
        const Point list[] = {{0, 0}, {20, 0}, {0, 20}, marker, {40, 40}};
        const int region = tb_CreateRegion(list);
        EXPECT_EQ(tb_PtInRegion(2, 2, region) - tb_PtInRegion(15, 15, region), 1);  // (15, 15) if (40, 40) was used
    }
    // A square traced by the first 100 points, then 50 points far away.
    std::vector<Point> many = {{0, 0}, {10, 0}, {10, 10}};
    many.resize(100, Point{0, 10});
    many.resize(150, Point{500, 500});
    many.push_back(Point{kEndOfPoints, kEndOfPoints});
    const int region = tb_CreateRegion(many.data());
    EXPECT_EQ(tb_PtInRegion(5, 5, region) - tb_PtInRegion(200, 203, region), 1);
    EXPECT_TRUE(errors().empty());
}

TEST_F(RegionTable, FailuresTakeNoSlotAndAFullTableIsReported) {
    const Point empty[] = {{kEndOfPoints, kEndOfPoints}, {1, 1}};
    const Point halfMarker[] = {{kEndOfPoints, 3}, {1, 1}, {kEndOfPoints, kEndOfPoints}};
    EXPECT_EQ(tb_CreateRegion(empty), -1);
    EXPECT_EQ(tb_CreateRegion(nullptr), -1);  // said nothing: the list below
    EXPECT_EQ(tb_CreateRegion(halfMarker), -1);
    EXPECT_EQ(desktop().messageBoxes().at(0).caption, "Attention!");
    for (int i = 0; i < kRegionSlots; ++i) ASSERT_EQ(tb_CreateRegion(kSquare), i);
    EXPECT_EQ(tb_CreateRegion(kSquare), -1);
    for (int handle : {62, 37}) tb_DisposeRegion(handle);
    EXPECT_EQ(tb_CreateRegion(kSquare), 37);  // the lowest free slot first
    EXPECT_EQ(tb_CreateRegion(kSquare), 62);
    for (int handle : {-1, 100, 99}) {  // outside the table, or free: ignored
        tb_DisposeRegion(handle);
        tb_DisposeRegion(handle);
        EXPECT_EQ(tb_PtInRegion(1, 1, handle), 0) << handle;
    }
    EXPECT_EQ(errors(), (std::vector<std::string>{"Failed to create region.", "No more available Regions! (tb_CreateRegion)"}));
}
