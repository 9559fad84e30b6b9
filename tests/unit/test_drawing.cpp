// Drawing through the toolbox: the figures' pixels, clips in force, the reported failures, and
// pictures placed or tiled from resources; the window table and the pointer.
#include "platform/raster/shapes.h"
#include "tests/unit/test_drawing_support.h"

using drawtest::Filled;

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF;

using Drawing = ToolboxTest;
using Windows = ToolboxTest;

}  // namespace

TEST_F(Drawing, InvalidTargetsAreReportedWithEachOperationsOwnText) {
    const int freed = create(4, 4);
    tb_DisposeBitmap(freed);
    const Rect r{0, 0, 2, 2};
    // Handles free, below and above the bitmap table, and below the windows.
    for (auto [figure, handle] : {std::pair{&tb_PaintRect, freed}, {&tb_FrameRect, -1}, {&tb_PaintEllipse, 100},
                                  {&tb_FrameEllipse, 4999}})
        figure(handle, &r);
    tb_FloodFill(freed, 0, 0, 0, 0, 0);
    tb_Line(-1, 0, 0, 5, 5, 1);
    tb_SetForeColor(100, 0, 0, 0);
    tb_SetBackColor(4999, 0, 0, 0);
    tb_DrawPictureToBitmap(freed, 149, 0, 0, nullptr);
    // A window that is not open: the colour calls say so, the figures draw nowhere in silence.
    for (auto setColour : {tb_SetForeColor, tb_SetBackColor}) setColour(5003, 0, 0, 0);
    tb_PaintRect(5003, &r);
    tb_Line(5003, 0, 0, 9, 9, 4);
    // The printer page keeps colours even without a document; figures on it have no context.
    tb_SetForeColor(kPrinterHandle, 65025, 0, 0);
    tb_Line(kPrinterHandle, 0, 0, 9, 9, 1);
    tb_PaintRect(kPrinterHandle, &r);
    EXPECT_EQ(toolbox::PrinterDrawState().fore.red, 255);
    EXPECT_EQ(errors(), (std::vector<std::string>{
                            "Invalid bitmap! (tb_PaintRect)", "Invalid bitmap! (tb_FrameRect)",
                            "Invalid bitmap! (tb_PaintEllipse)", "Invalid bitmap! (tb_FrameRect)",
                            "Invalid bitmap! (tb_PaintRect)", "Invalid bitmap! (tb_Line)",
                            "Invalid bitmap! (tb_SetForeColor)", "Invalid bitmap! (tb_SetBackColor)",
                            "Invalid destination bitmap! (tb_DrawPictureToBitmap)", "Invalid window! (tb_SetForeColor)",
                            "Invalid window! (tb_SetBackColor)", "Bitmap does not have a DC! (tb_PaintRect)"}));
}

TEST_F(Drawing, FiguresMatchTheirSpansWhicheverWayTheCornersCome) {
    const Rect box{3, 4, 27, 19}, swapped{27, 19, 3, 4};
    using Spans = void (*)(const Rect&, const Rect&, raster::SpanList&);
    const std::pair<void (*)(int, const Rect*), Spans> figures[] = {
        {tb_PaintRect, raster::RectSpans}, {tb_FrameRect, raster::FrameRectSpans},
        {tb_PaintEllipse, raster::EllipseSpans}, {tb_FrameEllipse, raster::FrameEllipseSpans}};
    // The fore colour belongs to the slot: set once, it serves every bitmap made in slot 0.
    tb_SetForeColor(create(1, 1), 65025, 65025, 65025);
    tb_DisposeBitmap(0);
    for (const auto& [draw, make] : figures) {
        raster::SpanList spans;
        make(box, Rect{0, 0, 30, 30}, spans);
        for (const Rect& r : {box, swapped}) {
            ASSERT_EQ(create(30, 30), 0);
            draw(0, &r);
            EXPECT_EQ(where(0, kWhite), drawtest::PixelsOf(spans));
            tb_DisposeBitmap(0);
        }
    }
}

TEST_F(Drawing, ClipRectTakesEffectOnlyOnceACopyOrALinePutsItInForce) {
    const int bitmap = create(40, 40);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    const Rect clip{10, 10, 30, 30}, outside{0, 0, 5, 5}, across{0, 0, 40, 40}, corner{35, 35, 40, 40};
    tb_SetClipRect(bitmap, &clip);
    tb_PaintRect(bitmap, &outside);  // the clip is only stored so far
    tb_Line(bitmap, 0, 20, 40, 20, 1);  // puts it in force and is clipped by it
    EXPECT_EQ(where(bitmap, kWhite).size(), 25u + 20);  // the rect outside and the line inside
    EXPECT_EQ(drawtest::CropTo(where(bitmap, kWhite), clip), Filled(Rect{10, 20, 30, 21}));
    tb_SetForeColor(bitmap, 65025, 0, 0);
    tb_PaintRect(bitmap, &across);  // stays in force for every later figure
    EXPECT_EQ(where(bitmap, kRed), Filled(clip));
    tb_ClearClipRect(bitmap);
    tb_PaintRect(bitmap, &corner);
    EXPECT_EQ(at(bitmap, 39, 39), kRed);  // a copy puts the clip in force too: the copy tests
}

TEST_F(Drawing, FloodFillReplacesExactlyTheGivenColourWithinTheClipInForce) {
    const int bitmap = create(30, 30);
    fill(bitmap, kWhite);
    tb_Line(bitmap, 15, 0, 15, 30, 1);  // black: splits the picture in two
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
    EXPECT_EQ(where(bitmap, kBlue), Filled(clip));
    EXPECT_TRUE(errors().empty());
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

TEST_F(Drawing, PicturesArePlacedOrTiledFromTheirResource) {
    Rect size{};
    const int picture = tb_CreateBitmap(&size, 149, 24);
    const int tw = size.right, th = size.bottom;
    const int placedInto = create(100, 60);
    Rect placed{};
    tb_DrawPictureToBitmap(placedInto, 149, 30, 20, &placed);
    EXPECT_EQ(placed, (Rect{30, 20, 30 + tw, 20 + th}));
    EXPECT_EQ(at(placedInto, 30 + tw - 1, 20 + th - 1), at(picture, tw - 1, th - 1));

    // Tiles from the corner over the size of the rect (not its place), cut by the bitmap's edge.
    const int tiled = create(90, 50);
    ASSERT_EQ(tiled, placedInto + 1);  // the placed picture's temporary bitmap was given back
    const Rect area{7, 9, 7 + 100, 9 + 40};
    tb_TileBitmap(tiled, 149, &area);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 90; ++x) ASSERT_EQ(at(tiled, x, y), y < 40 ? at(picture, x % tw, y % th) : kBlack) << x << y;
    EXPECT_EQ(create(1, 1), tiled + 1);  // no temporary bitmap is left behind
    EXPECT_TRUE(errors().empty());
}

TEST_F(Windows, HandlesRunFrom5000AndTheEleventhFailsAndBadHandlesAreReported) {
    for (int i = 0; i < 10; ++i) EXPECT_EQ(openWindow(200, 100), 5000 + i);
    EXPECT_EQ(openWindow(200, 100), -1);
    EXPECT_EQ(desktop().windowCount(), 10);
    EXPECT_EQ(tb_GetMainWindow(), tb_GetWindowHandle(5000));  // the first one opened
    Rect client, r{7, 7, 7, 7};
    tb_GetClientRect(5009, &client);
    EXPECT_EQ(client, (Rect{0, 0, 200, 100}));
    tb_GetClientRect(4999, &r);
    EXPECT_EQ(r, (Rect{7, 7, 7, 7}));
    EXPECT_EQ(tb_GetWindowHandle(5010), 0);
    EXPECT_EQ(tb_DoDialog(4242, QuietProc), -1);  // no such dialog
    EXPECT_EQ(errors(), (std::vector<std::string>{"No more available Windows! (tb_OpenWindow)",
                                                  "Invalid window! (tb_GetClientRect)"}));
}

TEST_F(Windows, PointerPositionsAreInTheMainWindowsClientAreaAndButtonsHonourTheSwap) {
    Rect frame{100, 50, 300, 150};
    tb_OpenWindow(&frame, "w");
    tb_SetMouseMode(kMouseModeClient);  // the client area starts at screen (100, 50)
    tb_SetMousePosition(10, 10);
    EXPECT_EQ(desktop().cursorPos(), (Point{110, 60}));
    desktop().setCursorPos(Point{120, 90});
    Point p;
    tb_GetMousePosition(&p);
    EXPECT_EQ(p, (Point{20, 40}));
    // In the program's button mode the primary button counts: the right one when they are swapped.
    const struct { bool swapped, left, right; int expected; } cases[] = {
        {false, true, false, 1}, {true, false, true, 1}, {true, true, false, 0}};
    for (const auto& c : cases) {
        desktop().setButtonsSwapped(c.swapped);
        desktop().setButtonState(platform::MouseButton::Left, c.left);
        desktop().setButtonState(platform::MouseButton::Right, c.right);
        EXPECT_EQ(tb_Button(), c.expected) << c.swapped << c.left << c.right;
    }
}
