// Rectangle arithmetic: exclusive right and bottom edges, empty results, argument order.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "toolbox/toolbox.h"

// Found by argument-dependent lookup (Rect lives in the global namespace); internal to this file.
static std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr Rect kGarbage{111, 222, 333, 444};

}  // namespace

TEST(RectArithmetic, SetOffsetAndInsetMoveEachEdgeTheRightWay) {
    struct Case {
        const char* what;
        Rect start;
        char op;  // 'o' offset, 'i' inset
        int dx, dy;
        Rect expected;
    };
    const Case cases[] = {
        {"offset right and up", {0, 0, 10, 10}, 'o', 5, -3, {5, -3, 15, 7}},
        {"offset by nothing", {1, 2, 3, 4}, 'o', 0, 0, {1, 2, 3, 4}},
        {"inset shrinks", {0, 0, 100, 100}, 'i', 10, 20, {10, 20, 90, 80}},
        {"negative inset grows", {48, 74, 120, 146}, 'i', -4, -4, {44, 70, 124, 150}},
        {"inset past the middle turns inside out", {0, 0, 10, 10}, 'i', 6, 7, {6, 7, 4, 3}},
        {"only x", {0, 0, 10, 10}, 'i', 2, 0, {2, 0, 8, 10}},
        {"offset wraps instead of overflowing", {INT_MAX - 1, 0, INT_MAX, 1}, 'o', 2, 0,
         {INT_MIN, 0, INT_MIN + 1, 1}},
        {"inset by the most negative value", {0, 0, 0, 0}, 'i', INT_MIN, 0, {INT_MIN, 0, INT_MIN, 0}},
    };
    for (const Case& c : cases) {
        Rect r = c.start;
        if (c.op == 'o') tb_OffsetRect(&r, c.dx, c.dy);
        else tb_InsetRect(&r, c.dx, c.dy);
        EXPECT_EQ(r, c.expected) << c.what;
    }

    Rect r = kGarbage;
    tb_SetRect(&r, -1, 2, -3, 4);  // stored as given, not normalised
    EXPECT_EQ(r, (Rect{-1, 2, -3, 4}));

    // Null rects are ignored rather than dereferenced.
    tb_SetRect(nullptr, 1, 2, 3, 4);
    tb_OffsetRect(nullptr, 1, 1);
    tb_InsetRect(nullptr, 1, 1);
}

TEST(RectArithmetic, PointsOnTheRightAndBottomEdgesAreOutside) {
    const Rect box{0, 0, 10, 10};
    struct Case {
        int x, y;
        Rect rect;
        int inside;
    };
    const Case cases[] = {
        {0, 0, box, 1},   {9, 9, box, 1},    {9, 0, box, 1},        {0, 9, box, 1},
        {10, 10, box, 0}, {10, 5, box, 0},   {5, 10, box, 0},       {-1, 5, box, 0},
        {5, -1, box, 0},  {-5, -5, {-10, -10, -4, -4}, 1},          {-4, -5, {-10, -10, -4, -4}, 0},
        // Empty and inside-out rects hold no point, not even their own corner.
        {5, 5, {5, 5, 5, 10}, 0}, {5, 5, {5, 5, 10, 5}, 0},         {7, 7, {10, 10, 5, 5}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tb_PtInRect(c.x, c.y, &c.rect) != 0, c.inside == 1)
            << "(" << c.x << ", " << c.y << ") in " << c.rect;
    }
    EXPECT_EQ(tb_PtInRect(0, 0, nullptr), 0);
}

TEST(RectArithmetic, IntersectionIsAllZerosWhenNothingOverlaps) {
    struct Case {
        const char* what;
        Rect a, b;
        Rect expected;
        int result;
    };
    const Case cases[] = {
        {"overlap", {0, 0, 10, 10}, {5, 3, 20, 8}, {5, 3, 10, 8}, 1},
        {"one inside the other", {0, 0, 100, 100}, {10, 20, 30, 40}, {10, 20, 30, 40}, 1},
        {"a single pixel", {0, 0, 10, 10}, {9, 9, 20, 20}, {9, 9, 10, 10}, 1},
        {"sharing the right edge only", {0, 0, 10, 10}, {10, 0, 20, 10}, {}, 0},
        {"sharing the bottom edge only", {0, 0, 10, 10}, {0, 10, 10, 20}, {}, 0},
        {"far apart", {0, 0, 10, 10}, {50, 50, 60, 60}, {}, 0},
        {"overlapping columns, separate rows", {0, 0, 10, 10}, {2, 30, 8, 40}, {}, 0},
        {"an empty rect inside a full one", {0, 0, 10, 10}, {4, 4, 4, 8}, {}, 0},
        {"negative coordinates", {-20, -20, -5, -5}, {-10, -30, 0, -8}, {-10, -20, -5, -8}, 1},
    };
    for (const Case& c : cases) {
        Rect out = kGarbage;
        EXPECT_EQ(tb_IntersectRect(&out, &c.a, &c.b), c.result) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
        // The order of the two sources does not matter.
        out = kGarbage;
        EXPECT_EQ(tb_IntersectRect(&out, &c.b, &c.a), c.result) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
    }

    // The destination comes first and may be one of the sources.
    Rect a{0, 0, 10, 10};
    const Rect b{5, 5, 15, 15};
    EXPECT_EQ(tb_IntersectRect(&a, &a, &b), 1);
    EXPECT_EQ(a, (Rect{5, 5, 10, 10}));
    EXPECT_EQ(tb_IntersectRect(nullptr, &a, &b), 0);
}

TEST(RectArithmetic, UnionWritesItsThirdArgumentAndSkipsEmptyRects) {
    struct Case {
        const char* what;
        Rect a, b;
        Rect expected;
        int result;
    };
    const Case cases[] = {
        {"apart", {0, 0, 10, 10}, {20, 30, 25, 35}, {0, 0, 25, 35}, 1},
        {"overlapping", {5, 5, 15, 15}, {0, 10, 10, 20}, {0, 5, 15, 20}, 1},
        {"one inside the other", {0, 0, 100, 100}, {10, 10, 20, 20}, {0, 0, 100, 100}, 1},
        // An empty rect holds nothing, so it does not stretch the union towards itself.
        {"with an all-zero rect", {10, 10, 20, 20}, {}, {10, 10, 20, 20}, 1},
        {"with a zero-width rect far away", {10, 10, 20, 20}, {50, 0, 50, 90}, {10, 10, 20, 20}, 1},
        {"with an inside-out rect", {10, 10, 20, 20}, {8, 8, 2, 2}, {10, 10, 20, 20}, 1},
        {"both empty", {3, 3, 3, 9}, {4, 4, 1, 1}, {}, 0},
        {"negative coordinates", {-10, -10, -5, -5}, {-3, -20, 0, -15}, {-10, -20, 0, -5}, 1},
    };
    for (const Case& c : cases) {
        const Rect a = c.a;
        const Rect b = c.b;
        Rect out = kGarbage;
        EXPECT_EQ(tb_UnionRect(&a, &b, &out), c.result) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
        out = kGarbage;
        EXPECT_EQ(tb_UnionRect(&b, &a, &out), c.result) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
        EXPECT_EQ(a, c.a) << c.what << ": the first argument is a source";
        EXPECT_EQ(b, c.b) << c.what << ": the second argument is a source";
    }

    Rect a{0, 0, 10, 10};
    const Rect b{20, 20, 30, 30};
    EXPECT_EQ(tb_UnionRect(&a, &b, &a), 1);
    EXPECT_EQ(a, (Rect{0, 0, 30, 30}));
    EXPECT_EQ(tb_UnionRect(&a, &b, nullptr), 0);
}
