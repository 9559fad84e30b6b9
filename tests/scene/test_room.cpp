// The room on a headless desktop: layout, choosing tools, cans, hotspots, zoom, undo and display
// changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "tests/support/room_fixture.h"

using scene::TheRoom;

TEST_F(RoomTest, LayoutFollowsTheScreen) {
    struct Case {
        int w, h;
        Rect canvasArea;
        int pictureW, pictureH;
    };
    for (Case c : {Case{640, 480, {147, 16, 621, 384}, 474, 368}, Case{800, 600, {147, 16, 781, 504}, 634, 488},
                   Case{1024, 768, {147, 16, 1005, 672}, 858, 656}}) {
        start(c.w, c.h);
        EXPECT_EQ(TheRoom().canvasArea, c.canvasArea) << c.w;
        EXPECT_EQ(tb_GetBitmapWidth(TheRoom().canvas), c.pictureW) << c.w;
        EXPECT_EQ(tb_GetBitmapHeight(TheRoom().canvas), c.pictureH) << c.w;
        EXPECT_EQ(tb_GetBitmapWidth(TheRoom().sceneBuffer), c.w);
        // A fresh picture is white, and so is the frame's inside on screen.
        EXPECT_EQ(canvasAt(0, 0), kWhite);
        EXPECT_EQ(canvasAt(c.pictureW - 1, c.pictureH - 1), kWhite);
        EXPECT_EQ(shown(c.canvasArea.left, c.canvasArea.top), kWhite);
        EXPECT_EQ(shown(c.canvasArea.right - 1, c.canvasArea.bottom - 1), kWhite);
        EXPECT_NE(shown(c.canvasArea.right, c.canvasArea.top), kWhite) << "the frame's right post";
    }
}

TEST_F(RoomTest, PencilRectFollowsTheWindowHeight) {
    start(800, 600);
    EXPECT_EQ(TheRoom().objects[scene::kPencil].rect, (Rect{363, 564, 428, 578}));
    start(640, 480);
    EXPECT_EQ(TheRoom().objects[scene::kPencil].rect, (Rect{363, 444, 428, 458}));
}

TEST_F(RoomTest, ToolsAreChosenByTheirShapeAndOnlyOnTheirTray) {
    start();
    chooseTool(scene::kBrush);
    // Inside the Pencil's rectangle but above its slanted shape.
    clickAt(364, H() - 35);
    EXPECT_EQ(TheRoom().currentTool, scene::kBrush);
    // Where only the Paintball Gun lies, while its tray is hidden.
    clickAt(230, H() - 85);
    EXPECT_EQ(TheRoom().currentTool, scene::kBrush);
    putToysOnTable();
    clickAt(230, H() - 85);
    EXPECT_EQ(TheRoom().currentTool, scene::kPaintballGun);
    EXPECT_EQ(desktop().sounds().back().soundId, 1034);
}

TEST_F(RoomTest, PencilDotsHaveTheirSizeAndSizeOneIsOnePixel) {
    start();
    const Rect& area = TheRoom().canvasArea;
    clickAt(area.left + 100, area.top + 100);
    int dot = countCanvas(kRed);
    EXPECT_GE(dot, 9);   // a round dot of diameter 4: between the inscribed and the full square
    EXPECT_LE(dot, 16);
    EXPECT_EQ(canvasAt(100, 100), kRed);
    EXPECT_EQ(canvasAt(100, 97), kWhite);
    // The Pencil's sound loops during the stroke and stops at the release.
    auto s = desktop().sounds();
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s[s.size() - 2].soundId, 1000);
    EXPECT_EQ(s[s.size() - 2].mode, platform::SoundMode::Loop);
    EXPECT_TRUE(s.back().stop);

    // The monitor's first bar chooses size 1.
    const Rect& m = TheRoom().monitor;
    clickAt(m.left + 7, m.top + 40);
    ASSERT_EQ(TheRoom().objects[scene::kPencil].size, 1);
    clickAt(area.left + 300, area.top + 200);
    EXPECT_EQ(countCanvas(kRed), dot + 1);
    EXPECT_EQ(canvasAt(300, 200), kRed);
}

TEST_F(RoomTest, MonitorBarsFollowTheirHitRectangles) {
    start();
    const Rect& m = TheRoom().monitor;
    struct Case {
        int px;
        int size;
    };
    // x 10 belongs to the second bar's widened rectangle; the gap at 18..19 changes nothing.
    for (Case c : {Case{4, 1}, Case{9, 1}, Case{10, 4}, Case{17, 4}, Case{19, 4}, Case{25, 8}, Case{85, 32}}) {
        clickAt(m.left + c.px, m.top + 40);
        EXPECT_EQ(TheRoom().objects[scene::kPencil].size, c.size) << c.px;
    }
}

TEST_F(RoomTest, CogMirrorsAboutItsOwnStartPoint) {
    start();
    const Rect& area = TheRoom().canvasArea;
    putToysOnTable();
    chooseTool(scene::kCog);
    const Rect& m = TheRoom().monitor;
    clickAt(m.left + 10, m.top + 30);  // size 8
    ASSERT_EQ(TheRoom().objects[scene::kCog].size, 8);

    // Two-way: a stroke to the right of (200, 200) draws as far to the left.
    stroke({{area.left + 200, area.top + 200}, {area.left + 260, area.top + 200}});
    EXPECT_EQ(canvasAt(250, 200), kRed);
    EXPECT_EQ(canvasAt(150, 200), kRed);
    EXPECT_EQ(canvasAt(200, 150), kWhite);

    // Four-way, from a new start point: the images land in all four quadrants about it.
    clickAt(m.left + 67, m.top + 67);
    ASSERT_EQ(TheRoom().objects[scene::kCog].param, 2);
    stroke({{area.left + 400, area.top + 300}, {area.left + 440, area.top + 340}});
    for (Point p : {Point{430, 330}, Point{370, 330}, Point{430, 270}, Point{370, 270}}) {
        EXPECT_EQ(canvasAt(p.x, p.y), kRed) << p.x << "," << p.y;
    }
    // Not about the previous stroke's centre.
    EXPECT_EQ(canvasAt(200 - 30, 200 + 30), kWhite);
}

TEST_F(RoomTest, PressOutsideTheCanvasDoesNothingAndAStrokeEndsOverTheToolBox) {
    start();
    bool before = TheRoom().undoAvailable;
    desktop().press(60, 60);  // on the wall of the shelf strip
    pump();
    EXPECT_EQ(TheRoom().undoAvailable, before);
    EXPECT_FALSE(TheRoom().modified);
    desktop().release(60, 60);
    pump();

    putToysOnTable();
    chooseTool(scene::kCog);
    const Rect& area = TheRoom().canvasArea;
    Point box = centreOf(TheRoom().hotspots[scene::kToolBox].pointer);
    stroke({{area.left + 50, area.top + 50}, {area.left + 10, area.top + 60}, {box.x, box.y}});
    EXPECT_EQ(TheRoom().currentTray, 4);
    EXPECT_FALSE(TheRoom().objects[scene::kCog].active);
    EXPECT_TRUE(TheRoom().modified);
}

TEST_F(RoomTest, RulerOutlineIsKeptInsideTheCanvas) {
    start();
    chooseTool(scene::kRuler);
    desktop().clearRecords();
    desktop().moveTo(147, 16);
    desktop().press(147, 16);
    pump();
    EXPECT_EQ(TheRoom().lastPointer, (Point{149, 18}));
    ASSERT_FALSE(desktop().warps().empty());
    EXPECT_EQ(desktop().warps().back(), (Point{149, 18}));
    desktop().release(149, 18);
    pump();
}

TEST_F(RoomTest, UndoRestoresOnceAndThenDoesNothing) {
    start();
    const Rect& area = TheRoom().canvasArea;
    Point cleaner = centreOf(TheRoom().hotspots[scene::kCleaner].pointer);
    clickAt(area.left + 50, area.top + 50);
    clickAt(area.left + 80, area.top + 50);
    ASSERT_EQ(canvasAt(80, 50), kRed);
    desktop().clearRecords();
    clickAt(cleaner.x, cleaner.y);
    EXPECT_EQ(canvasAt(80, 50), kWhite);
    EXPECT_EQ(canvasAt(50, 50), kRed);
    EXPECT_EQ(shown(area.left + 80, area.top + 50), kWhite);
    EXPECT_EQ(desktop().sounds().size(), 1u);
    EXPECT_EQ(desktop().sounds()[0].soundId, 1028);
    clickAt(cleaner.x, cleaner.y);
    EXPECT_EQ(canvasAt(50, 50), kRed);
    EXPECT_EQ(desktop().sounds().size(), 1u);
}

TEST_F(RoomTest, ZoomShowsTheRightPartAndStrokesLandWhereThePointerIs) {
    start();
    scene::Room& r = TheRoom();
    const Rect& area = r.canvasArea;
    // A mark in each corner of the picture.
    tb_SetPixel(r.canvas, 2, 2, 0, 0, 65025);
    tb_SetPixel(r.canvas, 631, 485, 0, 65025, 0);

    struct Case {
        Point click;
        Point origin;
    };
    // The click becomes the centre, clamped so the view stays inside the picture (634 x 488).
    for (Case c : {Case{{area.left + 5, area.top + 5}, {0, 0}},
                   Case{{area.right - 5, area.bottom - 5}, {317, 244}},
                   Case{{area.left + 300, area.top + 200}, {142, 78}}}) {
        clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
        ASSERT_TRUE(r.pickingZoom);
        clickAt(c.click.x, c.click.y);
        ASSERT_TRUE(r.zoomed);
        EXPECT_EQ(r.zoomOrigin, c.origin);
        clickAt(r.spyglass.left + 5, r.spyglass.top + 5);  // zoom out again
        EXPECT_FALSE(r.zoomed);
    }
    // Near the top-left corner the mark shows as 2 x 2 screen pixels.
    clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
    clickAt(area.left + 5, area.top + 5);
    EXPECT_EQ(shown(area.left + 4, area.top + 4), (Rgb{0, 0, 255}));
    EXPECT_EQ(shown(area.left + 5, area.top + 5), (Rgb{0, 0, 255}));
    EXPECT_EQ(shown(area.left + 6, area.top + 6), kWhite);
    // A click at screen (area + 100, area + 60) paints picture pixel (50, 30).
    clickAt(area.left + 100, area.top + 60);
    EXPECT_EQ(canvasAt(50, 30), kRed);
    EXPECT_EQ(canvasAt(100, 60), kWhite);
    clickAt(r.spyglass.left + 5, r.spyglass.top + 5);

    // Near the bottom-right corner.
    clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
    clickAt(area.right - 5, area.bottom - 5);
    EXPECT_EQ(shown(area.left + 2 * (631 - 317), area.top + 2 * (485 - 244)), (Rgb{0, 255, 0}));
    clickAt(area.left + 2 * (600 - 317), area.top + 2 * (400 - 244));
    EXPECT_EQ(canvasAt(600, 400), kRed);
}

TEST_F(RoomTest, SpyglassThenAClickOutsideLeavesZoomOff) {
    start();
    scene::Room& r = TheRoom();
    clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
    desktop().moveTo(r.canvasArea.left + 10, r.canvasArea.top + 10);
    pump();
    EXPECT_EQ(desktop().currentCursor(), 212);
    clickAt(60, 60);
    EXPECT_FALSE(r.zoomed);
    EXPECT_FALSE(r.pickingZoom);
    EXPECT_EQ(desktop().currentCursor(), 204);
}

TEST_F(RoomTest, DisplayChangeScalesThePictureAndResetsToolSettings) {
    start(800, 600);
    scene::Room& r = TheRoom();
    const Rect& m = r.monitor;
    clickAt(m.left + 85, m.top + 40);  // Pencil size 32
    ASSERT_EQ(r.objects[scene::kPencil].size, 32);
    chooseTool(scene::kBrush);
    clickAt(m.left + 85, m.top + 40);  // Brush size 36
    // Left half of the picture blue.
    tb_SetForeColor(r.canvas, 0, 0, 65025);
    Rect left{0, 0, 317, 488};
    tb_PaintRect(r.canvas, &left);

    desktop().changeDisplay(640, 480, 24);
    pump();
    EXPECT_EQ(tb_GetBitmapWidth(r.canvas), 474);
    EXPECT_EQ(tb_GetBitmapHeight(r.canvas), 368);
    EXPECT_EQ(canvasAt(10, 10), (Rgb{0, 0, 255}));
    EXPECT_EQ(canvasAt(230, 300), (Rgb{0, 0, 255}));
    EXPECT_EQ(canvasAt(245, 300), kWhite);
    EXPECT_EQ(canvasAt(473, 367), kWhite);
    // The scaled picture is what undo brings back.
    EXPECT_TRUE(r.undoAvailable);
    int rr = 0, gg = 0, bb = 0;
    tb_GetPixel(r.undo, 10, 10, &rr, &gg, &bb);
    EXPECT_EQ(bb, 65025);
    // Settings return to their start values; the tool and tray stay.
    EXPECT_EQ(r.objects[scene::kPencil].size, 4);
    EXPECT_EQ(r.objects[scene::kBrush].size, 24);
    EXPECT_EQ(r.currentTool, scene::kBrush);
    EXPECT_EQ(r.objects[scene::kPencil].rect, (Rect{363, 444, 428, 458}));
}

TEST_F(RoomTest, CansChooseColoursAndADoubleClickWithTheCancelledPaletteKeepsThem) {
    start();
    scene::Room& r = TheRoom();
    Point can3 = centreOf(r.cans[3].top);
    clickAt(can3.x, can3.y);
    EXPECT_EQ(r.currentColor, (scene::Color{0, 65025, 0}));
    EXPECT_EQ(r.objects[scene::kPencil].green, 65025);
    EXPECT_EQ(desktop().sounds().back().soundId, 1019);

    Point can4 = centreOf(r.cans[4].top);
    desktop().moveTo(can4.x, can4.y);
    desktop().doubleClick(can4.x, can4.y);
    pump();
    EXPECT_EQ(r.canColors[4], (scene::Color{0, 0, 65025}));
    EXPECT_EQ(r.currentColor, (scene::Color{0, 0, 65025}));
    EXPECT_EQ(desktop().currentCursor(), 203);  // after the palette, cancelled here

    // A can's body counts as the can.
    clickAt(484, r.height - 60);
    EXPECT_EQ(r.currentColor, (scene::Color{65025, 65025, 65025}));
    // The paint blot shows the current colour.
    EXPECT_EQ(shown(r.paintBlot.left + 21, r.paintBlot.top + 8), kWhite);
    clickAt(can3.x, can3.y);
    EXPECT_EQ(shown(r.paintBlot.left + 21, r.paintBlot.top + 8), (Rgb{0, 255, 0}));
}

TEST_F(RoomTest, SpeakerSwitchesSoundAndSavesThePreference) {
    start();
    scene::Room& r = TheRoom();
    clickAt(r.speaker.left + 5, r.speaker.top + 5);
    EXPECT_FALSE(shell::Prefs().soundOn);
    EXPECT_EQ(tb_GetSoundSwitch(), 0);
    std::ifstream in(prefsPath(), std::ios::binary);
    char word[4] = {1, 1, 1, 1};
    in.read(word, 4);
    EXPECT_EQ(word[0], 0);
    // While off, choosing a tool makes no sound.
    desktop().clearRecords();
    chooseTool(scene::kEraser);
    EXPECT_TRUE(desktop().sounds().empty());
    clickAt(r.speaker.left + 5, r.speaker.top + 5);
    EXPECT_TRUE(shell::Prefs().soundOn);
}

TEST_F(RoomTest, HoverLightsHotspotsExceptTheInertOnes) {
    start();
    scene::Room& r = TheRoom();
    for (int spot : {scene::kRock, scene::kBooks, scene::kMagicHat}) {
        desktop().clearRecords();
        Point p = centreOf(r.hotspots[spot].pointer);
        desktop().moveTo(p.x, p.y);
        pump();
        EXPECT_FALSE(r.hotspots[spot].isLit) << spot;
        EXPECT_TRUE(desktop().presented().empty() || r.labelShown == 0) << spot;
        EXPECT_NE(desktop().currentCursor(), 202) << spot;
    }
    Point printer = centreOf(r.hotspots[scene::kPrinter].pointer);
    desktop().moveTo(printer.x, printer.y);
    pump();
    EXPECT_TRUE(r.hotspots[scene::kPrinter].isLit);
    EXPECT_EQ(r.labelShown, 716);
    EXPECT_EQ(desktop().currentCursor(), 202);
    desktop().moveTo(r.canvasArea.left + 20, r.canvasArea.top + 20);
    pump();
    EXPECT_FALSE(r.hotspots[scene::kPrinter].isLit);
    EXPECT_EQ(r.labelShown, 0);
    EXPECT_EQ(desktop().currentCursor(), 204);
}

TEST_F(RoomTest, ShowingTheShownLabelTouchesNothing) {
    start();
    scene::ShowLabel(701);
    desktop().clearRecords();
    PixelView v = desktop().backingStore(desktop().firstWindow());
    std::vector<uint8_t> before(v.bits, v.bits + static_cast<size_t>(v.stride) * v.height);
    scene::ShowLabel(701);
    EXPECT_TRUE(desktop().presented().empty());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), v.bits));
}

TEST_F(RoomTest, ChoosingTheToysShowsTheirToolsAndTheToolBoxBringsTheOthersBack) {
    start();
    scene::Room& r = TheRoom();
    Point pencil = centreOf(r.objects[scene::kPencil].rect);
    Rgb pencilBefore = shown(pencil.x, pencil.y);
    putToysOnTable();
    EXPECT_NE(shown(pencil.x, pencil.y), pencilBefore);
    Point box = centreOf(r.hotspots[scene::kToolBox].pointer);
    clickAt(box.x, box.y);
    EXPECT_EQ(r.currentTray, 0);
    EXPECT_EQ(shown(pencil.x, pencil.y), pencilBefore);
}
