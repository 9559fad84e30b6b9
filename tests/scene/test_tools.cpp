// The painting tools on a headless desktop: what each leaves on the picture and on screen, its
// sounds and cursor, the colour palette, and the cans it recolours.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"
#include "tools/tools.h"

using scene::TheRoom;

namespace {

// No tool may trip over the toolbox: every failure there shows a box.
class ToolTest : public RoomTest {
protected:
    void TearDown() override {
        if (desktop_) {
            EXPECT_TRUE(desktop().messageBoxes().empty()) << desktop().messageBoxes().front().text;
        }
        RoomTest::TearDown();
    }
    static Point W(int x, int y) { return Point{x + scene::kCanvasLeft, y + scene::kCanvasTop}; }
    void paint(Rect area, Rgb c) {
        tb_SetForeColor(TheRoom().canvas, c.r * 255, c.g * 255, c.b * 255);
        tb_PaintRect(TheRoom().canvas, &area);
    }
    void clickPicture(int x, int y) { clickAt(W(x, y).x, W(x, y).y); }
    Rgb sceneAt(int x, int y) {
        int r = 0, g = 0, b = 0;
        tb_GetPixel(TheRoom().sceneBuffer, x, y, &r, &g, &b);
        return Rgb{r / 255, g / 255, b / 255};
    }
    void clickMonitor(int dx) { clickAt(TheRoom().monitor.left + dx, TheRoom().monitor.top + 30); }
    // How many pixels of the picture are not `ground`; each of them must be `mark` inside `area`.
    int marks(Rgb ground, Rgb mark, Rect area) {
        int n = 0;
        for (int y = 0; y < TheRoom().picture.bottom; ++y)
            for (int x = 0; x < TheRoom().picture.right; ++x) {
                if (canvasAt(x, y) == ground) continue;
                ++n;
                EXPECT_TRUE(canvasAt(x, y) == mark && tb_PtInRect(x, y, &area)) << x << "," << y;
            }
        return n;
    }
};

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGrey{200, 200, 200};

}  // namespace

TEST_F(ToolTest, HammerEmbossesThePictureAsItWasBeforeTheStroke) {
    start();
    putToysOnTable();
    chooseTool(scene::kHammer);
    for (Rgb flat : {Rgb{0, 0, 0}, Rgb{230, 180, 20}, kWhite}) {  // any flat colour turns grey
        paint(TheRoom().picture, flat);
        clickPicture(300, 200);
        for (Point p : {Point{300, 200}, Point{288, 200}, Point{300, 211}}) EXPECT_EQ(canvasAt(p.x, p.y), kGrey);
    }
    struct Case { Rgb left, right; bool lighter; };
    for (Case c : {Case{{20, 20, 20}, {240, 240, 240}, true}, Case{{240, 240, 240}, {20, 20, 20}, false}}) {
        paint(Rect{0, 0, 300, 488}, c.left);
        paint(Rect{300, 0, 634, 488}, c.right);
        clickPicture(300, 200);
        const Rgb once = canvasAt(300, 200);
        EXPECT_TRUE(c.lighter ? once.r > 200 : once.r < 200) << once;
        // Over the same place again and again in one stroke: what one dab gave.
        paint(Rect{0, 0, 300, 488}, c.left);
        paint(Rect{300, 0, 634, 488}, c.right);
        stroke({W(300, 200), W(310, 200), W(300, 200), W(290, 200), W(300, 200)});
        EXPECT_EQ(canvasAt(300, 200), once);
    }
}

TEST_F(ToolTest, BrushDabAtTheEdgeChangesOnlyThePicture) {
    start();
    chooseTool(scene::kBrush);
    const Rgb frame = shown(scene::kCanvasLeft - 1, 116);
    clickPicture(0, 100);
    EXPECT_TRUE(canvasAt(1, 100).r == 255 && canvasAt(1, 100).g < 200) << "a spot of the current colour";
    EXPECT_EQ(canvasAt(16, 100), kWhite) << "beyond the dab";
    EXPECT_EQ(shown(scene::kCanvasLeft - 1, 116), frame);
    EXPECT_EQ(shown(scene::kCanvasLeft + 1, 116), canvasAt(1, 100));
}

TEST_F(ToolTest, SprayAndSplatsStayWhereTheyShould) {
    start();
    chooseTool(scene::kSprayCan);  // size 24: at most 24 pixels, at most 12 away on each axis
    for (int i = 0; i < 10; ++i) {
        paint(TheRoom().picture, kWhite);
        clickPicture(100 + 40 * i, 250);
        const int n = marks(kWhite, kRed, Rect{88 + 40 * i, 238, 113 + 40 * i, 263});
        EXPECT_TRUE(n >= 1 && n <= 24) << n;
    }
    // A splat of 120 shows the colour exactly, only through its mask, centred on the click.
    putToysOnTable();
    chooseTool(scene::kPaintballGun);
    clickMonitor(70);
    paint(TheRoom().picture, kBlue);
    clickPicture(300, 200);
    const int n = marks(kBlue, kRed, Rect{240, 140, 360, 260});
    EXPECT_TRUE(n > 120 * 120 / 4 && n < 120 * 120 * 9 / 10) << n;
    const int splat = desktop().sounds().back().soundId;
    EXPECT_TRUE(splat >= 1012 && splat <= 1014) << splat;
}

TEST_F(ToolTest, EraserLeavesAWhiteSquareOfItsSize) {
    start();
    chooseTool(scene::kEraser);
    struct Case { int barX, side; };
    for (Case c : {Case{7, 2}, Case{14, 4}, Case{52, 24}}) {
        clickMonitor(c.barX);
        paint(TheRoom().picture, kBlue);
        clickPicture(200, 100);
        const int h = c.side / 2;
        EXPECT_EQ(marks(kBlue, kWhite, Rect{200 - h, 100 - h, 200 + h, 100 + h}), c.side * c.side);
    }
}

TEST_F(ToolTest, JarFillsAClosedShapeAndNotThroughADiagonalGap) {
    start();
    chooseTool(scene::kJar);
    // A diamond of one-pixel lines: its walls meet only corner to corner.
    const int c = TheRoom().canvas;
    tb_SetForeColor(c, 0, 0, 0);
    Point corners[] = {{200, 100}, {300, 200}, {200, 300}, {100, 200}, {200, 100}};
    for (int i = 0; i < 4; ++i) tb_Line(c, corners[i].x, corners[i].y, corners[i + 1].x, corners[i + 1].y, 1);
    const int white = countCanvas(kWhite);
    clickPicture(200, 200);
    EXPECT_EQ(canvasAt(200, 102), kRed);
    EXPECT_EQ(canvasAt(200, 99), kWhite);
    EXPECT_EQ(countCanvas(kWhite) + countCanvas(kRed), white);
    EXPECT_NEAR(countCanvas(kRed), 100 * 100 * 2, 800) << "the diamond's inside, all of it";
}

TEST_F(ToolTest, DropperMakesTheColourUnderItCurrent) {
    start();
    chooseTool(scene::kDropper);
    const Rgb green{10, 200, 30};
    paint(Rect{0, 0, 100, 488}, green);
    const Point blot{TheRoom().paintBlot.left + 21, TheRoom().paintBlot.top + 8};
    desktop().moveTo(W(50, 50).x, W(50, 50).y);
    desktop().press(W(50, 50).x, W(50, 50).y);
    pump();
    EXPECT_EQ(TheRoom().currentColor, (scene::Color{10 * 255, 200 * 255, 30 * 255}));
    EXPECT_EQ(shown(blot.x, blot.y), green) << "the paint blot shows it at once";
    EXPECT_EQ(desktop().sounds().back().soundId, 1019);
    desktop().moveTo(W(150, 50).x, W(150, 50).y);  // dragged onto white: the blot follows
    pump();
    EXPECT_EQ(shown(blot.x, blot.y), kWhite);
    desktop().moveTo(W(60, 60).x, W(60, 60).y);
    desktop().release(W(60, 60).x, W(60, 60).y);
    chooseTool(scene::kPencil);
    stroke({W(300, 300), W(320, 300)});
    EXPECT_EQ(canvasAt(310, 300), green);
}

TEST_F(ToolTest, LoopingToolsStopTheirSoundAtTheRelease) {
    struct Case { int tool, sound, cursor; };
    for (Case c : {Case{scene::kBrush, 1001, 205}, Case{scene::kSprayCan, 1023, 208}, Case{scene::kHammer, 1026, 220},
                   Case{scene::kWand, 1011, 223}, Case{scene::kNeedle, 1024, 224}}) {
        start();
        if (c.tool >= scene::kHammer) putToysOnTable();
        chooseTool(c.tool);
        desktop().moveTo(W(100, 100).x, W(100, 100).y);
        desktop().press(W(100, 100).x, W(100, 100).y);
        pump();
        EXPECT_EQ(desktop().sounds().back().soundId, c.sound);
        EXPECT_EQ(desktop().sounds().back().mode, platform::SoundMode::Loop);
        EXPECT_EQ(desktop().currentCursor(), c.cursor);
        desktop().release(W(100, 100).x, W(100, 100).y);
        pump();
        EXPECT_EQ(desktop().sounds().back().soundId, 0) << c.sound << " stops";
    }
}

TEST_F(ToolTest, DisplayChangeKeepsTheZoomInsideAndStopsAStrokesSound) {
    start(1024, 768);
    desktop().clearRecords();  // the advice to use a smaller screen
    scene::Room& r = TheRoom();
    clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
    clickAt(r.canvasArea.right - 5, r.canvasArea.bottom - 5);
    chooseTool(scene::kBrush);
    desktop().moveTo(r.canvasArea.left + 50, r.canvasArea.top + 50);
    desktop().press(r.canvasArea.left + 50, r.canvasArea.top + 50);
    pump();
    desktop().changeDisplay(640, 480, 24);
    pump();
    EXPECT_EQ(desktop().sounds().back().soundId, 0) << "the Brush's loop stops";
    desktop().release(r.canvasArea.left + 50, r.canvasArea.top + 50);
    pump();
    // Still magnified, and the picture's bottom-right corner shows in the canvas area's.
    ASSERT_TRUE(r.zoomed);
    tb_SetPixel(r.canvas, r.picture.right - 1, r.picture.bottom - 1, 0, 0, 65025);
    scene::Present();
    EXPECT_EQ(shown(r.canvasArea.right - 1, r.canvasArea.bottom - 1), kBlue);
}

TEST_F(ToolTest, RulerLaysOneLineAndNoRubberBand) {
    int unzoomed = 0;
    for (bool zoomed : {false, true}) {
        start();
        scene::Room& r = TheRoom();
        if (zoomed) {
            clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
            clickAt(r.canvasArea.left + 5, r.canvasArea.top + 5);  // picture (0, 0) at the corner
        }
        chooseTool(scene::kRuler);  // size 4
        const int z = zoomed ? 2 : 1;
        auto at = [&](int x, int y) { return Point{r.canvasArea.left + x * z, r.canvasArea.top + y * z}; };
        desktop().moveTo(at(10, 10).x, at(10, 10).y);
        desktop().press(at(10, 10).x, at(10, 10).y);
        desktop().moveTo(at(30, 60).x, at(30, 60).y);
        pump();
        EXPECT_EQ(shown(at(20, 35).x, at(20, 35).y), kRed) << "the band shows while the button is held";
        EXPECT_EQ(countCanvas(kRed), 0);
        desktop().moveTo(at(50, 10).x, at(50, 10).y);
        desktop().release(at(50, 10).x, at(50, 10).y);
        pump();
        EXPECT_EQ(shown(at(20, 35).x, at(20, 35).y), kWhite) << "no band left on screen";
        // Four pixels wide (rows 8 to 11) and round at its ends, the same when magnified.
        const int n = marks(kWhite, kRed, Rect{8, 8, 53, 12});
        EXPECT_EQ(n, zoomed ? unzoomed : n);
        unzoomed = n;
        EXPECT_TRUE(canvasAt(30, 8) == kRed && canvasAt(30, 11) == kRed) << zoomed;
    }
}

TEST_F(ToolTest, TemplatesDrawEachShapeWhicheverWayTheBoxIsDragged) {
    start();
    chooseTool(scene::kTemplates);
    for (Point button : {Point{20, 20}, Point{60, 20}, Point{20, 60}, Point{60, 60}}) {  // filled on the right
        clickAt(TheRoom().monitor.left + button.x, TheRoom().monitor.top + button.y);
        for (bool backwards : {false, true}) {
            paint(TheRoom().picture, kWhite);
            const Point a = W(100, 100), b = W(140, 130);
            stroke({backwards ? b : a, W(120, 200), backwards ? a : b});
            EXPECT_EQ(canvasAt(120, 115), button.x > 40 ? kRed : kWhite) << button.x << "," << button.y;
            EXPECT_TRUE(canvasAt(100, 115) == kRed && marks(kWhite, kRed, Rect{100, 100, 140, 130}) > 0);
        }
    }
}

TEST_F(ToolTest, ScissorsCutCarryPasteAndLetGo) {
    start();
    scene::Room& r = TheRoom();
    chooseTool(scene::kScissors);
    stroke({W(200, 100), W(205, 140)});  // 5 wide: nothing is cut
    EXPECT_EQ(r.objects[scene::kScissors].active, 0);
    paint(Rect{100, 100, 110, 120}, kBlue);  // a mark in the top-left of the box cut next
    scene::Present();
    stroke({W(100, 100), W(120, 120), W(140, 140)});
    ASSERT_EQ(r.objects[scene::kScissors].param, 1) << "carrying";
    for (Point p : {Point{300, 300}, Point{400, 200}}) clickPicture(p.x, p.y);
    for (Point p : {Point{300, 300}, Point{400, 200}}) {
        EXPECT_EQ(canvasAt(p.x - 20, p.y - 20), kBlue);
        EXPECT_EQ(canvasAt(p.x - 11, p.y - 1), kBlue);
        EXPECT_EQ(canvasAt(p.x - 10, p.y - 20), kWhite);
    }
    EXPECT_EQ(countCanvas(kBlue), 3 * 10 * 20);
    desktop().setKeyState('C', true);  // C lets it go
    desktop().moveTo(W(200, 200).x, W(200, 200).y);
    pump();
    EXPECT_EQ(r.objects[scene::kScissors].active, 0);
    desktop().setKeyState('C', false);

    // Magnified, a 40 x 40 cut of the screen lands as 20 x 20 picture pixels.
    clickAt(r.spyglass.left + 5, r.spyglass.top + 5);
    clickAt(r.canvasArea.left + 5, r.canvasArea.top + 5);
    paint(r.picture, kWhite);
    paint(Rect{10, 10, 30, 30}, kBlue);
    scene::Present();
    const Point a{r.canvasArea.left + 20, r.canvasArea.top + 20};
    stroke({a, Point{a.x + 40, a.y + 40}});
    clickAt(r.canvasArea.left + 200, r.canvasArea.top + 200);
    EXPECT_EQ(marks(kWhite, kBlue, Rect{10, 10, 110, 110}), 2 * 20 * 20);
}

TEST_F(ToolTest, RecolouringAFrontCanNeverPaintsOutsideIt) {
    start();
    const scene::Room& r = TheRoom();
    for (int can : {0, 5, 6, 7}) {
        const scene::Can& c = r.cans[can];
        std::vector<Rgb> before;
        for (int i = 0; i < 640 * 96; ++i) before.push_back(sceneAt(i % 640, r.height - 96 + i / 640));
        // Black makes the label's shade the outline's; the next colour must stay on the label.
        scene::DrawCan(can, 0, 0, 0, true);
        scene::DrawCan(can, 65025, 0, 0, true);
        for (int i = 0, x = 0, y = r.height - 96; i < 640 * 96; ++i, x = i % 640, y = r.height - 96 + i / 640) {
            const bool ours =
                tb_PtInRect(x, y, &c.top) || tb_PtInRect(x, y, &c.bodies[0]) || tb_PtInRect(x, y, &c.bodies[1]);
            EXPECT_TRUE(ours || sceneAt(x, y) == before[i]) << "can " << can << " changed " << x << "," << y;
        }
    }
}

TEST_F(ToolTest, PaletteAcceptsOnlyAPickedColour) {
    start();
    scene::Room& r = TheRoom();
    Rect whole{};
    const int picture = tb_CreateBitmap(&whole, kBmpColourPalette, 24);
    scene::Color pink{};
    tb_GetPixel(picture, 250, 60, &pink.red, &pink.green, &pink.blue);
    tb_DisposeBitmap(picture);
    const Point tick{140, 100}, cross{165, 100}, swatch{39, 172}, onIt{250, 60}, room{20, 20};
    struct Case { std::vector<Point> clicks; int result; };
    for (const Case& c : {Case{{tick}, 0}, Case{{onIt, tick}, 1}, Case{{onIt, cross}, -1}, Case{{room, swatch}, 0},
                          Case{{onIt, swatch}, 1}}) {
        desktop().answerDialog([&](platform::NativeWindow d) {
            for (Point p : c.clicks) desktop().click(p.x, p.y, d);
            desktop().typeKey(platform::kVkEscape, d);  // closes it when the clicks did not
        });
        scene::Color chosen{1, 2, 3};
        EXPECT_EQ(tools::OpenColourPalette(chosen), c.result) << c.clicks.size();
        EXPECT_EQ(chosen, c.result == 1 ? pink : (scene::Color{1, 2, 3}));
    }
    // A double click on a can: the accepted colour becomes the can's and the current one.
    desktop().answerDialog([&](platform::NativeWindow d) {
        desktop().click(onIt.x, onIt.y, d);
        desktop().click(tick.x, tick.y, d);
    });
    const Rect top = r.cans[2].top;
    desktop().doubleClick((top.left + top.right) / 2, top.top + 4);
    pump();
    EXPECT_EQ(r.canColors[2], pink);
    EXPECT_EQ(r.currentColor, pink);
}
