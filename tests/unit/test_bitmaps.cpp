// The bitmap table: handles, slots, creation, disposal and the queries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "resources/resources.h"
#include "tests/support/headless_fixture.h"
#include "toolbox/internal.h"

namespace {

class BitmapTableTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_->messageBoxes()) {
            EXPECT_EQ(box.caption, "Error...");
            texts.push_back(box.text);
        }
        return texts;
    }
    int create(int width = 10, int height = 10, int depth = 24) {
        Rect r{0, 0, width, height};
        return tb_CreateBitmap(&r, -1, depth);
    }
};

}  // namespace

TEST_F(BitmapTableTest, HandlesThatNameNoBitmapInUseAreReportedByEveryQuery) {
    const int inUse = create();
    const int freed = create();
    tb_DisposeBitmap(freed);
    desktop().clearRecords();
    for (int bad : {-1, 100, 4999, freed, 99, -2147483647 - 1}) {
        Rect untouched{1, 2, 3, 4};
        tb_GetBitmapRect(bad, &untouched);
        EXPECT_EQ(tb_GetBitmapWidth(bad), -1) << bad;
        EXPECT_EQ(tb_GetBitmapHeight(bad), -1) << bad;
        EXPECT_EQ(tb_GetBitmapStorageWidth(bad), -1) << bad;
        tb_DisposeBitmap(bad);
        EXPECT_EQ(untouched, (Rect{1, 2, 3, 4})) << bad;
        const std::vector<std::string> expected = {
            "Invalid bitmap! (tb_GetBitmapRect)", "Invalid bitmap! (tb_GetBitmapWidth)",
            "Invalid bitmap! (tb_GetBitmapHeight)", "Invalid bitmap! (tb_GetBitmapStorageWidth)",
            "There is no bitmap to free! (tb_DisposeBitmap)"};
        EXPECT_EQ(errors(), expected) << bad;
        desktop().clearRecords();
    }
    EXPECT_EQ(tb_GetBitmapWidth(inUse), 10);
}

TEST_F(BitmapTableTest, HundredAndFirstCreationFailsAndFreedSlotsAreReusedLowestFirst) {
    for (int i = 0; i < 100; ++i) ASSERT_EQ(create(), i);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(create(), -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"No more available Bitmaps! (tb_CreateBitmap)"});

    tb_DisposeBitmap(37);
    tb_DisposeBitmap(12);
    EXPECT_EQ(create(), 12);
    EXPECT_EQ(create(), 37);
    EXPECT_EQ(create(), -1);
}

TEST_F(BitmapTableTest, InitFreesEverySlot) {
    for (int i = 0; i < 5; ++i) create();
    tb_Init();
    EXPECT_EQ(create(), 0);
    EXPECT_EQ(tb_GetBitmapWidth(1), -1);
}

TEST_F(BitmapTableTest, RectIsStoredWithItsOrigin) {
    Rect r{10, 20, 110, 70};
    const int b = tb_CreateBitmap(&r, -1, 24);
    ASSERT_GE(b, 0);
    EXPECT_EQ(r, (Rect{10, 20, 110, 70}));
    EXPECT_EQ(tb_GetBitmapWidth(b), 100);
    EXPECT_EQ(tb_GetBitmapHeight(b), 50);
    EXPECT_EQ(tb_GetBitmapStorageWidth(b), 300);
    Rect back{};
    tb_GetBitmapRect(b, &back);
    EXPECT_EQ(back, (Rect{10, 20, 110, 70}));
}

TEST_F(BitmapTableTest, StorageWidthIsTheRowPaddedToFourBytes) {
    const int expected8[] = {4, 4, 4, 4};
    const int expected24[] = {4, 8, 12, 12};
    for (int w = 1; w <= 4; ++w) {
        const int a = create(w, 2, 8);
        const int b = create(w, 2, 24);
        EXPECT_EQ(tb_GetBitmapStorageWidth(a), expected8[w - 1]) << w;
        EXPECT_EQ(tb_GetBitmapStorageWidth(b), expected24[w - 1]) << w;
        tb_DisposeBitmap(a);
        tb_DisposeBitmap(b);
    }
}

TEST_F(BitmapTableTest, EmptyBitmapsAreBlackOrIndexZero) {
    const int rgb = create(7, 5, 24);
    const int indexed = create(7, 5, 8);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            int r = -1, g = -1, b = -1;
            tb_GetPixel(rgb, x, y, &r, &g, &b);
            EXPECT_EQ(r + g + b, 0) << x << "," << y;
        }
    }
    const DibRecord& image = toolbox::FindBitmapSlot(indexed)->image;
    for (size_t i = 0; i < dib_GetImageSize(image); ++i) EXPECT_EQ(image.bits[i], 0) << i;
    EXPECT_EQ(dib_GetColorTable(image)[0] | dib_GetColorTable(image)[1] | dib_GetColorTable(image)[2], 0);
}

TEST_F(BitmapTableTest, DisposingTwiceIsReportedTheSecondTime) {
    const int b = create();
    tb_DisposeBitmap(b);
    EXPECT_TRUE(errors().empty());
    tb_DisposeBitmap(b);
    EXPECT_EQ(errors(), std::vector<std::string>{"There is no bitmap to free! (tb_DisposeBitmap)"});
}

TEST_F(BitmapTableTest, DepthsOtherThanEightAndTwentyFourAreRefusedWithoutTakingASlot) {
    for (int depth : {1, 4, 16, 32, 0}) {
        Rect r{0, 0, 4, 4};
        EXPECT_EQ(tb_CreateBitmap(&r, -1, depth), -1) << depth;
    }
    EXPECT_EQ(errors().size(), 5u);
    EXPECT_NE(errors().front().find("(tb_CreateBitmap)"), std::string::npos);
    EXPECT_EQ(create(), 0);
}

TEST_F(BitmapTableTest, ImpossibleSizesAreReportedAsNoContext) {
    Rect huge{0, 0, 1 << 20, 1 << 20};
    EXPECT_EQ(tb_CreateBitmap(&huge, -1, 24), -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"Could not create DC! (tb_CreateBitmap)"});
    EXPECT_EQ(create(), 0);
}

TEST_F(BitmapTableTest, ResourceBitmapReturnsItsSizeThroughTheRect) {
    const ResourceData data = FindResource(ResourceKind::Bitmap, kBmpPaintBlot);
    ASSERT_TRUE(data);
    int32_t width, height;
    std::memcpy(&width, data.bytes + 4, 4);
    std::memcpy(&height, data.bytes + 8, 4);

    Rect r{5, 5, 6, 6};
    const int b = tb_CreateBitmap(&r, kBmpPaintBlot, 24);
    ASSERT_GE(b, 0);
    EXPECT_EQ(r, (Rect{0, 0, width, height}));
    Rect stored{};
    tb_GetBitmapRect(b, &stored);
    EXPECT_EQ(stored, r);
    // Pixel (0, 0) of the picture sits in the last stored row.
    const uint8_t* topLeft = data.bytes + 40 + static_cast<size_t>(height - 1) * ((3 * width + 3) & ~3);
    int red, green, blue;
    tb_GetPixel(b, 0, 0, &red, &green, &blue);
    EXPECT_EQ(red, topLeft[2] * 255);
    EXPECT_EQ(green, topLeft[1] * 255);
    EXPECT_EQ(blue, topLeft[0] * 255);
}

TEST_F(BitmapTableTest, ResourceOfTheOtherDepthIsConvertedThroughItsColours) {
    Rect r{};
    const int mask = tb_CreateBitmap(&r, kBmpPaintBlotMask, 8);
    const int asColour = tb_CreateBitmap(&r, kBmpPaintBlotMask, 24);
    ASSERT_GE(mask, 0);
    ASSERT_GE(asColour, 0);
    EXPECT_EQ(tb_GetBitmapStorageWidth(asColour), (3 * r.right + 3) & ~3);
    for (int y = 0; y < r.bottom; ++y) {
        for (int x = 0; x < r.right; ++x) {
            int r8, g8, b8, r24, g24, b24;
            tb_GetPixel(mask, x, y, &r8, &g8, &b8);
            tb_GetPixel(asColour, x, y, &r24, &g24, &b24);
            ASSERT_EQ(r8, r24);
            ASSERT_EQ(g8, g24);
            ASSERT_EQ(b8, b24);
        }
    }
}

TEST_F(BitmapTableTest, MissingResourceIsReportedWithoutTakingASlot) {
    Rect r{1, 2, 3, 4};
    EXPECT_EQ(tb_CreateBitmap(&r, 31999, 24), -1);
    EXPECT_EQ(r, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(create(), 0);
}

TEST_F(BitmapTableTest, WritingIntoAResourceBitmapLeavesTheResourceAndItsOtherBitmapsAlone) {
    const ResourceData data = FindResource(ResourceKind::Bitmap, kBmpPaintBlot);
    ASSERT_TRUE(data);
    const std::vector<uint8_t> original(data.bytes, data.bytes + data.size);
    Rect r{};
    const int first = tb_CreateBitmap(&r, kBmpPaintBlot, 24);
    const int second = tb_CreateBitmap(&r, kBmpPaintBlot, 24);
    int red, green, blue;
    tb_GetPixel(second, 3, 3, &red, &green, &blue);

    const int black = create(r.right, r.bottom);
    tb_CopyBitmap(black, first, &r, &r, 0);
    tb_SetPixel(first, 3, 3, 65025 - red, 65025 - green, 65025 - blue);

    int r1, g1, b1, r2, g2, b2;
    tb_GetPixel(first, 3, 3, &r1, &g1, &b1);
    tb_GetPixel(second, 3, 3, &r2, &g2, &b2);
    EXPECT_EQ(r1, 65025 - red);
    EXPECT_EQ(r2, red);
    EXPECT_EQ(g2, green);
    tb_GetPixel(first, 0, 0, &r1, &g1, &b1);
    EXPECT_EQ(r1 + g1 + b1, 0);
    EXPECT_EQ(std::memcmp(data.bytes, original.data(), original.size()), 0);
}

TEST_F(BitmapTableTest, ZeroSizedBitmapTakesASlotAndDrawsNothing) {
    Rect r{5, 5, 5, 9};
    const int b = tb_CreateBitmap(&r, -1, 24);
    ASSERT_EQ(b, 0);
    EXPECT_EQ(tb_GetBitmapWidth(b), 0);
    const int other = create(4, 4);
    Rect all{0, 0, 4, 4};
    tb_CopyBitmap(other, b, &all, &all, 0);
    tb_CopyBitmap(b, other, &all, &all, 0);
    EXPECT_TRUE(errors().empty());
}
