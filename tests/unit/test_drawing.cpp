// Drawing through the toolbox: colours per target, the primitives' pixels, clips in force,
// the reported failures, and pictures placed or tiled from resources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/raster/shapes.h"
#include "tests/support/headless_fixture.h"
#include "tests/unit/test_drawing_support.h"
#include "toolbox/internal.h"

using drawtest::PixelSet;
using drawtest::PixelsOf;
using drawtest::PixelsWhere;

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000;

long QuietProc(platform::Message& msg) { return platform::Plat().defWindowProc(msg); }

class Drawing : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_RegisterWindowClass(QuietProc, 0);
        tb_Init();
        toolbox::ResetRegionTable();
        desktop().clearRecords();
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
    uint32_t at(int handle, int x, int y) { return raster::PixelAt(view(handle), x, y); }
    // The pixels of the whole target that have this value.
    PixelSet where(int handle, uint32_t value) {
        const PixelView v = view(handle);
        return PixelsWhere(Rect{0, 0, v.width, v.height},
                           [&](int32_t x, int32_t y) { return raster::PixelAt(v, x, y) == value; });
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_->messageBoxes()) texts.push_back(box.text);
        return texts;
    }
};

PixelSet Filled(const Rect& r) { return PixelsWhere(r, [](int32_t, int32_t) { return true; }); }

}  // namespace

TEST_F(Drawing, PaintRectFillsUpToButNotIncludingRightAndBottom) {
    const int bitmap = create(20, 20);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    const Rect r{0, 0, 10, 10};
    tb_PaintRect(bitmap, &r);
    EXPECT_EQ(where(bitmap, kWhite), Filled(r));
    EXPECT_TRUE(messages().empty());
}

TEST_F(Drawing, ColoursBelongToEachTargetSlot) {
    const int a = create(4, 4), b = create(4, 4);
    tb_SetForeColor(a, 65025, 0, 0);
    tb_SetForeColor(b, 0, 58000, 0);
    tb_SetBackColor(a, 0, 0, 65025);
    const Rect r{0, 0, 4, 4};
    tb_PaintRect(a, &r);
    tb_PaintRect(b, &r);
    EXPECT_EQ(at(a, 1, 1), kRed);
    EXPECT_EQ(at(b, 1, 1), 0x00E300u);  // 58000 is green 227
    // The colour stays with the slot when the bitmap in it is replaced.
    tb_DisposeBitmap(b);
    const int again = create(4, 4);
    ASSERT_EQ(again, b);
    tb_PaintRect(again, &r);
    EXPECT_EQ(at(again, 3, 3), 0x00E300u);
}

TEST_F(Drawing, InvalidTargetsAreReportedWithEachOperationsOwnText) {
    const int freed = create(4, 4);
    tb_DisposeBitmap(freed);
    const Rect r{0, 0, 2, 2};
    const struct {
        const char* name;
        void (*draw)(int handle, const Rect* r);
        const char* text;  // the operation named in the message
    } operations[] = {
        {"PaintRect", [](int h, const Rect* rr) { tb_PaintRect(h, rr); }, "tb_PaintRect"},
        {"FrameRect", [](int h, const Rect* rr) { tb_FrameRect(h, rr); }, "tb_FrameRect"},
        {"PaintEllipse", [](int h, const Rect* rr) { tb_PaintEllipse(h, rr); }, "tb_PaintEllipse"},
        {"FrameEllipse", [](int h, const Rect* rr) { tb_FrameEllipse(h, rr); }, "tb_FrameRect"},
        {"Rectangle", [](int h, const Rect* rr) { tb_Rectangle(h, rr); }, "tb_Rectangle"},
        {"FloodFill", [](int h, const Rect*) { tb_FloodFill(h, 0, 0, 0, 0, 0); }, "tb_PaintRect"},
        {"PaintRegion", [](int h, const Rect*) { tb_PaintRegion(h, 0); }, "tb_PaintRegion"},
        {"Line", [](int h, const Rect*) { tb_Line(h, 0, 0, 5, 5, 1); }, "tb_Line"},
        {"SetForeColor", [](int h, const Rect*) { tb_SetForeColor(h, 0, 0, 0); }, "tb_SetForeColor"},
        {"SetBackColor", [](int h, const Rect*) { tb_SetBackColor(h, 0, 0, 0); }, "tb_SetBackColor"},
        {"DrawPictureToBitmap", [](int h, const Rect*) { tb_DrawPictureToBitmap(h, 149, 0, 0, nullptr); },
         "tb_DrawPictureToBitmap"},
    };
    for (const auto& op : operations) {
        for (int handle : {freed, -1, 100, 4999}) {
            desktop().clearRecords();
            op.draw(handle, &r);
            const std::string prefix = op.text == std::string("tb_DrawPictureToBitmap") ? "Invalid destination bitmap! ("
                                                                                        : "Invalid bitmap! (";
            EXPECT_EQ(messages(), std::vector<std::string>{prefix + op.text + ")"}) << op.name << " on " << handle;
        }
    }
    // A window that is not open: the colour calls say so, the figures draw nowhere in silence.
    desktop().clearRecords();
    tb_SetForeColor(5003, 0, 0, 0);
    tb_SetBackColor(5003, 0, 0, 0);
    tb_PaintRect(5003, &r);
    tb_Line(5003, 0, 0, 9, 9, 4);
    const std::vector<std::string> windowTexts = {"Invalid window! (tb_SetForeColor)", "Invalid window! (tb_SetBackColor)"};
    EXPECT_EQ(messages(), windowTexts);
    // The printer page keeps colours even without a document; figures on it have no context.
    desktop().clearRecords();
    tb_SetForeColor(kPrinterHandle, 65025, 0, 0);
    tb_Line(kPrinterHandle, 0, 0, 9, 9, 1);
    EXPECT_TRUE(messages().empty());
    tb_PaintRect(kPrinterHandle, &r);
    EXPECT_EQ(messages(), std::vector<std::string>{"Bitmap does not have a DC! (tb_PaintRect)"});
    EXPECT_EQ(toolbox::PrinterDrawState().fore.red, 255);
}

TEST_F(Drawing, FiguresMatchTheirSpansAndIgnoreTheOrderOfCorners) {
    const Rect box{3, 4, 27, 19};
    const Rect swapped{27, 19, 3, 4};
    const struct {
        const char* name;
        void (*draw)(int, const Rect*);
        void (*spans)(const Rect&, const Rect&, raster::SpanList&);
    } figures[] = {
        {"PaintRect", tb_PaintRect, raster::RectSpans},
        {"FrameRect", tb_FrameRect, raster::FrameRectSpans},
        {"PaintEllipse", tb_PaintEllipse, raster::EllipseSpans},
        {"FrameEllipse", tb_FrameEllipse, raster::FrameEllipseSpans},
    };
    for (const auto& f : figures) {
        raster::SpanList spans;
        f.spans(box, Rect{0, 0, 30, 30}, spans);
        for (const Rect& r : {box, swapped}) {
            const int bitmap = create(30, 30);
            tb_SetForeColor(bitmap, 65025, 65025, 65025);
            f.draw(bitmap, &r);
            EXPECT_EQ(where(bitmap, kWhite), PixelsOf(spans)) << f.name;
            tb_DisposeBitmap(bitmap);
        }
    }
}

TEST_F(Drawing, RectangleIsBlackWhateverTheForeColour) {
    const int bitmap = create(10, 10);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    const Rect all{0, 0, 10, 10}, part{2, 2, 5, 6};
    tb_PaintRect(bitmap, &all);
    tb_Rectangle(bitmap, &part);
    EXPECT_EQ(where(bitmap, kBlack), Filled(part));
}

TEST_F(Drawing, ThinLineSetsItsPixelsButNotTheEndPoint) {
    const int bitmap = create(100, 100);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    tb_Line(bitmap, 6, 52, 89, 52, 1);
    EXPECT_EQ(where(bitmap, kWhite), Filled(Rect{6, 52, 89, 53}));
}

TEST_F(Drawing, ClipRectTakesEffectOnlyOnceACopyOrALinePutsItInForce) {
    const int bitmap = create(40, 40), source = create(5, 5);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    const Rect clip{10, 10, 30, 30}, outside{0, 0, 5, 5}, across{0, 0, 40, 40}, corner{35, 35, 40, 40};
    tb_SetClipRect(bitmap, &clip);
    tb_PaintRect(bitmap, &outside);  // the clip is only stored so far
    EXPECT_EQ(at(bitmap, 1, 1), kWhite);

    tb_Line(bitmap, 0, 20, 40, 20, 1);  // puts it in force and is clipped by it
    EXPECT_EQ(where(bitmap, kWhite), [&] {
        PixelSet s = Filled(outside);
        for (const auto& p : Filled(Rect{10, 20, 30, 21})) s.insert(p);
        return s;
    }());
    tb_SetForeColor(bitmap, 65025, 0, 0);
    tb_PaintRect(bitmap, &across);  // stays in force for every later figure
    EXPECT_EQ(where(bitmap, kRed), Filled(clip));
    tb_ClearClipRect(bitmap);
    tb_PaintRect(bitmap, &corner);
    EXPECT_EQ(at(bitmap, 39, 39), kRed);

    // A copy puts the clip in force just the same.
    tb_SetClipRect(bitmap, &clip);
    const Rect five{0, 0, 5, 5}, target{12, 12, 17, 17};
    tb_CopyBitmap(source, bitmap, &five, &target, 0);
    tb_SetForeColor(bitmap, 0, 0, 65025);
    tb_PaintRect(bitmap, &across);
    EXPECT_EQ(where(bitmap, 0x0000FF), Filled(clip));
}

TEST_F(Drawing, WideLineOnAWindowIsClippedButLeavesNoClipBehind) {
    Rect frame{0, 0, 60, 40};
    const int window = tb_OpenWindow(&frame, "w");
    ASSERT_EQ(window, kFirstWindowHandle);
    tb_SetForeColor(window, 65025, 65025, 65025);
    const Rect clip{0, 0, 30, 40};
    tb_SetClipRect(window, &clip);
    desktop().clearRecords();
    tb_Line(window, 5, 20, 55, 20, 6);
    toolbox::Target t;
    ASSERT_TRUE(toolbox::ResolveTarget(window, t));
    EXPECT_EQ(raster::PixelAt(t.view, 20, 20), kWhite);
    EXPECT_EQ(raster::PixelAt(t.view, 40, 20), kBlack);
    ASSERT_FALSE(desktop().presented().empty());
    EXPECT_EQ(desktop().presented().back(), (Rect{2, 17, 30, 23}));
    const Rect all{0, 0, 60, 40};
    tb_PaintRect(window, &all);
    EXPECT_EQ(raster::PixelAt(t.view, 50, 5), kWhite);
    EXPECT_EQ(desktop().presented().back(), all);
}

TEST_F(Drawing, FloodFillReplacesExactlyTheGivenColourWithinTheClipInForce) {
    const int bitmap = create(30, 30);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    const Rect all{0, 0, 30, 30};
    tb_PaintRect(bitmap, &all);
    tb_SetForeColor(bitmap, 0, 0, 0);
    tb_Line(bitmap, 15, 0, 15, 30, 1);  // splits the picture in two
    tb_SetForeColor(bitmap, 65025, 0, 0);
    tb_FloodFill(bitmap, 20, 20, 0, 65025, 0);  // the start is white, not green: nothing
    EXPECT_TRUE(where(bitmap, kRed).empty());
    tb_FloodFill(bitmap, 20, 20, 65025, 65025, 65025);
    EXPECT_EQ(where(bitmap, kRed), Filled(Rect{16, 0, 30, 30}));

    const Rect clip{0, 0, 10, 10};
    tb_SetClipRect(bitmap, &clip);
    tb_Line(bitmap, 0, 0, 0, 0, 1);
    tb_SetForeColor(bitmap, 0, 0, 65025);
    tb_FloodFill(bitmap, 2, 2, 65025, 65025, 65025);
    EXPECT_EQ(where(bitmap, 0x0000FF), Filled(clip));
    EXPECT_TRUE(messages().empty());
}

TEST_F(Drawing, EightBitBitmapsTakeTheNearestEntryOfTheirColourTable) {
    const int mask = create(8, 8, 8);
    const Rect all{0, 0, 8, 8}, part{0, 0, 4, 8};
    tb_SetForeColor(mask, 65025, 65025, 65025);
    tb_PaintRect(mask, &all);
    EXPECT_EQ(at(mask, 7, 7), 255u);
    tb_SetForeColor(mask, 3060, 3060, 2805);  // near grey 12
    tb_PaintEllipse(mask, &part);
    EXPECT_EQ(at(mask, 2, 4), 12u);
    tb_SetForeColor(mask, 0, 0, 0);
    tb_FloodFill(mask, 7, 0, 65025, 65025, 65025);
    EXPECT_EQ(at(mask, 7, 0), 0u);
    EXPECT_EQ(at(mask, 2, 4), 12u);
}

TEST_F(Drawing, DrawPictureToBitmapPlacesTheResourceAndReportsWhere) {
    const int bitmap = create(100, 60);
    Rect placed{};
    tb_DrawPictureToBitmap(bitmap, 149, 30, 20, &placed);
    Rect pictureRect{};
    const int picture = tb_CreateBitmap(&pictureRect, 149, 24);
    ASSERT_GE(picture, 0);
    EXPECT_EQ(placed, (Rect{30, 20, 30 + pictureRect.right, 20 + pictureRect.bottom}));
    for (int y = 0; y < pictureRect.bottom; ++y)
        for (int x = 0; x < pictureRect.right; ++x) ASSERT_EQ(at(bitmap, 30 + x, 20 + y), at(picture, x, y));
    EXPECT_EQ(picture, 1);  // the temporary bitmap was given back
    EXPECT_TRUE(messages().empty());
}

TEST_F(Drawing, TileBitmapRepeatsTheResourceFromTheCorner) {
    Rect tileRect{};
    const int tile = tb_CreateBitmap(&tileRect, 149, 24);
    ASSERT_GE(tile, 0);
    const int tw = tileRect.right, th = tileRect.bottom;
    const int bitmap = create(120, 50);
    const Rect area{7, 9, 7 + 100, 9 + 40};  // only the size counts: 100 x 40 from (0, 0)
    tb_TileBitmap(bitmap, 149, &area);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 120; ++x) {
            const uint32_t expected = x < 100 && y < 40 ? at(tile, x % tw, y % th) : kBlack;
            ASSERT_EQ(at(bitmap, x, y), expected) << x << "," << y;
        }
    }
    // A rect smaller than the tile draws nothing and keeps no bitmap.
    const int plain = create(20, 10);
    const Rect small{0, 0, tw - 1, th + 5};
    tb_TileBitmap(plain, 149, &small);
    EXPECT_TRUE(where(plain, kBlack).size() == 200u);
    EXPECT_EQ(create(1, 1), plain + 1);

    const Rect wanted{0, 0, 3 * tw + 5, th};
    const int tiled = tb_CreateTiledBitmap(&wanted, 149);
    ASSERT_GE(tiled, 0);
    EXPECT_EQ(at(tiled, 2 * tw + 3, th - 1), at(tile, 3, th - 1));
    EXPECT_TRUE(messages().empty());
}
