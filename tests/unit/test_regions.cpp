// Regions: sorted spans, winding polygons, circles, unions, and the table of 100 slots.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/raster/region.h"
#include "platform/raster/shapes.h"
#include "tests/support/headless_fixture.h"
#include "tests/unit/test_drawing_support.h"
#include "toolbox/internal.h"

using drawtest::PixelSet;
using drawtest::PixelsOf;
using drawtest::PixelsWhere;

namespace {

// How many times the polygon winds around the point (x, y), counting the edges that cross the
// row y at or left of x; an edge holds its upper end, not its lower one.
int WindingAt(const std::vector<Point>& polygon, int32_t x, int32_t y) {
    int winding = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
        const bool down = p.y <= y && y < q.y, up = q.y <= y && y < p.y;
        if (!down && !up) continue;
        // The crossing's x, (y - p.y) (q.x - p.x) / (q.y - p.y) + p.x, is at or left of x.
        const int64_t lhs = int64_t{y - p.y} * (q.x - p.x), rhs = int64_t{x - p.x} * (q.y - p.y);
        const bool atOrLeft = q.y > p.y ? lhs <= rhs : lhs >= rhs;
        if (atOrLeft) winding += down ? 1 : -1;
    }
    return winding;
}

std::vector<Point> Pentagram(int32_t cx, int32_t cy, double radius) {
    std::vector<Point> points;
    for (int k = 0; k < 5; ++k) {
        const double angle = (90.0 + 144.0 * k) * 3.14159265358979 / 180.0;
        points.push_back(Point{cx + int32_t(std::lround(radius * std::cos(angle))),
                               cy - int32_t(std::lround(radius * std::sin(angle)))});
    }
    return points;
}

std::vector<Point> Terminated(std::vector<Point> points) {
    points.push_back(Point{kEndOfPoints, kEndOfPoints});
    return points;
}

class RegionTable : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
        toolbox::ResetRegionTable();
        desktop().clearRecords();
    }
    void TearDown() override {
        toolbox::ResetRegionTable();
        HeadlessTest::TearDown();
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_->messageBoxes()) texts.push_back(box.caption + " " + box.text);
        return texts;
    }
};

const Point kSquare[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {kEndOfPoints, kEndOfPoints}};

}  // namespace

TEST(RegionSpans, AreSortedMergedAndTouchingSpansJoined) {
    const raster::Region region = raster::Region::FromSpans(
        {{5, 10, 20}, {2, 0, 3}, {5, 0, 4}, {5, 15, 30}, {5, 4, 6}, {2, 3, 5}, {9, 7, 7}});
    const raster::SpanList expected{{2, 0, 5}, {5, 0, 6}, {5, 10, 30}};
    EXPECT_EQ(region.spans(), expected);
    EXPECT_EQ(region.bounds(), (Rect{0, 2, 30, 6}));
    const struct {
        int32_t x, y;
        bool inside;
    } probes[] = {{0, 2}, {4, 2}, {5, 2}, {-1, 2}, {6, 5}, {9, 5}, {10, 5}, {29, 5}, {30, 5}, {0, 3}, {7, 9}};
    const bool answers[] = {true, true, false, false, false, false, true, true, false, false, false};
    for (size_t i = 0; i < std::size(probes); ++i)
        EXPECT_EQ(region.contains(probes[i].x, probes[i].y), answers[i]) << probes[i].x << "," << probes[i].y;
}

TEST(RegionSpans, UnionHoldsExactlyThePixelsOfBoth) {
    const raster::Region a = raster::Region::Ellipse(Rect{0, 0, 30, 20});
    const raster::Region b = raster::Region::Polygon(Pentagram(25, 15, 14).data(), 5);
    const raster::Region both = raster::Region::Union(a, b);
    PixelSet expected = PixelsOf(a.spans());
    for (const auto& p : PixelsOf(b.spans())) expected.insert(p);
    EXPECT_EQ(PixelsOf(both.spans()), expected);
    for (size_t i = 1; i < both.spans().size(); ++i) {
        const raster::Span& s = both.spans()[i - 1];
        const raster::Span& t = both.spans()[i];
        EXPECT_TRUE(s.y < t.y || (s.y == t.y && s.x1 < t.x0)) << "spans out of order or touching at row " << t.y;
    }
}

TEST(RegionSpans, ClippedSpansAreTheCropOfTheRegion) {
    const raster::Region region = raster::Region::Ellipse(Rect{-10, -10, 50, 40});
    for (const Rect& clip : {Rect{0, 0, 20, 20}, Rect{-20, 5, 5, 6}, Rect{45, -20, 60, 60}, Rect{0, 0, 0, 0}}) {
        raster::SpanList spans;
        region.clippedSpans(clip, spans);
        EXPECT_EQ(PixelsOf(spans), drawtest::CropTo(PixelsOf(region.spans()), clip));
    }
}

TEST(PolygonRegion, MatchesAPerPixelWindingCount) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> coord(-20, 60);
    for (int round = 0; round < 200; ++round) {
        std::vector<Point> polygon(3 + random() % 10);
        for (Point& p : polygon) p = Point{coord(random), coord(random)};
        const raster::Region region = raster::Region::Polygon(polygon.data(), int32_t(polygon.size()));
        const PixelSet expected =
            PixelsWhere(Rect{-25, -25, 65, 65}, [&](int32_t x, int32_t y) { return WindingAt(polygon, x, y) != 0; });
        ASSERT_EQ(PixelsOf(region.spans()), expected) << "round " << round;
    }
}

TEST(PolygonRegion, SquareCoversLeftToRightMinusOne) {
    const raster::Region region = raster::Region::Polygon(kSquare, 4);
    EXPECT_EQ(PixelsOf(region.spans()), PixelsWhere(Rect{0, 0, 10, 10}, [](int32_t, int32_t) { return true; }));
}

TEST(PolygonRegion, PentagramCentreIsInsideByTheWindingRule) {
    const std::vector<Point> star = Pentagram(50, 50, 40);
    ASSERT_EQ(WindingAt(star, 50, 50), 2);  // an even-odd fill would leave the centre out
    const raster::Region region = raster::Region::Polygon(star.data(), 5);
    EXPECT_TRUE(region.contains(50, 50));
    EXPECT_TRUE(region.contains(50, 20));   // in the top point
    EXPECT_FALSE(region.contains(25, 25));  // between two points
    EXPECT_FALSE(region.contains(50, 89));  // below, between the two lower points
}

TEST_F(RegionTable, PointListsEndAtTheMarkerAndAfterAHundredPoints) {
    // Only the triangle before a marker in x or in y is used.
    const std::vector<Point> markerInX = {{0, 0}, {20, 0}, {0, 20}, {kEndOfPoints, 5}, {40, 40}};
    const std::vector<Point> markerInY = {{0, 0}, {20, 0}, {0, 20}, {5, kEndOfPoints}, {40, 40}};
    for (const auto& list : {markerInX, markerInY}) {
        const int region = tb_CreateRegion(list.data());
        ASSERT_GE(region, 0);
        EXPECT_EQ(tb_PtInRegion(2, 2, region), 1);
        EXPECT_EQ(tb_PtInRegion(15, 15, region), 0);
        tb_DisposeRegion(region);
    }
    // 150 points: a square traced by the first 100, then 50 points far away.
    std::vector<Point> many = {{0, 0}, {10, 0}, {10, 10}};
    while (many.size() < 100) many.push_back(Point{0, 10});
    while (many.size() < 150) many.push_back(Point{500, 500});
    const int region = tb_CreateRegion(Terminated(many).data());
    ASSERT_GE(region, 0);
    EXPECT_EQ(tb_PtInRegion(5, 5, region), 1);
    EXPECT_EQ(tb_PtInRegion(200, 203, region), 0);  // inside only if the far points were used
    EXPECT_TRUE(boxes().empty());
}

TEST_F(RegionTable, EmptyAndBrokenListsMakeNoRegion) {
    const Point empty[] = {{kEndOfPoints, kEndOfPoints}, {1, 1}};
    EXPECT_EQ(tb_CreateRegion(empty), -1);
    EXPECT_EQ(tb_CreateRegion(nullptr), -1);
    EXPECT_TRUE(boxes().empty());
    // A first point with the marker in one coordinate only leaves no points to make a polygon.
    const Point halfMarker[] = {{kEndOfPoints, 3}, {1, 1}, {kEndOfPoints, kEndOfPoints}};
    EXPECT_EQ(tb_CreateRegion(halfMarker), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Attention! Failed to create region."});
    EXPECT_EQ(tb_CreateRegion(kSquare), 0);  // no slot was taken by the failures
}

TEST_F(RegionTable, HundredAndFirstRegionFailsAndTheLowestFreeSlotIsReused) {
    for (int i = 0; i < kRegionSlots; ++i) ASSERT_EQ(i % 2 ? tb_CreateRegion(kSquare) : tb_CreateCircleRegion(5, 5, 3), i);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(tb_CreateRegion(kSquare), -1);
    EXPECT_EQ(tb_CreateCircleRegion(1, 1, 1), -1);
    EXPECT_EQ(tb_UnionRegion(0, 1), -1);
    const std::vector<std::string> expected = {"Error... No more available Regions! (tb_CreateRegion)",
                                               "Error... No more available Regions! (tb_CreateCircleRegion)",
                                               "Error... No more available Regions! (tb_CreateRegion)"};
    EXPECT_EQ(boxes(), expected);
    tb_DisposeRegion(62);
    tb_DisposeRegion(37);
    EXPECT_EQ(tb_CreateCircleRegion(9, 9, 2), 37);
    EXPECT_EQ(tb_CreateRegion(kSquare), 62);
}

TEST_F(RegionTable, HandlesOutsideTheTableOrFreeAreIgnored) {
    const int region = tb_CreateRegion(kSquare);
    tb_DisposeRegion(region);
    for (int handle : {-1, 100, 5000, -9999999, region}) {
        EXPECT_EQ(tb_PtInRegion(1, 1, handle), 0) << handle;
        tb_DisposeRegion(handle);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(RegionTable, CircleRegionIsTheEllipseInItsSquare) {
    EXPECT_EQ(tb_CreateCircleRegion(50, 50, 0), -1);
    EXPECT_TRUE(boxes().empty());
    const int circle = tb_CreateCircleRegion(50, 50, 10);
    const int flipped = tb_CreateCircleRegion(50, 50, -10);
    ASSERT_GE(circle, 0);
    ASSERT_GE(flipped, 0);
    raster::SpanList ellipse;
    raster::EllipseSpans(Rect{40, 40, 60, 60}, Rect{0, 0, 100, 100}, ellipse);
    const PixelSet expected = PixelsOf(ellipse);
    const PixelSet inCircle = PixelsWhere(Rect{30, 30, 70, 70}, [&](int32_t x, int32_t y) { return tb_PtInRegion(x, y, circle) == 1; });
    EXPECT_EQ(inCircle, expected);
    EXPECT_EQ(PixelsWhere(Rect{30, 30, 70, 70}, [&](int32_t x, int32_t y) { return tb_PtInRegion(x, y, flipped) == 1; }),
              expected);
    EXPECT_EQ(tb_PtInRegion(40, 50, circle), 1);
    EXPECT_EQ(tb_PtInRegion(60, 50, circle), 0);  // the right edge is outside
}

TEST_F(RegionTable, UnionIsANewRegionHoldingBoth) {
    const int a = tb_CreateCircleRegion(10, 10, 5);
    const int b = tb_CreateRegion(Terminated(Pentagram(40, 40, 20)).data());
    const int both = tb_UnionRegion(a, b);
    ASSERT_EQ(both, 2);
    for (int32_t y = 0; y < 70; ++y)
        for (int32_t x = 0; x < 70; ++x)
            ASSERT_EQ(tb_PtInRegion(x, y, both), tb_PtInRegion(x, y, a) | tb_PtInRegion(x, y, b)) << x << "," << y;
    // Without both operands the result keeps its starting one-pixel square at (1, 1).
    const int lonely = tb_UnionRegion(a, 50);
    ASSERT_GE(lonely, 0);
    EXPECT_EQ(PixelsWhere(Rect{-5, -5, 30, 30}, [&](int32_t x, int32_t y) { return tb_PtInRegion(x, y, lonely) == 1; }),
              (PixelSet{{1, 1}}));
}

TEST_F(RegionTable, PaintRegionFillsItsPixelsWithinTheClipInForce) {
    Rect size{0, 0, 60, 60};
    const int bitmap = tb_CreateBitmap(&size, -1, 24);
    const int region = tb_CreateRegion(Terminated(Pentagram(30, 30, 28)).data());
    tb_SetForeColor(bitmap, 65025, 0, 0);
    const Rect clip{0, 0, 60, 35};
    tb_SetClipRect(bitmap, &clip);
    tb_Line(bitmap, 0, 0, 0, 0, 1);  // puts the clip in force, draws nothing
    tb_PaintRegion(bitmap, region);
    toolbox::Target target;
    ASSERT_TRUE(toolbox::ResolveTarget(bitmap, target));
    const PixelSet red = PixelsWhere(size, [&](int32_t x, int32_t y) { return raster::PixelAt(target.view, x, y) == 0xFF0000; });
    const PixelSet expected = PixelsWhere(clip, [&](int32_t x, int32_t y) { return tb_PtInRegion(x, y, region) == 1; });
    EXPECT_EQ(red, expected);
    tb_PaintRegion(bitmap, 99);  // a free slot: nothing
    tb_PaintRegion(bitmap, -1);
    EXPECT_TRUE(boxes().empty());
    tb_PaintRegion(77, region);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Error... Invalid bitmap! (tb_PaintRegion)"});
}
