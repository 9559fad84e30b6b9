// The room on a headless desktop: layout, tools, cans, hotspots, zoom, undo and display changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "app/room.h"
#include "app/scene.h"
#include "resources/resource_ids.h"
#include "tests/support/headless_fixture.h"
#include "tools/tools.h"

using platform::HeadlessConfig;
using scene::TheRoom;

namespace {

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << "(" << c.r << "," << c.g << "," << c.b << ")"; }

class RoomTest : public HeadlessTest {
protected:
    void start(int w = 800, int h = 600) {
        useDesktop(HeadlessConfig{w, h, 24});
        ASSERT_EQ(shell::StartPictoria(), -1);
    }
    // Runs what is queued, without ending the program.
    void pump() {
        platform::Message msg;
        while (desktop().peekMessage(msg)) {
            if (msg.kind == platform::MsgKind::Quit) break;
            desktop().dispatchMessage(msg);
        }
    }
    int H() const { return TheRoom().height; }
    // A canvas pixel, in bytes.
    Rgb canvasAt(int x, int y) {
        int r = 0, g = 0, b = 0;
        tb_GetPixel(TheRoom().canvas, x, y, &r, &g, &b);
        return Rgb{r / 255, g / 255, b / 255};
    }
    // A pixel of what the window shows.
    Rgb shown(int x, int y) {
        PixelView v = desktop().backingStore(desktop().firstWindow());
        const uint8_t* p = RowPointer(v, y) + 3 * x;
        return Rgb{p[2], p[1], p[0]};
    }
    int countCanvas(Rgb colour) {
        const Rect& pic = TheRoom().picture;
        int n = 0;
        for (int y = 0; y < pic.bottom; ++y)
            for (int x = 0; x < pic.right; ++x) n += canvasAt(x, y) == colour;
        return n;
    }
    void clickAt(int x, int y) {
        desktop().moveTo(x, y);
        desktop().click(x, y);
        pump();
    }
    void stroke(std::initializer_list<Point> points) {
        auto it = points.begin();
        desktop().moveTo(it->x, it->y);
        desktop().press(it->x, it->y);
        for (++it; it != points.end(); ++it) desktop().moveTo(it->x, it->y);
        Point last = *(points.end() - 1);
        desktop().release(last.x, last.y);
        pump();
    }
    Point centreOf(const Rect& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    void chooseTool(int index) {
        // A point inside the tool's own hit area: its polygon's first corner nudged inward.
        const scene::SceneObject& o = TheRoom().objects[index];
        for (int y = o.rect.top; y < o.rect.bottom; ++y)
            for (int x = o.rect.left; x < o.rect.right; ++x)
                if (tb_PtInRegion(x, y, o.region)) {
                    clickAt(x, y);
                    ASSERT_EQ(TheRoom().currentTool, index);
                    return;
                }
        FAIL() << "no hit point for object " << index;
    }
    void putToysOnTable() {
        Point p = centreOf(TheRoom().hotspots[scene::kToys].pointer);
        clickAt(p.x, p.y);
        ASSERT_EQ(TheRoom().currentTray, 4);
    }
    static constexpr Rgb kWhite{255, 255, 255};
    static constexpr Rgb kRed{255, 0, 0};
};

}  // namespace

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

// ---- The painting tools ------------------------------------------------------------------------

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
