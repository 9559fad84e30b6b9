// Copies between bitmaps, windows and dialogs: validation, clipping, stretching, masks, colour
// tables.
#include <cmath>
#include <random>

#include "tests/unit/test_drawing_support.h"

using drawtest::Bounds;
using drawtest::Filled;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

using CopyTest = ToolboxTest;

}  // namespace

TEST_F(CopyTest, InvalidHandlesAreReportedInOrderAndNothingIsCopied) {
    const int a = create(4, 4), b = create(4, 4), freed = create(4, 4), window = openWindow(50, 40);
    fill(a, kWhite);
    tb_DisposeBitmap(freed);
    const std::string src = "Invalid source bitmap! (tb_CopyBitmap)", dst = "Invalid destination bitmap! (tb_CopyBitmap)";
    const struct { int source, destination; std::string message; } cases[] = {  // message empty: nothing said
        {-1, b, src},    {freed, b, src},  {-1, -1, src},     {a, 100, dst},         {a, freed, dst},
        {window, -7, dst}, {a, 5001, "Invalid destination window! (tb_CopyBitmap)"},
        {5001, b, ""},   {a, kPrinterHandle, ""},  // a window that is not open, a page without a document
    };
    Rect r{0, 0, 4, 4};
    for (const auto& c : cases) {
        desktop().clearRecords();
        tb_CopyBitmap(c.source, c.destination, &r, &r, 0);
        EXPECT_EQ(errors(), c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message})
            << c.source << " -> " << c.destination;
    }
    EXPECT_EQ(at(b, 0, 0), kBlack);
}

TEST_F(CopyTest, EqualSizeCopyIsSkippedWhenItReachesFourPixelsOrLessIntoTheClipAndTrimmedOtherwise) {
    const struct { int x, y; Rect copied; } cases[] = {  // where the 50 x 50 block lands; empty when skipped
        {54, 120, {}}, {120, 54, {}}, {196, 120, {}}, {120, 196, {}},
        {55, 55, {100, 100, 105, 105}},  {195, 195, {195, 195, 200, 200}},
        {80, 170, {100, 170, 130, 200}}, {120, 120, {120, 120, 170, 170}},
    };
    const int block = create(50, 50);
    for (int i = 0; i < 2500; ++i) set(block, i % 50, i / 50, uint32_t(i % 50) << 16 | uint32_t(i / 50) << 8 | 7);
    Rect from{0, 0, 50, 50};
    const Rect clip{100, 100, 200, 200};
    for (const auto& c : cases) {
        const int target = create(300, 300);
        tb_SetClipRect(target, &clip);
        Rect to{c.x, c.y, c.x + 50, c.y + 50};
        tb_CopyBitmap(block, target, &from, &to, 0);
        const Rect copied = Bounds(drawtest::PixelsWhere(Rect{0, 0, 300, 300}, [&](int x, int y) { return at(target, x, y); }));
        EXPECT_EQ(copied, c.copied) << c.x << "," << c.y;
        if (!copied.isEmpty()) {  // the part of the source that lands there
            EXPECT_EQ(at(target, copied.left, copied.top), colour(block, copied.left - c.x, copied.top - c.y)) << c.x;
        }
    }
}

TEST_F(CopyTest, TheClipACopyPutsInForceGoesWithTheBitmapAndTheStoredOneStaysWithTheSlot) {
    const int white = create(40, 40), target = create(40, 40);
    fill(white, kWhite);
    tb_SetForeColor(target, 65025, 65025, 65025);
    Rect all{0, 0, 40, 40};
    const Rect clip{10, 10, 20, 20};
    tb_SetClipRect(target, &clip);
    tb_CopyBitmap(white, target, &all, &all, 0);  // lands inside the clip and puts it in force
    tb_PaintRect(target, &all);  // for the figures after it too
    EXPECT_EQ(Bounds(where(target, kWhite)), clip);
    tb_SetClipRect(target, &clip);  // setting a clip lifts the one in force
    tb_PaintRect(target, &all);
    EXPECT_EQ(Bounds(where(target, kWhite)), all);
    tb_CopyBitmap(white, target, &all, &all, 0);  // in force again, until the bitmap goes
    tb_DisposeBitmap(target);
    ASSERT_EQ(create(40, 40), target);
    tb_PaintRect(target, &all);
    EXPECT_EQ(Bounds(where(target, kWhite)), all);
    fill(target, kBlack);
    tb_CopyBitmap(white, target, &all, &all, 0);
    EXPECT_EQ(Bounds(where(target, kWhite)), clip);
    tb_SetClipRect(-1, &clip);  // handles outside the tables are passed over in silence
    tb_ClearClipRect(5003);
    EXPECT_TRUE(errors().empty());
}

// Differential: tb_CopyBitmap's stretch against a plain per-pixel nearest-neighbour reference,
// over random sizes and positions (partly outside either picture), clipped and unclipped, from
// 24-bit and 8-bit sources.
TEST_F(CopyTest, StretchMatchesAPerPixelReference) {
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        const int depth = round % 3 == 0 ? 8 : 24;
        const int sw = pick(1, 30), sh = pick(1, 30), dw = pick(1, 45), dh = pick(1, 45);
        const int source = create(sw, sh, depth), target = create(dw, dh);
        const PixelView s = view(source);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw * (depth / 8); ++x) RowPointer(s, y)[x] = uint8_t(pick(0, 255));
        fill(target, 0x010203);
        const int sx = pick(-5, sw), sy = pick(-5, sh), dx = pick(-10, dw), dy = pick(-10, dh);
        const Rect from{sx, sy, sx + pick(1, 40), sy + pick(1, 40)};
        Rect to{dx, dy, dx + pick(1, 60), dy + pick(1, 60)};
        if (to.width() == from.width()) ++to.right;  // equal sizes would not stretch
        const bool clipped = round % 2 == 1;
        const Rect clip{pick(0, dw), pick(0, dh), pick(0, dw + 3), pick(0, dh + 3)};
        // The slot keeps the clip of an earlier round's bitmap, so always say which.
        clipped ? tb_SetClipRect(target, &clip) : tb_ClearClipRect(target);
        tb_CopyBitmap(source, target, &from, &to, 0);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                uint32_t expected = 0x010203;
                const bool inClip = !clipped || (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom);
                if (inClip && x >= to.left && x < to.right && y >= to.top && y < to.bottom) {
                    const int px = int(std::floor(from.left + (x - to.left + 0.5) * from.width() / to.width()));
                    const int py = int(std::floor(from.top + (y - to.top + 0.5) * from.height() / to.height()));
                    if (px >= 0 && px < sw && py >= 0 && py < sh) expected = colour(source, px, py);
                }
                ASSERT_EQ(at(target, x, y), expected) << "round " << round << " at " << x << "," << y << " depth " << depth;
            }
        for (int handle : {source, target}) tb_DisposeBitmap(handle);
    }
}

TEST_F(CopyTest, MaskIsOredThenImageAndedBytewiseBothStretchedWithinTheClip) {
    const struct { uint8_t destination, mask, image, expected; } cases[] = {
        {0x5A, 0x00, 0xFF, 0x5A},  // black mask, white image: the destination shows through
        {0x5A, 0xFF, 0x3C, 0x3C},  // white mask: the image replaces the destination
        {0x00, 0x0F, 0xF3, 0x03},  // (d | m) & i, not (d & i) | m
    };
    Rect small{0, 0, 2, 2}, big{2, 2, 10, 10};
    const Rect clip{0, 0, 20, 3}, shown{2, 2, 10, 3};
    for (const auto& c : cases)
        for (int maskDepth : {8, 24}) {
            const int destination = create(20, 20), mask = create(2, 2, maskDepth), image = create(2, 2);
            fill(destination, c.destination * 0x010101u);
            fill(mask, c.mask * 0x010101u);
            fill(image, c.image * 0x010101u);
            tb_SetClipRect(destination, &clip);
            tb_CopyMaskedBitmap(image, mask, destination, &small, &small, &big);
            const Rect changed = c.expected == c.destination ? Rect{0, 0, 20, 20} : shown;
            EXPECT_EQ(where(destination, c.expected * 0x010101u), Filled(changed)) << int(c.mask) << " mask " << maskDepth;
        }
    tb_CopyMaskedBitmap(create(2, 2), 77, create(2, 2), &small, &small, &big);  // validates and reports nothing
    EXPECT_TRUE(errors().empty());
}

TEST_F(CopyTest, EightBitSourcesGoThroughTheirOwnColourTable) {
    const int indexed = create(3, 1, 8), rgb = create(3, 1), grey = create(3, 1, 8);
    const PixelView v = view(indexed);
    // A table that is not the grey ramp: entry 7 is orange, entry 200 dark blue.
    const uint8_t orange[] = {0, 128, 255}, darkBlue[] = {90, 10, 0}, indices[] = {7, 200, 255};
    std::copy(orange, orange + 3, v.colorTable + 7 * 4);
    std::copy(darkBlue, darkBlue + 3, v.colorTable + 200 * 4);
    std::copy(indices, indices + 3, RowPointer(v, 0));
    Rect r{0, 0, 3, 1};
    // Into `grey`, a grey ramp, each colour becomes the nearest grey.
    for (int handle : {rgb, grey}) tb_CopyBitmap(indexed, handle, &r, &r, 0);
    std::vector<uint32_t> got;
    for (int handle : {rgb, grey})
        for (int x = 0; x < 3; ++x) got.push_back(at(handle, x, 0));
    EXPECT_EQ(got, (std::vector<uint32_t>{0xFF8000, 0x000A5A, kWhite, 128, 33, 255}));
}

TEST_F(CopyTest, CopiesIntoAWindowOrADialogPresentTheChange) {
    const int window = openWindow(60, 40), block = create(10, 10);
    fill(block, 0x090807);
    Rect from{0, 0, 10, 10}, to{55, 5, 65, 15}, cut{55, 5, 60, 15};
    tb_CopyBitmap(block, window, &from, &to, 0);  // cut by the window's edge
    EXPECT_EQ(Bounds(where(window, 0x090807)), cut);
    EXPECT_EQ(desktop().presented().back(), cut);
    // A dialog's backing store is drawn into directly; the source rect counts from the top.
    const platform::NativeWindow dialog = desktop().createWindow(Rect{0, 0, 30, 20}, "", QuietProc);
    Rect topRow{0, 0, 4, 1}, placed{1, 1, 9, 3};
    for (int x = 0; x < 4; ++x) set(block, x, 0, 0xFF0000);
    tb_CopyBitmapToDialog(dialog, block, &topRow, &placed);
    const PixelView store = platform::Plat().backingStore(dialog);
    const auto red = [&](int x, int y) { return raster::PixelAt(store, x, y) == 0xFF0000; };
    EXPECT_EQ(drawtest::PixelsWhere(Rect{0, 0, 30, 20}, red), Filled(placed));
    EXPECT_EQ(desktop().presented().back(), placed);
    tb_CopyBitmapToDialog(dialog, 42, &topRow, &placed);
    tb_CopyBitmapToDialog(0, block, &topRow, &placed);
    EXPECT_EQ(errors(), std::vector<std::string>(2, "Failed to copy Keyboard Image"));
}

TEST_F(CopyTest, CopyOntoItselfReadsTheOriginalPixels) {
    const struct { Rect from, to; std::vector<int> after; } cases[] = {  // the six pixels, which start as 1 .. 6
        {{0, 0, 1, 4}, {0, 2, 1, 6}, {1, 2, 1, 2, 3, 4}},  // down the picture
        {{0, 2, 1, 6}, {0, 0, 1, 4}, {3, 4, 5, 6, 5, 6}},  // up
        {{0, 0, 4, 1}, {2, 0, 6, 1}, {1, 2, 1, 2, 3, 4}},  // along a row
    };
    for (const auto& c : cases) {
        const bool column = c.from.width() == 1;
        const int picture = column ? create(1, 6) : create(6, 1);
        for (int i = 0; i < 6; ++i) set(picture, column ? 0 : i, column ? i : 0, uint32_t(i + 1) << 16);
        tb_CopyBitmap(picture, picture, &c.from, &c.to, 0);
        std::vector<int> reds;
        for (int i = 0; i < 6; ++i) reds.push_back(int(at(picture, column ? 0 : i, column ? i : 0) >> 16));
        EXPECT_EQ(reds, c.after);
    }
}
