// Copies between bitmaps, windows and dialogs: validation, clipping, stretching, masks.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/support/headless_fixture.h"
#include "toolbox/internal.h"

namespace {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

long QuietProc(platform::Message& msg) { return platform::Plat().defWindowProc(msg); }

Rgb ViewPixel(const PixelView& v, int x, int y) {
    const uint8_t* p = RowPointer(v, y) + x * 3;
    return Rgb{p[2], p[1], p[0]};
}

class CopyTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_RegisterWindowClass(QuietProc, 0);
        tb_Init();
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_->messageBoxes()) texts.push_back(box.text);
        return texts;
    }
    int create(int width, int height, int depth = 24) {
        Rect r{0, 0, width, height};
        return tb_CreateBitmap(&r, -1, depth);
    }
    PixelView view(int handle) {
        toolbox::Target t;
        EXPECT_TRUE(toolbox::ResolveTarget(handle, t)) << handle;
        return t.view;
    }
    void fill(int handle, Rgb c) {
        const PixelView v = view(handle);
        for (int y = 0; y < v.height; ++y) {
            for (int x = 0; x < v.width; ++x) {
                uint8_t* p = RowPointer(v, y) + x * 3;
                p[0] = c.b;
                p[1] = c.g;
                p[2] = c.r;
            }
        }
    }
    Rgb at(int handle, int x, int y) {
        int r, g, b;
        tb_GetPixel(handle, x, y, &r, &g, &b);
        return Rgb{uint8_t(r / 255), uint8_t(g / 255), uint8_t(b / 255)};
    }
    // The smallest rectangle holding every pixel of `handle` that has colour c; empty if none.
    Rect extentOf(int handle, Rgb c) {
        Rect e{1 << 30, 1 << 30, -1, -1};
        for (int y = 0; y < tb_GetBitmapHeight(handle); ++y) {
            for (int x = 0; x < tb_GetBitmapWidth(handle); ++x) {
                if (!(at(handle, x, y) == c)) continue;
                e = Rect{std::min(e.left, x), std::min(e.top, y), std::max(e.right, x + 1), std::max(e.bottom, y + 1)};
            }
        }
        return e.right < 0 ? Rect{} : e;
    }
    int openWindow(int width, int height) {
        Rect r{0, 0, width, height};
        return tb_OpenWindow(&r, "w");
    }
};

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

}  // namespace

TEST_F(CopyTest, InvalidHandlesAreReportedInOrderAndNothingIsCopied) {
    const int a = create(4, 4);
    const int b = create(4, 4);
    fill(a, kWhite);
    const int freed = create(4, 4);
    tb_DisposeBitmap(freed);
    const int window = openWindow(50, 40);
    ASSERT_EQ(window, 5000);
    desktop().clearRecords();
    const std::string src = "Invalid source bitmap! (tb_CopyBitmap)";
    const std::string dst = "Invalid destination bitmap! (tb_CopyBitmap)";
    const std::string win = "Invalid destination window! (tb_CopyBitmap)";
    struct Case {
        int source, destination;
        std::string message;  // empty: copied without a word
    };
    const Case cases[] = {
        {-1, b, src},     {100, b, src},   {4999, b, src},  {freed, b, src},  {-1, -1, src},
        {a, -1, dst},     {a, 100, dst},   {a, freed, dst}, {a, 4999, dst},   {a, 5001, win},
        {a, 5010, win},   {a, 8999, win},  {5001, b, ""},   {window, -7, dst}, {a, kPrinterHandle, ""},
    };
    Rect r{0, 0, 4, 4};
    for (const Case& c : cases) {
        tb_CopyBitmap(c.source, c.destination, &r, &r, 0);
        const std::vector<std::string> expected = c.message.empty() ? std::vector<std::string>{}
                                                                     : std::vector<std::string>{c.message};
        EXPECT_EQ(errors(), expected) << c.source << " -> " << c.destination;
        desktop().clearRecords();
    }
    EXPECT_EQ(at(b, 0, 0), kBlack);
}

TEST_F(CopyTest, CopyBitmapBitsRefusesWindowSourcesBeforeAnythingElse) {
    openWindow(20, 20);
    const int b = create(4, 4);
    Rect r{0, 0, 4, 4};
    tb_CopyBitmapBits(5000, b, &r, &r, 0);
    tb_CopyBitmapBits(5003, -1, &r, &r, 0);
    tb_CopyBitmapBits(-1, b, &r, &r, 0);
    tb_CopyBitmapBits(b, 5004, &r, &r, 0);
    const std::vector<std::string> expected = {
        "Can't copy from a window! (tb_CopyBitmap)", "Can't copy from a window! (tb_CopyBitmap)",
        "Invalid source bitmap! (tb_CopyBitmap)", "Invalid destination window! (tb_CopyBitmap)"};
    EXPECT_EQ(errors(), expected);
}

TEST_F(CopyTest, EqualSizeCopyIsSkippedWhenItReachesFourPixelsOrLessIntoTheClip) {
    struct Case {
        int x, y;
        Rect copied;  // where the 50 x 50 white block lands; empty when skipped
    };
    const Case cases[] = {
        {60, 60, {100, 100, 110, 110}},  {54, 54, {}},
        {55, 55, {100, 100, 105, 105}},  {54, 120, {}},
        {60, 120, {100, 120, 110, 170}}, {120, 120, {120, 120, 170, 170}},
        {195, 195, {195, 195, 200, 200}}, {196, 120, {}},
        {120, 196, {}},                   {80, 170, {100, 170, 130, 200}},
        {-20, -20, {}},                   {20, 20, {}},
    };
    const int block = create(50, 50);
    fill(block, kWhite);
    Rect from{0, 0, 50, 50};
    const Rect clip{100, 100, 200, 200};
    for (const Case& c : cases) {
        const int target = create(300, 300);
        tb_SetClipRect(target, &clip);
        Rect to{c.x, c.y, c.x + 50, c.y + 50};
        tb_CopyBitmap(block, target, &from, &to, 0);
        EXPECT_EQ(extentOf(target, kWhite), c.copied) << c.x << "," << c.y;
        tb_DisposeBitmap(target);
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(CopyTest, TrimmedCopyTakesTheMatchingPartOfTheSource) {
    const int block = create(50, 50);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) tb_SetPixel(block, x, y, x * 255, y * 255, 7 * 255);
    }
    const int target = create(300, 300);
    const Rect clip{100, 100, 200, 200};
    tb_SetClipRect(target, &clip);
    Rect from{0, 0, 50, 50};
    Rect to{80, 170, 130, 220};
    tb_CopyBitmap(block, target, &from, &to, 0);
    // Destination (100, 170) shows source (20, 0); (129, 199) shows (49, 29).
    EXPECT_EQ(at(target, 100, 170), (Rgb{20, 0, 7}));
    EXPECT_EQ(at(target, 129, 199), (Rgb{49, 29, 7}));
    EXPECT_EQ(at(target, 99, 170), kBlack);
    EXPECT_EQ(at(target, 129, 200), kBlack);
}

TEST_F(CopyTest, ClipInstalledByACopyStaysInForceUntilCleared) {
    // tb_CopyBitmapBits honours only a clip already in force, so it shows when one is.
    const int white = create(40, 40);
    fill(white, kWhite);
    Rect all{0, 0, 40, 40};
    const Rect clip{10, 10, 20, 20};
    const int target = create(40, 40);

    tb_SetClipRect(target, &clip);
    tb_CopyBitmapBits(white, target, &all, &all, 0);
    EXPECT_EQ(extentOf(target, kWhite), all) << "a stored clip alone does not clip";

    fill(target, kBlack);
    Rect tiny{0, 0, 1, 1};
    tb_CopyBitmap(white, target, &tiny, &tiny, 0);  // skipped by the clip, but installs it
    EXPECT_EQ(extentOf(target, kWhite), Rect{});
    tb_CopyBitmapBits(white, target, &all, &all, 0);
    EXPECT_EQ(extentOf(target, kWhite), clip);

    fill(target, kBlack);
    tb_SetClipRect(target, &all);  // setting clears what is in force until the next copy
    tb_CopyBitmapBits(white, target, &all, &all, 0);
    EXPECT_EQ(extentOf(target, kWhite), all);

    fill(target, kBlack);
    tb_SetClipRect(target, &clip);
    tb_CopyBitmap(white, target, &tiny, &tiny, 0);
    tb_ClearClipRect(target);
    tb_CopyBitmapBits(white, target, &all, &all, 0);
    EXPECT_EQ(extentOf(target, kWhite), all);
}

TEST_F(CopyTest, PaintingAfterACopyKeepsInsideTheClipUntilItIsCleared) {
    const int source = create(10, 10);
    const int target = create(40, 40);
    const Rect clip{10, 10, 20, 20};
    Rect whole{0, 0, 40, 40};
    tb_SetForeColor(target, 65025, 65025, 65025);

    tb_SetClipRect(target, &clip);
    tb_PaintRect(target, &whole);  // no copy yet: the stored clip alone does not limit drawing
    EXPECT_EQ(extentOf(target, kWhite), whole);

    fill(target, kBlack);
    Rect small{0, 0, 10, 10};
    Rect inside{12, 12, 22, 22};
    tb_CopyBitmap(source, target, &small, &inside, 0);
    tb_PaintRect(target, &whole);
    EXPECT_EQ(extentOf(target, kWhite), clip);

    fill(target, kBlack);
    tb_ClearClipRect(target);
    tb_PaintRect(target, &whole);
    EXPECT_EQ(extentOf(target, kWhite), whole);
}

TEST_F(CopyTest, StoredClipBelongsToTheSlotButTheClipInForceGoesWithTheBitmap) {
    const int white = create(40, 40);
    fill(white, kWhite);
    Rect all{0, 0, 40, 40};
    const Rect clip{10, 10, 30, 30};
    const int first = create(40, 40);
    tb_SetClipRect(first, &clip);
    tb_CopyBitmap(white, first, &all, &all, 0);
    EXPECT_EQ(extentOf(first, kWhite), clip);
    tb_DisposeBitmap(first);

    const int second = create(40, 40);
    ASSERT_EQ(second, first);
    tb_CopyBitmapBits(white, second, &all, &all, 0);
    EXPECT_EQ(extentOf(second, kWhite), all) << "no clip in force on a new bitmap";
    fill(second, kBlack);
    tb_CopyBitmap(white, second, &all, &all, 0);
    EXPECT_EQ(extentOf(second, kWhite), clip) << "the stored clip is still the slot's";
}

TEST_F(CopyTest, ClipOfAFreeSlotCanBeSetAndIsFoundByItsNextBitmap) {
    const Rect clip{10, 10, 30, 30};
    tb_SetClipRect(5, &clip);
    EXPECT_TRUE(errors().empty());
    for (int i = 0; i < 6; ++i) create(40, 40);
    const int white = create(40, 40);
    fill(white, kWhite);
    Rect all{0, 0, 40, 40};
    tb_CopyBitmap(white, 5, &all, &all, 0);
    EXPECT_EQ(extentOf(5, kWhite), clip);
    tb_SetClipRect(-1, &clip);
    tb_SetClipRect(100, &clip);
    tb_ClearClipRect(5003);
    EXPECT_TRUE(errors().empty());
}

TEST_F(CopyTest, StretchSamplesThePixelUnderEachDestinationCentre) {
    // Source columns hold 10, 20, 30, ... in red.
    struct Case {
        int srcWidth, dstWidth;
        std::vector<int> reds;  // of the destination row, left to right
    };
    const Case cases[] = {
        {2, 4, {10, 10, 20, 20}},
        {3, 2, {10, 30}},
        {4, 2, {20, 40}},
        {2, 5, {10, 10, 20, 20, 20}},
        {5, 3, {10, 30, 50}},
        {3, 7, {10, 10, 20, 20, 20, 30, 30}},
    };
    for (const Case& c : cases) {
        const int source = create(c.srcWidth, 1);
        for (int x = 0; x < c.srcWidth; ++x) tb_SetPixel(source, x, 0, (x + 1) * 10 * 255, 0, 0);
        const int target = create(c.dstWidth, 1);
        Rect from{0, 0, c.srcWidth, 1};
        Rect to{0, 0, c.dstWidth, 1};
        tb_CopyBitmap(source, target, &from, &to, 0);
        std::vector<int> reds;
        for (int x = 0; x < c.dstWidth; ++x) reds.push_back(at(target, x, 0).r);
        EXPECT_EQ(reds, c.reds) << c.srcWidth << " -> " << c.dstWidth;
        tb_DisposeBitmap(source);
        tb_DisposeBitmap(target);
    }
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
        const int source = create(sw, sh, depth);
        const int target = create(dw, dh);
        const PixelView s = view(source);
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw * (depth / 8); ++x) RowPointer(s, y)[x] = uint8_t(pick(0, 255));
        }
        fill(target, Rgb{1, 2, 3});
        const Rect from{pick(-5, sw), pick(-5, sh), 0, 0};
        const Rect srcRect{from.left, from.top, from.left + pick(1, 40), from.top + pick(1, 40)};
        const Rect dstRect{pick(-10, dw), pick(-10, dh), 0, 0};
        Rect to{dstRect.left, dstRect.top, dstRect.left + pick(1, 60), dstRect.top + pick(1, 60)};
        if (to.width() == srcRect.width()) ++to.right;  // equal sizes would not stretch
        const bool clipped = round % 2 == 1;
        const Rect clip{pick(0, dw), pick(0, dh), pick(0, dw + 3), pick(0, dh + 3)};
        // The slot keeps the clip of an earlier round's bitmap, so always say which.
        if (clipped) {
            tb_SetClipRect(target, &clip);
        } else {
            tb_ClearClipRect(target);
        }

        tb_CopyBitmap(source, target, &srcRect, &to, 0);

        const PixelView d = view(target);
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) {
                Rgb expected{1, 2, 3};
                const bool inClip = !clipped || (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom);
                if (inClip && x >= to.left && x < to.right && y >= to.top && y < to.bottom) {
                    const int sx = int(std::floor(srcRect.left + (x - to.left + 0.5) * srcRect.width() / to.width()));
                    const int sy = int(std::floor(srcRect.top + (y - to.top + 0.5) * srcRect.height() / to.height()));
                    if (sx >= 0 && sx < sw && sy >= 0 && sy < sh) {
                        int r, g, b;
                        tb_GetPixel(source, sx, sy, &r, &g, &b);
                        expected = Rgb{uint8_t(r / 255), uint8_t(g / 255), uint8_t(b / 255)};
                    }
                }
                ASSERT_EQ(ViewPixel(d, x, y), expected)
                    << "round " << round << " at " << x << "," << y << " depth " << depth;
            }
        }
        tb_DisposeBitmap(source);
        tb_DisposeBitmap(target);
    }
}

TEST_F(CopyTest, MaskIsOredThenImageAndedBytewise) {
    struct Case {
        uint8_t destination, mask, image, expected;
    };
    const Case cases[] = {
        {0x5A, 0x00, 0xFF, 0x5A},  // black mask, white image: destination shows through
        {0x5A, 0xFF, 0x3C, 0x3C},  // white mask: the image replaces the destination
        {0x5A, 0xFF, 0xFF, 0xFF},
        {0x5A, 0x00, 0x3C, 0x18},  // black mask, coloured image: their AND
        {0x0F, 0xF0, 0x3C, 0x3C},
        {0x00, 0x0F, 0xF3, 0x03},
    };
    for (const Case& c : cases) {
        for (int maskDepth : {8, 24}) {
            const int destination = create(3, 2);
            const int mask = create(3, 2, maskDepth);
            const int image = create(3, 2);
            fill(destination, Rgb{c.destination, c.destination, c.destination});
            for (int y = 0; y < 2; ++y) {
                for (int x = 0; x < 3; ++x) tb_SetPixel(mask, x, y, c.mask * 255, c.mask * 255, c.mask * 255);
            }
            fill(image, Rgb{c.image, c.image, c.image});
            Rect r{0, 0, 3, 2};
            tb_CopyMaskedBitmap(image, mask, destination, &r, &r, &r);
            EXPECT_EQ(at(destination, 2, 1), (Rgb{c.expected, c.expected, c.expected}))
                << int(c.destination) << " " << int(c.mask) << " " << int(c.image) << " mask depth " << maskDepth;
            tb_DisposeBitmap(destination);
            tb_DisposeBitmap(mask);
            tb_DisposeBitmap(image);
        }
    }
}

TEST_F(CopyTest, MaskedCopyStretchesBothAndHonoursTheClip) {
    // A 2 x 2 image and mask: only the top-left quarter shows, in red.
    const int image = create(2, 2);
    const int mask = create(2, 2, 8);
    fill(image, kWhite);
    tb_SetPixel(image, 0, 0, 65025, 0, 0);
    tb_SetPixel(mask, 0, 0, 65025, 65025, 65025);
    const int destination = create(20, 20);
    fill(destination, Rgb{0, 0, 200});
    const Rect clip{0, 0, 20, 3};
    tb_SetClipRect(destination, &clip);
    Rect small{0, 0, 2, 2};
    Rect big{2, 2, 10, 10};
    tb_CopyMaskedBitmap(image, mask, destination, &small, &small, &big);
    EXPECT_EQ(extentOf(destination, Rgb{255, 0, 0}), (Rect{2, 2, 6, 3}));
    EXPECT_EQ(at(destination, 7, 2), (Rgb{0, 0, 200}));
    EXPECT_EQ(at(destination, 3, 3), (Rgb{0, 0, 200}));
    EXPECT_TRUE(errors().empty());
    tb_CopyMaskedBitmap(image, mask, -1, &small, &small, &big);
    tb_CopyMaskedBitmap(image, 77, destination, &small, &small, &big);
    EXPECT_TRUE(errors().empty()) << "masked copies validate nothing and report nothing";
}

TEST_F(CopyTest, EightBitSourcesGoThroughTheirOwnColourTable) {
    const int indexed = create(3, 1, 8);
    PixelView v = view(indexed);
    // A table that is not the grey ramp: entry 7 is orange, entry 200 dark blue.
    uint8_t* table = v.colorTable;
    table[7 * 4 + 0] = 0;
    table[7 * 4 + 1] = 128;
    table[7 * 4 + 2] = 255;
    table[200 * 4 + 0] = 90;
    table[200 * 4 + 1] = 10;
    table[200 * 4 + 2] = 0;
    RowPointer(v, 0)[0] = 7;
    RowPointer(v, 0)[1] = 200;
    RowPointer(v, 0)[2] = 255;
    const int colour = create(3, 1);
    Rect r{0, 0, 3, 1};
    tb_CopyBitmap(indexed, colour, &r, &r, 0);
    EXPECT_EQ(at(colour, 0, 0), (Rgb{255, 128, 0}));
    EXPECT_EQ(at(colour, 1, 0), (Rgb{0, 10, 90}));
    EXPECT_EQ(at(colour, 2, 0), kWhite);

    // Into another 8-bit bitmap (a grey ramp) each colour becomes the nearest grey.
    const int grey = create(3, 1, 8);
    tb_CopyBitmap(indexed, grey, &r, &r, 0);
    const PixelView g = view(grey);
    EXPECT_EQ(RowPointer(g, 0)[0], 128);  // nearest grey to (255, 128, 0)
    EXPECT_EQ(RowPointer(g, 0)[1], 33);   // to (0, 10, 90)
    EXPECT_EQ(RowPointer(g, 0)[2], 255);

    // Colour into 8 bits takes the nearest entry of the destination's table.
    tb_SetPixel(colour, 0, 0, 60 * 255, 61 * 255, 59 * 255);
    tb_CopyBitmap(colour, grey, &r, &r, 0);
    EXPECT_EQ(RowPointer(g, 0)[0], 60);
}

TEST_F(CopyTest, CopiesIntoAWindowDrawIntoItsBackingStoreAndPresentTheChange) {
    const int window = openWindow(60, 40);
    const int block = create(10, 10);
    fill(block, Rgb{9, 8, 7});
    desktop().clearRecords();
    Rect from{0, 0, 10, 10};
    Rect to{55, 5, 65, 15};
    tb_CopyBitmap(block, window, &from, &to, 0);
    const PixelView store = platform::Plat().backingStore(tb_GetWindowHandle(window));
    EXPECT_EQ(ViewPixel(store, 55, 5), (Rgb{9, 8, 7}));
    EXPECT_EQ(ViewPixel(store, 59, 14), (Rgb{9, 8, 7}));
    EXPECT_EQ(ViewPixel(store, 54, 5), kBlack);
    ASSERT_FALSE(desktop().presented().empty());
    EXPECT_EQ(desktop().presented().back(), (Rect{55, 5, 60, 15}));

    // And back out of the window, stretched to twice the size.
    const int back = create(10, 10);
    Rect windowPart{55, 5, 60, 15};
    Rect twice{0, 0, 10, 20};
    tb_CopyBitmap(window, back, &windowPart, &twice, 0);
    EXPECT_EQ(extentOf(back, Rgb{9, 8, 7}), (Rect{0, 0, 10, 10}));
}

TEST_F(CopyTest, CopyBitmapBitsStretchesIntoAWindowWithoutItsClip) {
    const int window = openWindow(40, 40);
    const Rect clip{0, 0, 5, 5};
    tb_SetClipRect(window, &clip);
    const int picture = create(2, 2);
    fill(picture, Rgb{0, 200, 0});
    Rect from{0, 0, 2, 2};
    Rect to{10, 10, 30, 30};
    tb_CopyBitmapBits(picture, window, &from, &to, 0);
    const PixelView store = platform::Plat().backingStore(tb_GetWindowHandle(window));
    EXPECT_EQ(ViewPixel(store, 10, 10), (Rgb{0, 200, 0}));
    EXPECT_EQ(ViewPixel(store, 29, 29), (Rgb{0, 200, 0}));
    EXPECT_EQ(ViewPixel(store, 30, 30), kBlack);
    EXPECT_EQ(desktop().presented().back(), to);
}

TEST_F(CopyTest, CopyBitmapBitsIntoABitmapNeitherStretchesNorUsesTheStoredClip) {
    const int picture = create(4, 4);
    fill(picture, kWhite);
    const int target = create(20, 20);
    const Rect clip{0, 0, 1, 1};
    tb_SetClipRect(target, &clip);
    Rect from{0, 0, 4, 4};
    Rect to{3, 3, 19, 19};
    tb_CopyBitmapBits(picture, target, &from, &to, 0);
    EXPECT_EQ(extentOf(target, kWhite), (Rect{3, 3, 7, 7}));
}

TEST_F(CopyTest, CopiesToThePrinterPageDoNothingWhileNoDocumentIsOpen) {
    const int picture = create(4, 4);
    Rect r{0, 0, 4, 4};
    Rect big{0, 0, 8, 8};
    tb_CopyBitmap(picture, kPrinterHandle, &r, &r, 0);
    tb_CopyBitmap(picture, kPrinterHandle, &r, &big, 0);
    tb_CopyBitmapBits(picture, kPrinterHandle, &r, &big, 0);
    EXPECT_TRUE(errors().empty());
    toolbox::Target page;
    EXPECT_FALSE(toolbox::ResolveTarget(kPrinterHandle, page));
}

TEST_F(CopyTest, CopyToDialogTakesTheSourceRectFromTheTopOfThePicture) {
    const platform::NativeWindow dialog = desktop().createWindow(Rect{0, 0, 30, 20}, "", QuietProc);
    const int picture = create(4, 3);
    for (int x = 0; x < 4; ++x) {
        tb_SetPixel(picture, x, 0, 65025, 0, 0);  // top row red
        tb_SetPixel(picture, x, 2, 0, 0, 65025);  // bottom row blue
    }
    Rect topRow{0, 0, 4, 1};
    Rect to{1, 1, 9, 3};
    tb_CopyBitmapToDialog(dialog, picture, &topRow, &to);
    const PixelView store = platform::Plat().backingStore(dialog);
    EXPECT_EQ(ViewPixel(store, 1, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(ViewPixel(store, 8, 2), (Rgb{255, 0, 0}));
    EXPECT_EQ(ViewPixel(store, 9, 2), kBlack);
    EXPECT_EQ(desktop().presented().back(), to);
    EXPECT_TRUE(errors().empty());

    tb_CopyBitmapToDialog(dialog, 42, &topRow, &to);
    tb_CopyBitmapToDialog(0, picture, &topRow, &to);
    const std::vector<std::string> expected(2, "Failed to copy Keyboard Image");
    EXPECT_EQ(errors(), expected);
}

TEST_F(CopyTest, CopyOntoItselfUpOrDownReadsTheOriginalRows) {
    const int picture = create(1, 6);
    for (int y = 0; y < 6; ++y) tb_SetPixel(picture, 0, y, (y + 1) * 255, 0, 0);
    Rect upper{0, 0, 1, 4};
    Rect lower{0, 2, 1, 6};
    tb_CopyBitmap(picture, picture, &upper, &lower, 0);
    std::vector<int> reds;
    for (int y = 0; y < 6; ++y) reds.push_back(at(picture, 0, y).r);
    EXPECT_EQ(reds, (std::vector<int>{1, 2, 1, 2, 3, 4}));
    tb_CopyBitmap(picture, picture, &lower, &upper, 0);
    reds.clear();
    for (int y = 0; y < 6; ++y) reds.push_back(at(picture, 0, y).r);
    EXPECT_EQ(reds, (std::vector<int>{1, 2, 3, 4, 3, 4}));
}

TEST_F(CopyTest, CopyOntoItselfReadsTheOriginalPixels) {
    const int picture = create(6, 1);
    for (int x = 0; x < 6; ++x) tb_SetPixel(picture, x, 0, (x + 1) * 255, 0, 0);
    Rect from{0, 0, 4, 1};
    Rect to{2, 0, 6, 1};
    tb_CopyBitmap(picture, picture, &from, &to, 0);
    std::vector<int> reds;
    for (int x = 0; x < 6; ++x) reds.push_back(at(picture, x, 0).r);
    EXPECT_EQ(reds, (std::vector<int>{1, 2, 1, 2, 3, 4}));
}
