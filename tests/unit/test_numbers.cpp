// The program's rounding rule, its colour conversion and its random numbers.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <ctime>
#include <limits>
#include <map>

#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

TEST(Rounding, HalvesGoUpFromOneOnButEverythingBelowOneIsTruncated) {
    const struct {
        double x;
        int rounded;
    } cases[] = {
        {0.5, 0},   {0.99, 0},   {0.0, 0},    {1.0, 1},      {1.49, 1},     {1.5, 2},    {2.4, 2},
        {2.5, 3},   {254.5, 255}, {227.45, 227}, {-1.5, -1},  {-2.7, -2},    {-0.7, 0},   {-0.5, 0},
        {3e9, INT_MAX}, {-3e9, INT_MIN}, {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), INT_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(tb_Round(c.x), c.rounded) << c.x;
}

TEST(Rounding, TruncGoesTowardZero) {
    const struct {
        double x;
        int truncated;
    } cases[] = {{2.9, 2}, {-2.9, -2}, {0.999, 0}, {-0.2, 0}, {7.0, 7}, {1e10, INT_MAX}, {-1e10, INT_MIN}};
    for (const auto& c : cases) EXPECT_EQ(tb_Trunc(c.x), c.truncated) << c.x;
}

TEST(ColourRule, ComponentsOnThe65025ScaleBecomeBytes) {
    const struct {
        int component;
        int byte;
    } cases[] = {
        {65025, 255}, {58000, 227}, {32640, 128}, {0, 0},     {3060, 12},  {2805, 11}, {2550, 10},
        {255, 1},     {254, 0},     {127, 0},                     // below one step: 0.99 rounds to 0
        {65535, 255}, {65280, 254}, {65026, 253},                 // above 65025 the 65535 scale applies
        {-5, 0},      {200000, 255},                              // out of range: limited
    };
    for (const auto& c : cases) {
        const toolbox::Rgb8 colour = toolbox::ColorFrom65025(c.component, 0, 65025);
        EXPECT_EQ(colour.red, c.byte) << c.component;
        EXPECT_EQ(colour.green, 0);
        EXPECT_EQ(colour.blue, 255);
    }
}

TEST(ColourRule, EveryByteTimes255ComesBackUnchanged) {
    for (int v = 0; v < 256; ++v) {
        const toolbox::Rgb8 colour = toolbox::ColorFrom65025(v * 255, 0, v * 255);
        ASSERT_EQ(colour.red, v);
        ASSERT_EQ(colour.blue, v);
    }
}

TEST(RandomNumbers, StayInTheInclusiveRangeAndReachBothEnds) {
    toolbox::SeedRandomWith(42);
    const struct {
        int low, high;
    } ranges[] = {{5, 5}, {0, 1}, {-3, 3}, {1, 6}, {0, 100}, {INT_MIN, INT_MAX}};
    for (const auto& r : ranges) {
        int lowest = INT_MAX, highest = INT_MIN;
        for (int i = 0; i < 20000; ++i) {
            const int value = tb_Random(r.low, r.high);
            ASSERT_GE(value, r.low);
            ASSERT_LE(value, r.high);
            lowest = std::min(lowest, value), highest = std::max(highest, value);
        }
        if (int64_t{r.high} - r.low < 1000) {
            EXPECT_EQ(lowest, r.low);
            EXPECT_EQ(highest, r.high);
        }
    }
    EXPECT_EQ(tb_Random(9, 2), 2);  // a reversed range cannot be met: its high end
}

TEST(RandomNumbers, AreSpreadEvenly) {
    toolbox::SeedRandomWith(7);
    std::map<int, int> counts;
    for (int i = 0; i < 60000; ++i) ++counts[tb_Random(1, 6)];
    ASSERT_EQ(counts.size(), 6u);
    for (const auto& [face, count] : counts) {
        EXPECT_GT(count, 9400) << face;
        EXPECT_LT(count, 10600) << face;
    }
}

TEST(RandomNumbers, TheSameSeedRepeatsTheSequence) {
    auto draw = [] {
        std::vector<int> values;
        for (int i = 0; i < 50; ++i) values.push_back(tb_Random(0, 1000000));
        return values;
    };
    toolbox::SeedRandomWith(123);
    const std::vector<int> first = draw();
    toolbox::SeedRandomWith(123);
    EXPECT_EQ(draw(), first);
    toolbox::SeedRandomWith(124);
    EXPECT_NE(draw(), first);
}

TEST(RandomNumbers, ReseedingTakesTheTimeOfDay) {
    // Two reseeds within the same second start the same sequence; without a reseed the
    // sequence just goes on.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const int a = tb_RandomSeeded(0, 1000000000, 1);
        const int b = tb_RandomSeeded(0, 1000000000, 1);
        const int c = tb_RandomSeeded(0, 1000000000, 0);
        if (std::time(nullptr) != before) continue;  // the second turned over: try again
        EXPECT_EQ(a, b);
        EXPECT_NE(b, c);
        return;
    }
}
