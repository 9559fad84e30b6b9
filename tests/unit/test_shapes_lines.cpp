// Lines of width 1 (ideal-line pixels, end point left out) and wider (round-capped capsules).
#include <gtest/gtest.h>

#include <cmath>
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

PixelSet Line(Point a, Point b, int32_t width, const Rect& clip = kEverywhere) {
    SpanList spans;
    raster::LineSpans(a, b, width, clip, spans);
    return PixelsOf(spans);
}

std::string Describe(Point a, Point b, int32_t width) {
    return "(" + std::to_string(a.x) + "," + std::to_string(a.y) + ")-(" + std::to_string(b.x) + "," +
           std::to_string(b.y) + ") width " + std::to_string(width);
}

// The capsule as a per-pixel test: the distance from the pixel's centre to the pen's path is
// below half the width. The pen sits on the pixel centre for odd widths and on the pixel's
// top-left corner for even ones.
bool InCapsule(Point a, Point b, int32_t width, int32_t x, int32_t y) {
    const double shift = width % 2 ? 0.5 : 0.0;
    const double ax = a.x + shift, ay = a.y + shift, bx = b.x + shift, by = b.y + shift;
    const double px = x + 0.5, py = y + 0.5;
    const double vx = bx - ax, vy = by - ay, len2 = vx * vx + vy * vy;
    double t = len2 == 0 ? 0 : ((px - ax) * vx + (py - ay) * vy) / len2;
    t = std::fmax(0.0, std::fmin(1.0, t));
    const double cx = ax + t * vx - px, cy = ay + t * vy - py;
    return std::sqrt(cx * cx + cy * cy) < width / 2.0;
}

PixelSet Capsule(Point a, Point b, int32_t width, const Rect& area) {
    return PixelsWhere(area, [&](int32_t x, int32_t y) { return InCapsule(a, b, width, x, y); });
}

Rect AroundSegment(Point a, Point b, int32_t margin) {
    return Rect{std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin, std::max(a.x, b.x) + margin + 1,
                std::max(a.y, b.y) + margin + 1};
}

}  // namespace

TEST(ThinLine, LightsTheExpectedPixels) {
    struct Case {
        Point a, b;
        PixelSet pixels;
    } cases[] = {
        {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},     // halfway at x = 2: the upper pixel
        {{0, 0}, {4, -1}, {{0, 0}, {1, 0}, {2, -1}, {3, -1}}},  // halfway going up: still the upper one
        {{0, 0}, {1, 4}, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},     // steep, halfway at y = 2: the left one
        {{0, 0}, {-1, 4}, {{0, 0}, {0, 1}, {-1, 2}, {-1, 3}}},
        {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {{5, 0}, {0, 0}, {{5, 0}, {4, 0}, {3, 0}, {2, 0}, {1, 0}}},
        {{2, 5}, {2, 1}, {{2, 5}, {2, 4}, {2, 3}, {2, 2}}},
        {{0, 0}, {3, 1}, {{0, 0}, {1, 0}, {2, 1}}},
        {{3, 3}, {3, 3}, {}},                                    // to its own start: nothing
        {{0, 0}, {1, 0}, {{0, 0}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Line(c.a, c.b, 1), c.pixels) << Describe(c.a, c.b, 1);
}

TEST(ThinLine, WidthZeroAndNegativeDrawLikeWidthOne) {
    for (int32_t width : {0, -1, -40}) EXPECT_EQ(Line({1, 2}, {30, 17}, width), Line({1, 2}, {30, 17}, 1));
}

TEST(ThinLine, RandomLinesKeepTheRulesOfAOnePixelLine) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int32_t> coord(-60, 60);
    for (int round = 0; round < 400; ++round) {
        const Point a{coord(random), coord(random)}, b{coord(random), coord(random)};
        if (a == b) continue;
        const PixelSet drawn = Line(a, b, 1);
        const int64_t dx = b.x - a.x, dy = b.y - a.y;
        const bool flat = std::llabs(dx) >= std::llabs(dy);
        SCOPED_TRACE(Describe(a, b, 1));
        EXPECT_EQ(drawn.size(), size_t(std::max(std::llabs(dx), std::llabs(dy))));
        EXPECT_TRUE(drawn.count({a.x, a.y}));
        EXPECT_FALSE(drawn.count({b.x, b.y}));
        EXPECT_TRUE(drawtest::IsEightConnected(drawn));
        for (const auto& [x, y] : drawn) {
            // Distance from the ideal line along the minor axis: at most half a pixel, and
            // exactly half only on the upper (flat lines) or left (steep lines) side.
            const double ideal = flat ? a.y + double(dy) * (x - a.x) / double(dx) : a.x + double(dx) * (y - a.y) / double(dy);
            const double off = (flat ? y : x) - ideal;
            EXPECT_LE(std::fabs(off), 0.5 + 1e-9);
            if (std::fabs(std::fabs(off) - 0.5) < 1e-9) {
                EXPECT_LT(off, 0);
            }
        }
        // Drawn backwards, the line has the same pixels but for the two ends.
        PixelSet forward = drawn, backward = Line(b, a, 1);
        forward.erase({a.x, a.y});
        backward.erase({b.x, b.y});
        EXPECT_EQ(forward, backward);
    }
}

TEST(ThinLine, EndPointsFarOutsideStillGiveTheVisiblePart) {
    const Rect clip{0, 0, 100, 100};
    EXPECT_EQ(Line({-1000000000, 5}, {1000000000, 5}, 1, clip),
              PixelsWhere(Rect{0, 5, 100, 6}, [](int32_t, int32_t) { return true; }));
    EXPECT_EQ(Line({-2000000000, -2000000000}, {2000000000, 2000000000}, 1, clip),
              PixelsWhere(clip, [](int32_t x, int32_t y) { return x == y; }));
    EXPECT_TRUE(Line({-2000000000, 300}, {2000000000, 301}, 1, clip).empty());
}

TEST(WideLine, MatchesTheCapsuleForEveryWidthFromTwoToThirtyTwo) {
    std::vector<std::pair<Point, Point>> segments = {
        {{20, 20}, {60, 20}}, {{20, 20}, {20, 70}}, {{20, 20}, {60, 50}}, {{60, 20}, {20, 33}},
        {{30, 30}, {30, 30}}, {{10, 40}, {11, 90}}, {{50, 10}, {10, 50}}, {{0, 0}, {7, 3}},
    };
    std::mt19937 random(2024);
    std::uniform_int_distribution<int32_t> coord(-50, 150);
    for (int i = 0; i < 12; ++i) segments.push_back({{coord(random), coord(random)}, {coord(random), coord(random)}});
    for (int32_t width = 2; width <= 32; ++width) {
        for (const auto& [a, b] : segments) {
            const Rect area = AroundSegment(a, b, width + 2);
            const PixelSet drawn = Line(a, b, width);
            const PixelSet expected = Capsule(a, b, width, area);
            ASSERT_EQ(drawn, expected) << Describe(a, b, width) << Diff(drawn, expected, area);
        }
    }
}

TEST(WideLine, HorizontalAndVerticalLinesAreExactlyTheirWidthAcross) {
    for (int32_t width = 2; width <= 32; ++width) {
        std::set<int32_t> rows, columns;
        for (const auto& [x, y] : Line({100, 100}, {300, 100}, width)) rows.insert(y);
        for (const auto& [x, y] : Line({100, 100}, {100, 300}, width)) columns.insert(x);
        EXPECT_EQ(rows.size(), size_t(width));
        EXPECT_EQ(columns.size(), size_t(width));
        EXPECT_EQ(*rows.begin(), 100 - width / 2) << "width " << width;
    }
}

TEST(WideLine, ZeroLengthLineIsARoundDotOfThatDiameter) {
    for (int32_t width = 2; width <= 32; ++width) {
        const PixelSet dot = Line({50, 50}, {50, 50}, width);
        const int32_t first = 50 - width / 2;
        const Rect box{first, first, first + width, first + width};
        // Round: filling its box exactly, the same about both middle lines and the diagonal,
        // and covering about the area of its disc.
        EXPECT_EQ(drawtest::CropTo(dot, box), dot) << "width " << width;
        for (const auto& [x, y] : dot) {
            ASSERT_TRUE(dot.count({box.left + box.right - 1 - x, y}) && dot.count({x, box.top + box.bottom - 1 - y}) &&
                        dot.count({y, x}))
                << "width " << width << " at " << x << "," << y;
        }
        EXPECT_TRUE(dot.count({first, 50}) && dot.count({first + width - 1, 50})) << "width " << width;
        const double disc = 3.14159265 * width * width / 4;
        EXPECT_GT(double(dot.size()), disc * 0.8) << "width " << width;
        EXPECT_LE(double(dot.size()), std::min(disc * 1.3 + 2, double(width * width))) << "width " << width;
        if (width >= 4) {
            EXPECT_LT(dot.size(), size_t(width * width)) << "width " << width;  // corners cut
        }
    }
}

TEST(ClippedLine, IsTheCropOfTheWholeLine) {
    std::mt19937 random(31);
    std::uniform_int_distribution<int32_t> coord(-60, 160), width(1, 32);
    const Rect clips[] = {{0, 0, 100, 100}, {-10, 40, 200, 41}, {40, -10, 41, 200}, {90, 90, 300, 300}, {0, 0, 3, 200}};
    for (int round = 0; round < 200; ++round) {
        const Point a{coord(random), coord(random)}, b{coord(random), coord(random)};
        const int32_t w = width(random);
        const PixelSet whole = Line(a, b, w);
        for (const Rect& clip : clips) EXPECT_EQ(Line(a, b, w, clip), drawtest::CropTo(whole, clip)) << Describe(a, b, w);
    }
}

TEST(WideLine, EndPointsFarOutsideStillGiveTheVisiblePart) {
    const Rect clip{0, 0, 100, 100};
    // Rows 48..51 of width 4 along y = 50, all columns of the clip.
    EXPECT_EQ(Line({-1000000000, 50}, {1000000000, 50}, 4, clip),
              PixelsWhere(Rect{0, 48, 100, 52}, [](int32_t, int32_t) { return true; }));
    EXPECT_TRUE(Line({-1000000000, 500}, {1000000000, 500}, 32, clip).empty());
    EXPECT_TRUE(Line({2000000000, 2000000000}, {2000000000, 2000000000}, 8, clip).empty());
    // A far diagonal crossing the clip: about width * sqrt(2) pixels per row.
    const PixelSet diagonal = Line({-100000000, -100000000}, {100000000, 100000000}, 10, clip);
    EXPECT_GT(diagonal.size(), 100u * 13);
    EXPECT_LT(diagonal.size(), 100u * 16);
}
