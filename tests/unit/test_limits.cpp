// The toolbox at the edges of what it is given: rectangles near the int limits, regions no
// screen needs, missing pointers, and picture files that are damaged or too big to hold.
// Under the sanitized build an overflow here stops the test.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "pictures/bmp_read.h"
#include "platform/pixels.h"
#include "tests/unit/bmp_samples.h"
#include "tests/unit/test_drawing_support.h"

namespace {

using LimitsTest = ToolboxTest;

TEST_F(LimitsTest, ExtremeRectanglesAreRefusedOrClampedWithoutOverflow) {
    // A bitmap of `width` x `height`, or -1: refused and said so. An inverted rectangle makes an
    // empty bitmap, however far apart its edges are.
    struct Case { Rect rect; int width, height; };
    const Case cases[] = {
        {{INT_MIN, 0, INT_MAX, 10}, -1, -1},
        {{0, INT_MIN, 10, INT_MAX}, -1, -1},
        {{-2000000000, -2000000000, 2000000000, 2000000000}, -1, -1},
        {{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, 0, 0},
        {{INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}, 5, 5},
    };
    const Rect small{0, 0, 40, 30};
    const int picture = create(40, 30);
    for (const Case& c : cases) {
        Rect r = c.rect;
        const size_t before = errors().size();
        const int made = tb_CreateBitmap(&r, 0, 24);
        const std::string what = std::to_string(r.left) + "," + std::to_string(r.top);
        EXPECT_EQ(errors().size(), before + (c.width < 0)) << what;
        EXPECT_EQ(made < 0 ? std::pair(-1, -1) : std::pair(tb_GetBitmapWidth(made), tb_GetBitmapHeight(made)),
                  std::pair(c.width, c.height)) << what;
        // Stretched both ways between a small picture and the extreme rectangle, figures and
        // lines across it, and the rectangle moved and grown past the limits.
        for (auto [from, to] : {std::pair{&c.rect, &small}, {&small, &c.rect}, {&c.rect, &c.rect}})
            tb_CopyBitmap(picture, picture, from, to, 0);
        for (auto figure : {tb_PaintRect, tb_PaintEllipse, tb_FrameEllipse}) figure(picture, &c.rect);
        tb_Line(picture, c.rect.left, c.rect.top, c.rect.right, c.rect.bottom, 9);
        tb_OffsetRect(&r, INT_MAX, INT_MIN);
        tb_InsetRect(&r, INT_MIN, INT_MAX);
    }
}

TEST_F(LimitsTest, RegionsLargerThanAnyScreenAreRefused) {
    const std::vector<Point> tall = {{0, 0}, {10, 0}, {10, 100000000}, {0, 100000000}, {kEndOfPoints, kEndOfPoints}};
    const std::vector<Point> wide = {{-2000000000, 0}, {2000000000, 0}, {0, 5}, {kEndOfPoints, kEndOfPoints}};
    EXPECT_EQ(tb_CreateRegion(tall.data()), -1);
    EXPECT_EQ(tb_CreateRegion(wide.data()), -1);
    EXPECT_EQ(tb_CreateCircleRegion(0, 0, 2000000000), -1);
    // A circle as big as the largest screen still works, and so does one at the edge of the ints.
    EXPECT_EQ(tb_PtInRegion(7999, 0, tb_CreateCircleRegion(0, 0, 8000)), 1);
    EXPECT_GE(tb_CreateCircleRegion(INT_MAX, INT_MIN, -40), 0);
    EXPECT_EQ(errors(), std::vector<std::string>(3, "Failed to create region."));
}

TEST_F(LimitsTest, MissingPointerArgumentsAreIgnored) {
    EXPECT_EQ(tb_OpenWindow(nullptr, "x"), -1);
    Rect r{0, 0, 100, 100};
    const int window = tb_OpenWindow(&r, nullptr);
    ASSERT_GE(window, 0);
    tb_GetClientRect(window, nullptr);
    tb_GetWindowRect(window, nullptr);
    tb_GetMousePosition(nullptr);
    EXPECT_EQ(errors(), std::vector<std::string>{"Failed to create Window! (tb_OpenWindow)"});
}

// A picture file's 54 bytes of headers, with no colour table; the pixels would start at `offset`.
std::vector<uint8_t> PictureHeaders(int32_t width, int32_t height, int bits, uint32_t offset) {
    samples::SampleLayout layout;
    layout.width = width, layout.height = height, layout.bitCount = uint16_t(bits), layout.tableEntries = 0;
    layout.pixelOffset = offset, layout.keepPixelBytes = 0;
    return samples::MakeBmp(layout);
}

TEST(PictureLimits, FilesWithoutColoursOrTooBigAreRefused) {
    struct Case { const char* what; int32_t width, height; int bits; uint32_t offset; uint64_t fileSize; bmp::Refusal expect; };
    const Case cases[] = {
        {"8-bit, no room for a colour table", 4, 4, 8, 54, 54 + 16, bmp::Refusal::ColorTable},
        {"8-bit, one colour", 4, 4, 8, 58, 58 + 16, bmp::Refusal::None},
        {"8-bit 16384 x 16384", 16384, 16384, 8, 1078, 1078 + 16384ull * 16384, bmp::Refusal::Size},
        {"24-bit 16384 x 2000, a long strip", 16384, 2000, 24, 54, 54 + 16384ull * 3 * 2000, bmp::Refusal::None},
        {"24-bit one pixel more than the most", 7681, 4320, 24, 54, 54 + 23044ull * 4320, bmp::Refusal::Size},
        {"24-bit at the most", 7680, 4320, 24, 54, 54 + 23040ull * 4320, bmp::Refusal::None},
        {"32-bit at the most", 7680, 4320, 32, 54, 54 + 30720ull * 4320, bmp::Refusal::None},
        {"32-bit at the most, a byte short", 7680, 4320, 32, 54, 54 + 30720ull * 4320 - 1, bmp::Refusal::ShortPixels},
        {"1-bit, no room for a colour table", 16384, 4, 1, 57, 57 + 2048 * 4, bmp::Refusal::ColorTable},
        {"3-bit", 4, 4, 3, 54, 54 + 16, bmp::Refusal::Depth},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> headers = PictureHeaders(c.width, c.height, c.bits, c.offset);
        bmp::Layout layout;
        EXPECT_EQ(bmp::ParseLayout(headers.data(), headers.size(), c.fileSize, layout), c.expect) << c.what;
    }
}

// The browser's preview read equals the whole picture stretched into the preview's rectangle,
// however the file stores its rows, while holding only the preview's pixels.
TEST_F(LimitsTest, PreviewEqualsTheWholePictureStretched) {
    const std::string path = std::string(getenv("XDG_CONFIG_HOME")) + "/preview.bmp";
    for (auto [width, height, bits] : {std::tuple{613, 501, 24}, {97, -1000, 8}, {3, 2, 24}}) {
        const size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
        std::vector<uint8_t> file = PictureHeaders(width, height, bits, bits == 8 ? 54 + 1024 : 54);
        file.resize(file.size() + (bits == 8 ? 1024 : 0) + stride * std::abs(height));
        for (size_t i = 54; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::ssize(file));
        Rect rects[2]{};
        int bitmaps[3]{};
        for (int preview : {0, 1}) {
            std::string name = path;
            ASSERT_EQ(tb_OpenFile(name, 0), 1);
            bitmaps[preview] = preview ? tb_ReadBitmapPreview(280, 217, &rects[1]) : tb_ReadBitmapFromFile(&rects[0]);
            tb_CloseFile();
        }
        ASSERT_EQ(rects[1], (Rect{0, 0, 280, 217}));
        bitmaps[2] = tb_CreateBitmap(&rects[1], 0, 24);
        tb_CopyBitmap(bitmaps[0], bitmaps[2], &rects[0], &rects[1], 0);
        const PixelView a = tb_PeekBitmapPixels(bitmaps[1]), b = tb_PeekBitmapPixels(bitmaps[2]);
        for (int y = 0; y < 217; ++y) ASSERT_EQ(memcmp(RowPointer(a, y), RowPointer(b, y), 280 * 3), 0) << width << ", row " << y;
    }
}

}  // namespace
