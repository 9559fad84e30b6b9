// The painting tools on a headless desktop: what each leaves on the picture, and its sounds.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/room_fixture.h"

using scene::TheRoom;

namespace {

class ToolTest : public RoomTest {
protected:
    // No tool may trip over the toolbox: every failure there shows a box.
    void TearDown() override {
        if (desktop_) EXPECT_TRUE(desktop().messageBoxes().empty()) << desktop().messageBoxes().front().text;
        RoomTest::TearDown();
    }
    // Window point of picture point (x, y), unzoomed.
    static Point W(int x, int y) { return Point{x + scene::kCanvasLeft, y + scene::kCanvasTop}; }
    void paint(Rect area, Rgb c) {
        tb_SetForeColor(TheRoom().canvas, c.r * 255, c.g * 255, c.b * 255);
        tb_PaintRect(TheRoom().canvas, &area);
        scene::Present();
    }
    void clickPicture(int x, int y) { clickAt(W(x, y).x, W(x, y).y); }
    void chooseToy(int index) {
        putToysOnTable();
        chooseTool(index);
    }
    void clickMonitor(int dx, int dy) { clickAt(TheRoom().monitor.left + dx, TheRoom().monitor.top + dy); }
};

constexpr Rgb kBlue{0, 0, 255};

}  // namespace

TEST_F(ToolTest, HammerEmbossesThePictureAsItWasBeforeTheStroke) {
    start();
    chooseToy(scene::kHammer);
    // Any flat colour turns mid-grey under the dab.
    for (Rgb flat : {Rgb{0, 0, 0}, Rgb{230, 180, 20}, kWhite}) {
        paint(TheRoom().picture, flat);
        clickPicture(300, 200);
        for (Point p : {Point{300, 200}, Point{288, 200}, Point{300, 211}}) EXPECT_EQ(canvasAt(p.x, p.y), (Rgb{200, 200, 200})) << flat;
    }
    // Dark left of x = 300, light right of it; then light left, dark right.
    struct Case { Rgb left, right; bool lighter; };
    for (Case c : {Case{{20, 20, 20}, {240, 240, 240}, true}, Case{{240, 240, 240}, {20, 20, 20}, false}}) {
        paint(Rect{0, 0, 300, 488}, c.left);
        paint(Rect{300, 0, 634, 488}, c.right);
        clickPicture(300, 200);
        const Rgb once = canvasAt(300, 200);
        EXPECT_EQ(once.r > 200, c.lighter) << once;
        EXPECT_EQ(once.r < 200, !c.lighter) << once;
        // Going over the same place again and again in one stroke gives what one dab gave.
        paint(Rect{0, 0, 300, 488}, c.left);
        paint(Rect{300, 0, 634, 488}, c.right);
        stroke({W(300, 200), W(310, 200), W(300, 200), W(290, 200), W(300, 200)});
        EXPECT_EQ(canvasAt(300, 200), once);
        EXPECT_EQ(canvasAt(299, 205), canvasAt(299, 195));
    }
}

TEST_F(ToolTest, BrushDabAtTheEdgeChangesOnlyThePicture) {
    start();
    chooseTool(scene::kBrush);
    const Rgb frame = shown(scene::kCanvasLeft - 1, scene::kCanvasTop + 100);
    clickPicture(0, 100);
    EXPECT_NE(canvasAt(1, 100), kWhite);
    EXPECT_EQ(canvasAt(1, 100).r, 255) << "the spot is in the current colour";
    EXPECT_EQ(canvasAt(16, 100), kWhite) << "beyond the dab";
    EXPECT_EQ(shown(scene::kCanvasLeft - 1, scene::kCanvasTop + 100), frame);
    EXPECT_EQ(shown(scene::kCanvasLeft + 1, scene::kCanvasTop + 100), canvasAt(1, 100));
}

TEST_F(ToolTest, SprayEventStaysWithinItsReach) {
    start();
    chooseTool(scene::kSprayCan);  // size 24: at most 24 pixels, at most 12 away on each axis
    for (int i = 0; i < 20; ++i) {
        paint(TheRoom().picture, kWhite);
        const Point c{100 + 20 * i, 250};
        clickPicture(c.x, c.y);
        int count = 0;
        for (int y = 0; y < 488; ++y)
            for (int x = 0; x < 634; ++x) {
                if (canvasAt(x, y) == kWhite) continue;
                ++count;
                EXPECT_TRUE(std::abs(x - c.x) <= 12 && std::abs(y - c.y) <= 12) << x << "," << y;
                EXPECT_EQ(canvasAt(x, y), kRed);
            }
        EXPECT_TRUE(count >= 1 && count <= 24) << count;
    }
}

TEST_F(ToolTest, PaintballSplatShowsOnlyThroughItsMask) {
    start();
    chooseToy(scene::kPaintballGun);
    clickMonitor(70, 30);  // size 120
    ASSERT_EQ(TheRoom().objects[scene::kPaintballGun].size, 120);
    paint(TheRoom().picture, kBlue);
    clickPicture(300, 200);
    int red = 0;
    for (int y = 0; y < 488; ++y)
        for (int x = 0; x < 634; ++x) {
            const Rgb c = canvasAt(x, y);
            if (c == kBlue) continue;
            ASSERT_EQ(c, kRed) << x << "," << y;
            ASSERT_TRUE(x >= 240 && x < 360 && y >= 140 && y < 260) << x << "," << y;
            ++red;
        }
    EXPECT_GT(red, 120 * 120 / 4);
    EXPECT_LT(red, 120 * 120 * 95 / 100);
    const int sound = desktop().sounds().back().soundId;
    EXPECT_TRUE(sound >= 1012 && sound <= 1014) << sound;
}

TEST_F(ToolTest, EraserLeavesAWhiteSquareOfItsSize) {
    start();
    chooseTool(scene::kEraser);
    struct Case { int barX, side; };
    for (Case c : {Case{7, 2}, Case{14, 4}, Case{52, 24}}) {
        clickMonitor(c.barX, 40);
        paint(TheRoom().picture, kBlue);
        clickPicture(200, 100);
        EXPECT_EQ(countCanvas(kWhite), c.side * c.side) << c.side;
        EXPECT_EQ(canvasAt(200 - c.side / 2, 100 - c.side / 2), kWhite) << c.side;
        EXPECT_EQ(canvasAt(200 + c.side / 2 - 1, 100 + c.side / 2 - 1), kWhite) << c.side;
    }
}

TEST_F(ToolTest, JarFillsAClosedShapeAndNotThroughADiagonalGap) {
    start();
    chooseTool(scene::kJar);
    // A diamond of one-pixel lines: its walls meet their neighbours only corner to corner.
    const int c = TheRoom().canvas;
    tb_SetForeColor(c, 0, 0, 0);
    tb_Line(c, 200, 100, 300, 200, 1);
    tb_Line(c, 300, 200, 200, 300, 1);
    tb_Line(c, 200, 300, 100, 200, 1);
    tb_Line(c, 100, 200, 200, 100, 1);
    const int white = countCanvas(kWhite);
    clickPicture(200, 200);
    EXPECT_EQ(canvasAt(200, 200), kRed);
    EXPECT_EQ(canvasAt(200, 102), kRed);
    EXPECT_EQ(canvasAt(200, 99), kWhite);
    EXPECT_EQ(canvasAt(0, 0), kWhite);
    EXPECT_EQ(countCanvas(kWhite) + countCanvas(kRed), white);
    EXPECT_GT(countCanvas(kRed), 100 * 100 * 9 / 10 * 2 - 100 * 100);
    EXPECT_LT(countCanvas(kRed), 100 * 100 * 2 / 1);
}

TEST_F(ToolTest, DropperMakesTheColourUnderItCurrent) {
    start();
    chooseTool(scene::kDropper);
    const Rgb green{10, 200, 30};
    paint(Rect{0, 0, 100, 488}, green);
    const Rect& blot = TheRoom().paintBlot;
    desktop().moveTo(W(50, 50).x, W(50, 50).y);
    desktop().press(W(50, 50).x, W(50, 50).y);
    pump();
    EXPECT_EQ(TheRoom().currentColor, (scene::Color{10 * 255, 200 * 255, 30 * 255}));
    EXPECT_EQ(shown(blot.left + 21, blot.top + 8), green) << "the paint blot shows it at once";
    EXPECT_EQ(desktop().sounds().back().soundId, 1019);
    desktop().moveTo(W(150, 50).x, W(150, 50).y);  // dragged onto white
    pump();
    EXPECT_EQ(shown(blot.left + 21, blot.top + 8), kWhite);
    desktop().moveTo(W(60, 60).x, W(60, 60).y);
    desktop().release(W(60, 60).x, W(60, 60).y);
    pump();
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
        ASSERT_FALSE(desktop().sounds().empty());
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
    ASSERT_TRUE(r.zoomed);
    chooseTool(scene::kBrush);
    desktop().moveTo(r.canvasArea.left + 50, r.canvasArea.top + 50);
    desktop().press(r.canvasArea.left + 50, r.canvasArea.top + 50);
    pump();
    ASSERT_EQ(desktop().sounds().back().mode, platform::SoundMode::Loop);

    desktop().changeDisplay(640, 480, 24);
    pump();
    EXPECT_EQ(desktop().sounds().back().soundId, 0) << "the Brush's loop stops";
    ASSERT_TRUE(r.zoomed);
    EXPECT_LE(r.zoomOrigin.x + r.picture.width() / 2, r.picture.width());
    EXPECT_LE(r.zoomOrigin.y + r.picture.height() / 2, r.picture.height());
    // The picture's bottom-right corner shows at the canvas area's, and a click there paints it.
    desktop().release(r.canvasArea.left + 50, r.canvasArea.top + 50);
    tb_SetPixel(r.canvas, r.picture.right - 1, r.picture.bottom - 1, 0, 0, 65025);
    scene::Present();
    EXPECT_EQ(shown(r.canvasArea.right - 1, r.canvasArea.bottom - 1), kBlue);
    chooseTool(scene::kPencil);
    paint(r.picture, kWhite);
    clickAt(r.canvasArea.right - 10, r.canvasArea.bottom - 10);
    EXPECT_EQ(countCanvas(kWhite) < r.picture.width() * r.picture.height(), true);
}
