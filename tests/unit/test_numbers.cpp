// The program's rounding rule, its colour conversion, its random numbers, and rectangle
// arithmetic (exclusive right and bottom edges, empty results, argument order).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <ostream>

#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

// Found by argument-dependent lookup (Rect lives in the global namespace); internal to this file.
static std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

TEST(Numbers, RoundingTakesHalvesUpFromOneOnTruncatesBelowOneAndLimits) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> rounded[] = {{0.99, 0}, {1.49, 1}, {1.5, 2}, {254.5, 255}, {-1.5, -1},
                                              {3e9, INT_MAX}, {-3e9, INT_MIN}, {nan, 0}, {inf, INT_MAX}};
    for (const auto& [x, expected] : rounded) EXPECT_EQ(tb_Round(x), expected) << x;
    const std::pair<double, int> truncated[] = {{2.9, 2}, {-2.9, -2}, {1e10, INT_MAX}, {-1e10, INT_MIN}};
    for (const auto& [x, expected] : truncated) EXPECT_EQ(tb_Trunc(x), expected) << x;
}

TEST(Numbers, ColourComponentsOnThe65025ScaleBecomeBytes) {
    const std::pair<int, int> cases[] = {
        {58000, 227}, {255, 1}, {254, 0},       // below one step: 0.99 rounds to 0
        {65280, 254}, {65026, 253},             // above 65025 the 65535 scale applies
        {-5, 0},      {200000, 255},            // out of range: limited
    };
    for (const auto& [component, byte] : cases) EXPECT_EQ(toolbox::ColorFrom65025(component, 0, 0).red, byte) << component;
    for (int v = 0; v < 256; ++v) ASSERT_EQ(toolbox::ColorFrom65025(0, v * 255, 0).green, v);
}

TEST(Numbers, RandomNumbersStayInTheInclusiveRangeAndReachBothEnds) {
    toolbox::SeedRandomWith(42);
    for (const auto& [low, high] : {std::pair(0, 1), std::pair(-3, 3), std::pair(INT_MIN, INT_MAX)}) {
        int lowest = INT_MAX, highest = INT_MIN;
        for (int i = 0; i < 2000; ++i) {
            const int value = tb_Random(low, high);
            lowest = std::min(lowest, value), highest = std::max(highest, value);
        }
        EXPECT_TRUE(lowest >= low && highest <= high) << low << ".." << high;
        EXPECT_TRUE(high - int64_t{low} > 1000 || (lowest == low && highest == high)) << low << ".." << high;
    }
    EXPECT_EQ(tb_Random(9, 2), 2);  // a reversed range cannot be met: its high end
}

TEST(Rects, PointsOnTheRightAndBottomEdgesAreOutside) {
    const Rect box{0, 0, 10, 10};
    const struct { int x, y; Rect rect; bool inside; } cases[] = {
        {9, 9, box, true}, {10, 5, box, false}, {5, 10, box, false}, {-1, 5, box, false},
        {5, 5, {5, 5, 5, 10}, false}, {7, 7, {10, 10, 5, 5}, false},  // empty rects hold no point
    };
    for (const auto& c : cases) EXPECT_EQ(tb_PtInRect(c.x, c.y, &c.rect) != 0, c.inside) << c.x << "," << c.y << c.rect;
}

TEST(Rects, IntersectionsAndUnionsWhicheverOrderTheirSourcesCome) {
    const struct { Rect a, b, intersection, join; } cases[] = {
        {{0, 0, 10, 10}, {5, 3, 20, 8}, {5, 3, 10, 8}, {0, 0, 20, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {}, {0, 0, 20, 10}},  // sharing the right edge only
        {{0, 0, 10, 10}, {0, 10, 10, 20}, {}, {0, 0, 10, 20}},  // the bottom edge only
        // An empty rect holds nothing, so it does not stretch the union towards itself.
        {{10, 10, 20, 20}, {50, 0, 50, 90}, {}, {10, 10, 20, 20}},
        {{10, 10, 20, 20}, {8, 8, 2, 2}, {}, {10, 10, 20, 20}},
        {{3, 3, 3, 9}, {4, 4, 1, 1}, {}, {}},
    };
    for (const auto& c : cases) {
        for (const auto& [a, b] : {std::pair(c.a, c.b), std::pair(c.b, c.a)}) {
            Rect out{111, 222, 333, 444};
            EXPECT_EQ(tb_IntersectRect(&out, &a, &b), c.intersection.isEmpty() ? 0 : 1) << a << " " << b;
            EXPECT_EQ(out, c.intersection) << a << " " << b;
            out = Rect{111, 222, 333, 444};
            EXPECT_EQ(tb_UnionRect(&a, &b, &out), c.join.isEmpty() ? 0 : 1) << a << " " << b;
            EXPECT_EQ(out, c.join) << a << " " << b;
        }
    }
    // The destination comes first for an intersection and last for a union; it may be a source.
    Rect a{0, 0, 10, 10};
    const Rect b{5, 5, 15, 15}, far{20, 20, 30, 30};
    EXPECT_EQ(tb_IntersectRect(&a, &a, &b), 1);
    EXPECT_EQ(a, (Rect{5, 5, 10, 10}));
    EXPECT_EQ(tb_UnionRect(&a, &far, &a), 1);
    EXPECT_EQ(a, (Rect{5, 5, 30, 30}));
}
