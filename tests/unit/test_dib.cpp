// The pixel store: layout, addressing, block copies, resources in place.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pictures/dib.h"
#include "resources/resource_ids.h"
#include "resources/resources.h"

namespace {

int32_t HeaderInt(const uint8_t* header, int offset) {
    int32_t v;
    std::memcpy(&v, header + offset, 4);
    return v;
}

struct Rgb {
    uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb PixelOf(const DibRecord& image, int x, int y) {
    Rgb c{};
    dib_GetPixelRGB(image, x, y, c.r, c.g, c.b);
    return c;
}

}  // namespace

TEST(DibLayout, RowsArePaddedToFourBytes) {
    struct Case {
        int width;
        int depth;
        int stride;
    };
    const Case cases[] = {{1, 8, 4},  {2, 8, 4},  {3, 8, 4},   {4, 8, 4},   {5, 8, 8},
                          {1, 24, 4}, {2, 24, 8}, {3, 24, 12}, {4, 24, 12}, {5, 24, 16}};
    for (const Case& c : cases) {
        DibRecord image;
        ASSERT_TRUE(c.depth == 8 ? dib_CreateSection8(image, c.width, 3) : dib_CreateSection24(image, c.width, 3));
        EXPECT_EQ(dib_GetStride(image), c.stride) << c.width << " at " << c.depth;
        EXPECT_EQ(dib_GetImageSize(image), static_cast<size_t>(c.stride) * 3) << c.width << " at " << c.depth;
        EXPECT_EQ(dib_GetWidth(image), c.width);
        EXPECT_EQ(dib_GetHeight(image), 3);
        EXPECT_EQ(dib_GetBitCount(image), c.depth);
    }
}

TEST(DibLayout, HeaderIsABitmapInfoHeader) {
    DibRecord image;
    ASSERT_TRUE(dib_CreateSection8(image, 7, 5));
    EXPECT_EQ(HeaderInt(image.info, 0), 40);
    EXPECT_EQ(HeaderInt(image.info, 4), 7);
    EXPECT_EQ(HeaderInt(image.info, 8), 5);
    EXPECT_EQ(image.info[12], 1);  // planes
    EXPECT_EQ(image.info[14], 8);  // bits per pixel
    EXPECT_EQ(HeaderInt(image.info, 16), 0);   // uncompressed
    EXPECT_EQ(HeaderInt(image.info, 32), 256); // colours used
    EXPECT_EQ(image.bits, image.info + 40 + 1024);
}

TEST(DibLayout, FreshEightBitImageIsIndexZeroWithBlackAndWhiteAtTheEnds) {
    DibRecord image;
    ASSERT_TRUE(dib_CreateSection8(image, 6, 4));
    const uint8_t* table = dib_GetColorTable(image);
    ASSERT_NE(table, nullptr);
    const uint8_t black[4] = {0, 0, 0, 0};
    const uint8_t white[4] = {255, 255, 255, 0};
    EXPECT_EQ(std::memcmp(table, black, 4), 0);
    EXPECT_EQ(std::memcmp(table + 255 * 4, white, 4), 0);
    for (size_t i = 0; i < dib_GetImageSize(image); ++i) ASSERT_EQ(image.bits[i], 0) << i;
    EXPECT_EQ(PixelOf(image, 3, 2), (Rgb{0, 0, 0}));
}

TEST(DibLayout, NegativeSizesMakeAnEmptyImageAndHugeOnesAreRefused) {
    DibRecord image;
    ASSERT_TRUE(dib_CreateSection24(image, -4, 3));
    EXPECT_EQ(dib_GetWidth(image), 0);
    EXPECT_EQ(dib_GetPixelAddress(image, 0, 0), nullptr);
    EXPECT_FALSE(dib_CreateSection24(image, 1 << 20, 1 << 20));
    EXPECT_EQ(image.info, nullptr);
}

TEST(DibAddressing, RowsAreStoredBottomUp) {
    DibRecord image;
    ASSERT_TRUE(dib_CreateSection24(image, 3, 2));  // stride 12
    dib_SetPixelRGB(image, 0, 0, 1, 2, 3);  // top-left
    dib_SetPixelRGB(image, 2, 1, 4, 5, 6);  // bottom-right
    const uint8_t expected[24] = {0, 0, 0, 0, 0, 0, 6, 5, 4, 0, 0, 0,   // stored first: picture row 1
                                  3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // then row 0
    EXPECT_EQ(std::memcmp(image.bits, expected, sizeof expected), 0);
    EXPECT_EQ(dib_GetPixelAddress(image, 0, 0), image.bits + 12);
    EXPECT_EQ(dib_GetPixelAddress(image, 2, 1), image.bits + 6);
}

TEST(DibAddressing, OutsideTheImageReadsBlackAndWritesNothing) {
    DibRecord image;
    ASSERT_TRUE(dib_CreateSection24(image, 4, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) dib_SetPixelRGB(image, x, y, 200, 100, 50);
    }
    const std::vector<uint8_t> before(image.bits, image.bits + dib_GetImageSize(image));
    const int outside[][2] = {{4, 0}, {0, 3}, {-1, 0}, {0, -1}, {4, 3}, {-100000, 2}, {2, 1 << 30}};
    for (const auto& p : outside) {
        EXPECT_EQ(dib_GetPixelAddress(image, p[0], p[1]), nullptr) << p[0] << "," << p[1];
        EXPECT_EQ(PixelOf(image, p[0], p[1]), (Rgb{0, 0, 0})) << p[0] << "," << p[1];
        dib_SetPixelRGB(image, p[0], p[1], 1, 1, 1);
    }
    EXPECT_EQ(std::memcmp(image.bits, before.data(), before.size()), 0);
}

TEST(DibAddressing, EightBitPixelsReadThroughTheirTableAndWriteTheNearestEntry) {
    DibRecord image;
    ASSERT_TRUE(dib_CreateSection8(image, 4, 1));
    dib_SetPixelRGB(image, 0, 0, 255, 255, 255);
    dib_SetPixelRGB(image, 1, 0, 100, 110, 120);  // nearest grey is 110
    dib_SetPixelRGB(image, 2, 0, 0, 0, 0);
    EXPECT_EQ(image.bits[0], 255);
    EXPECT_EQ(image.bits[1], 110);
    EXPECT_EQ(image.bits[2], 0);
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgb{110, 110, 110}));
}

TEST(DibCopyRect, KeyDecidesPerByteWhatIsCopied) {
    // Source pixels: white, (red 255, green 10, blue 10), (1, 2, 3). Target: all 77.
    struct Case {
        int key;
        uint8_t expected[9];  // target bytes b, g, r of the three pixels afterwards
    };
    const Case cases[] = {
        {0, {255, 255, 255, 10, 10, 255, 3, 2, 1}},
        {255, {77, 77, 77, 10, 10, 77, 3, 2, 1}},
        {10, {255, 255, 255, 77, 77, 255, 3, 2, 1}},
        {2, {255, 255, 255, 10, 10, 255, 3, 77, 1}},
    };
    for (const Case& c : cases) {
        DibRecord source, target;
        ASSERT_TRUE(dib_CreateSection24(source, 3, 1));
        ASSERT_TRUE(dib_CreateSection24(target, 3, 1));
        dib_SetPixelRGB(source, 0, 0, 255, 255, 255);
        dib_SetPixelRGB(source, 1, 0, 255, 10, 10);
        dib_SetPixelRGB(source, 2, 0, 1, 2, 3);
        for (int x = 0; x < 3; ++x) dib_SetPixelRGB(target, x, 0, 77, 77, 77);
        dib_CopyRect(source, 0, 0, 3, 1, target, 0, 0, c.key);
        EXPECT_EQ(std::memcmp(target.bits, c.expected, 9), 0) << "key " << c.key;
    }
}

TEST(DibCopyRect, CopiesTheBlockToItsPlaceAndNothingElse) {
    DibRecord source, target;
    ASSERT_TRUE(dib_CreateSection24(source, 4, 4));
    ASSERT_TRUE(dib_CreateSection24(target, 6, 5));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) dib_SetPixelRGB(source, x, y, uint8_t(10 * x + 1), uint8_t(10 * y + 1), 9);
    }
    dib_CopyRect(source, 1, 2, 2, 2, target, 3, 0, 0);  // source (1..2, 2..3) -> target (3..4, 0..1)
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 3 && x <= 4 && y <= 1;
            const Rgb expected = inside ? Rgb{uint8_t(10 * (x - 2) + 1), uint8_t(10 * (y + 2) + 1), 9} : Rgb{0, 0, 0};
            EXPECT_EQ(PixelOf(target, x, y), expected) << x << "," << y;
        }
    }
}

TEST(DibCopyRect, BlocksReachingOutsideEitherImageAreCutNotWrittenAstray) {
    DibRecord source, target;
    ASSERT_TRUE(dib_CreateSection24(source, 3, 3));
    ASSERT_TRUE(dib_CreateSection24(target, 3, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) dib_SetPixelRGB(source, x, y, 255, 255, 255);
    }
    dib_CopyRect(source, -1, 0, 3, 1, target, 0, 0, 0);   // the first column lies outside the source
    dib_CopyRect(source, 0, 0, 10, 10, target, 2, 2, 0);  // only (2, 2) lies inside the target
    EXPECT_EQ(PixelOf(target, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelOf(target, 1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelOf(target, 2, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelOf(target, 2, 2), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelOf(target, 1, 2), (Rgb{0, 0, 0}));
}

TEST(DibCopyRect, OverlappingCopyInsideOneImageReadsTheOriginalRows) {
    struct Case {
        int sy, dy, h;
        uint8_t expected[5];  // rows 0..4 afterwards; they start as 1..5
    };
    const Case cases[] = {
        {0, 1, 3, {1, 1, 2, 3, 5}},  // down by one
        {1, 0, 4, {2, 3, 4, 5, 5}},  // up by one
        {0, 2, 3, {1, 2, 1, 2, 3}},
        {2, 0, 3, {3, 4, 5, 4, 5}},
    };
    for (const Case& c : cases) {
        DibRecord image;
        ASSERT_TRUE(dib_CreateSection8(image, 1, 5));
        for (int y = 0; y < 5; ++y) dib_SetPixelRGB(image, 0, y, uint8_t(y + 1), uint8_t(y + 1), uint8_t(y + 1));
        dib_CopyRect(image, 0, c.sy, 1, c.h, image, 0, c.dy, 0);
        for (int y = 0; y < 5; ++y) {
            EXPECT_EQ(*dib_GetPixelAddress(image, 0, y), c.expected[y]) << c.sy << " -> " << c.dy << " row " << y;
        }
    }
}

TEST(DibResource, IsReadInPlaceUntilTheFirstWrite) {
    const ResourceData data = FindResource(ResourceKind::Bitmap, kBmpPaintBlot);
    ASSERT_TRUE(data);
    const std::vector<uint8_t> original(data.bytes, data.bytes + data.size);
    DibRecord image;
    ASSERT_TRUE(dib_LoadResource(image, kBmpPaintBlot));
    EXPECT_TRUE(dib_IsInPlace(image));
    EXPECT_EQ(image.info, data.bytes);
    EXPECT_EQ(dib_GetWidth(image), HeaderInt(data.bytes, 4));
    EXPECT_EQ(dib_GetHeight(image), HeaderInt(data.bytes, 8));
    EXPECT_EQ(dib_GetBitCount(image), 24);

    const Rgb before = PixelOf(image, 0, 0);
    const Rgb other{static_cast<uint8_t>(before.r ^ 0xFF), 1, 2};
    dib_SetPixelRGB(image, 0, 0, other.r, other.g, other.b);
    EXPECT_FALSE(dib_IsInPlace(image));
    EXPECT_EQ(PixelOf(image, 0, 0), other);
    EXPECT_EQ(std::memcmp(data.bytes, original.data(), original.size()), 0);
    // Everything else came along with the copy.
    DibRecord fresh;
    ASSERT_TRUE(dib_LoadResource(fresh, kBmpPaintBlot));
    for (int y = 0; y < dib_GetHeight(fresh); ++y) {
        for (int x = (y == 0 ? 1 : 0); x < dib_GetWidth(fresh); ++x) {
            ASSERT_EQ(PixelOf(image, x, y), PixelOf(fresh, x, y)) << x << "," << y;
        }
    }
}

TEST(DibResource, EightBitMasksKeepTheirOwnTable) {
    const ResourceData data = FindResource(ResourceKind::Bitmap, kBmpPaintBlotMask);
    ASSERT_TRUE(data);
    DibRecord image;
    ASSERT_TRUE(dib_LoadResource(image, kBmpPaintBlotMask));
    EXPECT_EQ(dib_GetBitCount(image), 8);
    EXPECT_EQ(dib_GetColorTable(image), data.bytes + 40);
    EXPECT_EQ(image.bits, data.bytes + 40 + 1024);
}

TEST(DibResource, MissingResourceLeavesTheRecordEmpty) {
    DibRecord image;
    EXPECT_FALSE(dib_LoadResource(image, 31999));
    EXPECT_EQ(image.info, nullptr);
    EXPECT_EQ(dib_GetWidth(image), 0);
}
