// The painting tools on a headless desktop: what each leaves on the picture and on screen, its
// sounds and cursor, the colour palette, and the cans it recolours.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"
#include "tools/tools.h"

namespace {

// No tool may trip over the toolbox: every failure there shows a box.
class ToolTest : public RoomTest {
protected:
    void TearDown() override {
        EXPECT_EQ(desktop_ ? boxTexts() : std::vector<std::string>{}, std::vector<std::string>{});
        RoomTest::TearDown();
    }
    // Whether the window shows the composed scene and nothing else: no tool left anything on it.
    bool showsTheScene() {
        for (int i = 0; i < 800 * 600; ++i)
            if (Point p{i % 800, i / 800}; shown(p) != canvasAt(p.x, p.y, room().sceneBuffer)) return false;
        return true;
    }
};

}  // namespace

TEST_F(ToolTest, HammerEmbossesThePictureAsItWasBeforeTheStroke) {
    putToysOnTable();
    chooseTool(scene::kHammer);
    // A flat colour turns grey; a step up to the right makes it lighter, a step down darker.
    struct Case { Rgb left, right; int lighter; };
    for (Case c : {Case{{230, 180, 20}, {230, 180, 20}, 0}, Case{{20, 20, 20}, {240, 240, 240}, 1},
                   Case{{240, 240, 240}, {20, 20, 20}, -1}}) {
        auto halves = [&] { paint(Rect{0, 0, 300, 488}, c.left), paint(Rect{300, 0, 634, 488}, c.right); };
        halves();
        clickAt(W(300, 200));
        const Rgb once = canvasAt(300, 200);
        EXPECT_TRUE(c.lighter > 0 ? once.r > 200 : c.lighter < 0 ? once.r < 200 : once == (Rgb{200, 200, 200}))
            << once;
        // Over the same place again and again in one stroke: what one dab gave.
        halves();
        stroke({W(300, 200), W(310, 200), W(300, 200), W(290, 200), W(300, 200)});
        EXPECT_EQ(canvasAt(300, 200), once);
    }
}

// At every edge a dab on white is the dab laid further in, cut by the edge, and the frame keeps its
// own pixels: each edge once, each tool twice (the Hammer also brings its disc back over the
// picture's narrow strip at the edge).
TEST_F(ToolTest, RoundDabAtAnEdgeIsTheDabFurtherInCutByTheEdge) {
    const int cases[][3] = {{scene::kBrush, 0, 200}, {scene::kBrush, 300, 0}, {scene::kHammer, 633, 200},
                            {scene::kHammer, 300, 487}};
    for (auto [tool, x, y] : cases) {
        start();
        if (tool == scene::kHammer) putToysOnTable();
        chooseTool(tool);
        clickAt(W(300, 200)), clickAt(W(x, y));
        for (int dy = std::max(-24, -y); dy <= std::min(24, 487 - y); ++dy)  // the part on the picture
            for (int dx = std::max(-24, -x); dx <= std::min(24, 633 - x); ++dx)
                ASSERT_EQ(canvasAt(x + dx, y + dy), canvasAt(300 + dx, 200 + dy)) << x << "," << y;
        EXPECT_TRUE(showsTheScene()) << x << "," << y;
    }
}

TEST_F(ToolTest, DropperMakesTheColourUnderItCurrent) {
    chooseTool(scene::kDropper);
    const Rgb green{10, 200, 30};
    paint(Rect{0, 0, 100, 488}, green);
    const Point blot{room().paintBlot.left + 21, room().paintBlot.top + 8};
    press(W(50, 50));
    EXPECT_EQ(room().currentColor, (scene::Color{10 * 255, 200 * 255, 30 * 255}));
    EXPECT_EQ(shown(blot), green) << "the paint blot shows it at once";
    moveTo(W(150, 50));
    EXPECT_EQ(shown(blot), kWhite) << "dragged onto white: the blot follows";
}

TEST_F(ToolTest, LoopingToolsStopTheirSoundAtTheRelease) {
    struct Case { int tool, sound, cursor; };
    for (Case c : {Case{scene::kPencil, 1000, 204}, Case{scene::kBrush, 1001, 205}, Case{scene::kSprayCan, 1023, 208},
                   Case{scene::kHammer, 1026, 220}, Case{scene::kWand, 1011, 223}, Case{scene::kNeedle, 1024, 224}}) {
        start();
        if (c.tool >= scene::kHammer) putToysOnTable();
        if (c.tool != scene::kPencil) chooseTool(c.tool);
        press(W(100, 100));
        EXPECT_EQ(desktop().sounds().back().soundId, c.sound);
        EXPECT_EQ(desktop().sounds().back().mode, platform::SoundMode::Loop);
        EXPECT_EQ(desktop().currentCursor(), c.cursor);
        release(W(100, 100));
        EXPECT_TRUE(desktop().sounds().back().stop) << c.sound << " stops";
    }
}

TEST_F(ToolTest, RulerLaysOneLineAndNoRubberBandWhenMagnified) {
    zoomAt(W(5, 5));  // picture (0, 0) at the canvas area's corner, each pixel 2 x 2 on screen
    chooseTool(scene::kRuler);  // size 4
    auto at = [](int x, int y) { return W(2 * x, 2 * y); };
    press(at(10, 10));
    moveTo(at(30, 60));
    EXPECT_EQ(shown(at(20, 35)), kRed) << "the band shows while the button is held";
    EXPECT_EQ(countCanvas(kRed), 0);
    release(at(50, 10));
    EXPECT_EQ(shown(at(20, 35)), kWhite) << "no band left on screen";
    // Four pixels wide (rows 8 to 11) and round at its ends.
    EXPECT_GT(marks(kWhite, kRed, Rect{8, 8, 53, 12}), 0);
    EXPECT_TRUE(canvasAt(30, 8) == kRed && canvasAt(30, 11) == kRed);
    // At size 1 the pointer rests on the canvas's far edge, just outside it: no band may stay there.
    room().objects[scene::kRuler].size = 1;
    stroke({at(10, 20), at(320, 20)});
    EXPECT_TRUE(showsTheScene()) << "a thin band left on the frame";
}

TEST_F(ToolTest, ScissorsCutCarryPasteAndLetGo) {
    chooseTool(scene::kScissors);
    stroke({W(200, 100), W(205, 140)});  // 5 wide: nothing is cut
    EXPECT_EQ(room().objects[scene::kScissors].active, 0);
    paint(Rect{624, 468, 634, 488}, kBlue);  // a mark in the picture's far corner
    scene::Present();
    // Dragged past both far edges, where the pointer is pinned: the box reaches them, last column
    // and row included.
    stroke({W(594, 448), W(650, 520), W(700, 560)});
    ASSERT_EQ(room().objects[scene::kScissors].param, 1) << "carrying";
    clickAt(W(300, 300));
    EXPECT_TRUE(canvasAt(310, 300) == kBlue && canvasAt(319, 319) == kBlue && canvasAt(309, 300) == kWhite);
    EXPECT_EQ(countCanvas(kBlue), 2 * 10 * 20) << "the cut stays where it was";
    moveTo(W(2, 100));  // the piece hangs over the frame
    desktop().setKeyState('C', true);  // C held during a move lets it go, without a trace
    moveTo(W(6, 104));
    EXPECT_EQ(room().objects[scene::kScissors].active, 0);
    desktop().setKeyState('C', false);
    EXPECT_TRUE(showsTheScene());
    // Magnified, a 40 x 40 cut of the screen lands as 20 x 20 picture pixels.
    zoomAt(W(5, 5));
    paint(room().picture, kWhite);
    paint(Rect{10, 10, 30, 30}, kBlue);
    scene::Present();
    stroke({W(20, 20), W(60, 60)});
    clickAt(W(200, 200));
    EXPECT_EQ(marks(kWhite, kBlue, Rect{10, 10, 110, 110}), 2 * 20 * 20);
    moveTo(W(2, 100));  // typed C lets the piece go too, also where it hangs over the frame
    desktop().typeKey('C'), pump();
    EXPECT_TRUE(showsTheScene());
}

TEST_F(ToolTest, RecolouringAFrontCanNeverPaintsOutsideIt) {
    const scene::Room& r = room();
    for (int can : {0, 5, 6, 7}) {
        const scene::Can& c = r.cans[can];
        auto others = [&] {  // the scene's bottom 96 rows, 640 wide, but for the can's top and bodies
            std::vector<Rgb> seen;
            for (int i = 0, x = 0, y = r.height - 96; i < 640 * 96; ++i, x = i % 640, y = r.height - 96 + i / 640)
                if (!tb_PtInRect(x, y, &c.top) && !tb_PtInRect(x, y, &c.bodies[0]) &&
                    !tb_PtInRect(x, y, &c.bodies[1]))
                    seen.push_back(canvasAt(x, y, r.sceneBuffer));
            return seen;
        };
        const std::vector<Rgb> before = others();
        // Black makes the label's shade the outline's; the next colour must stay on the label.
        scene::DrawCan(can, 0, 0, 0, true);
        scene::DrawCan(can, 65025, 0, 0, true);
        EXPECT_TRUE(others() == before) << "can " << can << " changed the scene around it";
    }
}

TEST_F(ToolTest, PaletteAcceptsOnlyAPickedColourAndADoubleClickedCanTakesIt) {
    Rect whole{};
    const int picture = tb_CreateBitmap(&whole, kBmpColourPalette, 24);
    scene::Color pink{};
    tb_GetPixel(picture, 250, 60, &pink.red, &pink.green, &pink.blue);
    const Point tick{140, 100}, cross{165, 100}, swatch{39, 172}, onIt{250, 60}, outside{20, 20};
    auto answer = [&](std::vector<Point> clicks) {
        desktop().answerDialog([=, this](platform::NativeWindow d) {
            for (Point p : clicks) desktop().click(p.x, p.y, d);
            desktop().typeKey(platform::kVkEscape, d);  // closes it when the clicks did not
        });
    };
    struct Case { std::vector<Point> clicks; int result; };
    for (const Case& c : {Case{{tick}, 0}, Case{{onIt, tick}, 1}, Case{{onIt, cross}, -1}, Case{{outside, swatch}, 0},
                          Case{{onIt, swatch}, 1}}) {
        answer(c.clicks);
        scene::Color chosen{1, 2, 3};
        EXPECT_EQ(tools::OpenColourPalette(chosen), c.result) << c.clicks.size();
        EXPECT_EQ(chosen, c.result == 1 ? pink : (scene::Color{1, 2, 3}));
    }
    // A double click on a can: with the palette cancelled the can keeps its colour and is chosen;
    // an accepted colour becomes the can's and the current one.
    const Point can = centreOf(room().cans[2].top);
    const scene::Color before = room().canColors[2];
    for (bool accept : {false, true}) {
        answer(accept ? std::vector<Point>{onIt, tick} : std::vector<Point>{cross});
        desktop().doubleClick(can.x, can.y);
        pump();
        EXPECT_EQ(room().canColors[2], accept ? pink : before);
        EXPECT_EQ(room().currentColor, accept ? pink : before);
    }
}
