// Flood fill: exact-colour, 4-connected, limited by the clip, iterative on any picture size.
#include <gtest/gtest.h>
#include <pthread.h>

#include <deque>
#include <random>

#include "platform/raster/fill.h"
#include "tests/unit/test_drawing_support.h"

using drawtest::Canvas;
using drawtest::InkOf;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000;

// The fill as a breadth-first walk over single pixels.
Canvas ReferenceFill(const Canvas& before, int32_t x, int32_t y, uint32_t surface, uint32_t ink, const Rect& clip) {
    Canvas after(before);
    auto inside = [&](int32_t px, int32_t py) {
        return px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom;
    };
    if (!inside(x, y) || after.at(x, y) != surface || ink == surface) return after;
    std::deque<std::pair<int32_t, int32_t>> todo{{x, y}};
    after.set(x, y, ink);
    while (!todo.empty()) {
        const auto [px, py] = todo.front();
        todo.pop_front();
        const std::pair<int32_t, int32_t> next[] = {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
        for (const auto& [nx, ny] : next) {
            if (inside(nx, ny) && after.at(nx, ny) == surface) {
                after.set(nx, ny, ink);
                todo.emplace_back(nx, ny);
            }
        }
    }
    return after;
}

Rect ChangedBetween(const Canvas& a, const Canvas& b) {
    Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = 0; y < a.height(); ++y)
        for (int32_t x = 0; x < a.width(); ++x)
            if (a.at(x, y) != b.at(x, y))
                box = Rect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1)};
    return box.isEmpty() ? Rect{} : box;
}

Rect Whole(const Canvas& c) { return Rect{0, 0, c.width(), c.height()}; }

}  // namespace

TEST(FloodFill, DoesNotLeakThroughADiagonalGap) {
    // Two white squares meet only corner to corner.
    Canvas canvas(8, 8, 24, 0);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) canvas.set(x, y, kWhite), canvas.set(x + 4, y + 4, kWhite);
    raster::FloodFiller filler;
    filler.fill(canvas.view(), 0, 0, kWhite, InkOf(canvas, kRed), Whole(canvas));
    EXPECT_EQ(canvas.at(3, 3), kRed);
    EXPECT_EQ(canvas.at(4, 4), kWhite);
    EXPECT_EQ(canvas.at(7, 7), kWhite);
}

TEST(FloodFill, LeavesThePictureAloneWhenThereIsNothingToFill) {
    struct Case {
        const char* why;
        int32_t x, y;
        uint32_t surface, ink;
        Rect clip;
    } cases[] = {
        {"seed of another colour", 5, 5, 0x00FF00, kRed, {0, 0, 10, 10}},
        {"ink already the surface colour", 5, 5, kWhite, kWhite, {0, 0, 10, 10}},
        {"seed left of the clip", 1, 5, kWhite, kRed, {2, 0, 10, 10}},
        {"seed below the clip", 5, 8, kWhite, kRed, {0, 0, 10, 8}},
        {"empty clip", 5, 5, kWhite, kRed, {5, 5, 5, 5}},
        {"a near-white surface", 5, 5, 0xFFFFFE, kRed, {0, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10, 24, 0xFF);
        const Canvas before(canvas);
        raster::FloodFiller filler;
        const Rect changed = filler.fill(canvas.view(), c.x, c.y, c.surface, InkOf(canvas, c.ink), c.clip);
        EXPECT_TRUE(canvas == before) << c.why;
        EXPECT_TRUE(changed.isEmpty()) << c.why;
    }
}

TEST(FloodFill, AgreesWithAPixelByPixelFillOnRandomPictures) {
    std::mt19937 random(5);
    // Widths around the sixteen-pixel blocks the row scans use; walls of colours that differ
    // from white in a single byte.
    const int32_t widths[] = {1, 2, 15, 16, 17, 31, 32, 33, 50, 97};
    const uint32_t walls[] = {kBlack, 0xFFFFFE, 0xFEFFFF, 0xFFFEFF, kRed};
    for (int32_t bits : {24, 8}) {
        for (int32_t width : widths) {
            for (int round = 0; round < 12; ++round) {
                const int32_t height = 1 + int32_t(random() % 40);
                Canvas canvas(width, height, bits, 0xFF);
                const double density = 0.15 + 0.1 * (round % 4);
                for (int32_t y = 0; y < height; ++y)
                    for (int32_t x = 0; x < width; ++x)
                        if (std::uniform_real_distribution<double>(0, 1)(random) < density)
                            canvas.set(x, y, bits == 8 ? uint32_t(random() % 255) : walls[random() % 5]);
                const uint32_t surface = bits == 8 ? 0xFF : kWhite;
                const uint32_t ink = bits == 8 ? 0x40 : 0x102030;
                const int32_t x = int32_t(random() % width), y = int32_t(random() % height);
                canvas.set(x, y, surface);
                const Rect clip = round % 3 == 0 ? Whole(canvas)
                                                 : Rect{int32_t(random() % (x + 1)), int32_t(random() % (y + 1)),
                                                        x + 1 + int32_t(random() % (width - x)),
                                                        y + 1 + int32_t(random() % (height - y))};
                const Canvas expected = ReferenceFill(canvas, x, y, surface, ink, clip);
                const Canvas before(canvas);
                raster::FloodFiller filler;
                const Rect changed = filler.fill(canvas.view(), x, y, surface, InkOf(canvas, ink), clip);
                ASSERT_TRUE(canvas == expected) << bits << "-bit " << width << "x" << height << " round " << round;
                EXPECT_EQ(changed, ChangedBetween(before, canvas));
            }
        }
    }
}

TEST(FloodFill, FillsAHugeWindingCorridorOnASmallThreadStack) {
    // 4000 x 3000 with one-pixel vertical walls every other column, open alternately at the top
    // and the bottom: a single corridor through the whole picture, the worst shape for a fill
    // that recurses. The fill runs on a thread with a 64 KiB stack.
    struct Job {
        Canvas canvas{4000, 3000, 24, 0xFF};
        size_t filled = 0;
        size_t deepest = 0;
    } job;
    for (int32_t x = 1; x < 4000; x += 2)
        for (int32_t y = 0; y < 3000; ++y)
            if (!((x / 2) % 2 == 0 ? y == 2999 : y == 0)) job.canvas.set(x, y, kBlack);
    auto run = [](void* arg) -> void* {
        Job& j = *static_cast<Job*>(arg);
        raster::FloodFiller filler;
        filler.fill(j.canvas.view(), 0, 0, kWhite, InkOf(j.canvas, kRed), Rect{0, 0, 4000, 3000});
        j.deepest = filler.deepestStack();
        for (int32_t y = 0; y < 3000; ++y)
            for (int32_t x = 0; x < 4000; ++x) j.filled += j.canvas.at(x, y) == kRed;
        return nullptr;
    };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    // Every even column, plus the one gap in each of the 2000 walls.
    EXPECT_EQ(job.filled, size_t(2000) * 3000 + 2000);
    EXPECT_EQ(job.canvas.at(3998, 2999), kRed);
}
