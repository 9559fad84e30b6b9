// One-switch scanning on the headless desktop: the highlight's timer, where it goes, and what
// one key does there.
#include <gtest/gtest.h>

#include <fstream>

#include "app/switch_scan.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace {

using platform::kVkSpace;

class ScanTest : public RoomTest {
protected:
    void SetUp() override {}
    void startScanning(const char* settings = "", bool asked = true, int stepMs = 0) {
        useDesktop(platform::HeadlessConfig{800, 600, 24});
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << settings;
        shell::CommandLine line = shell::AskingScale(shell::kScaleNotGiven);
        line.switchScan = asked;
        line.scanStepMs = stepMs;
        ASSERT_EQ(shell::StartPictoria(line), -1);
    }
    bool timerSet() { return desktop().hasTimer(shell::Shell().mainNative, scene::kScanTimer); }
    // The clock runs to the highlight's next step.
    void step() { desktop().waitMessage(-1), pump(); }
    void pick(int key = kVkSpace) { desktop().typeKey(key), pump(); }
    // Steps until the highlight's click lands in `region`, at most one round of the room.
    bool stepOnto(int region) {
        for (int i = 0; i < 60; ++i, step()) {
            const Point c = scene::ScanHighlight().click;
            if (tb_PtInRegion(c.x, c.y, region)) return true;
        }
        return false;
    }
    void stepTimes(int n) {
        for (int i = 0; i < n; ++i) step();
    }
    static constexpr Rgb kGlowInner{255, 250, 170};
};

// Off unless the settings or the command line turn it on; its timer paces each step by the
// asked time and is gone with the window; the key it takes is the one named.
TEST_F(ScanTest, ScanningRunsItsTimerOnlyWhileOn) {
    struct Case { const char* settings; bool asked; int stepMs; bool on; uint32_t pace; int key; };
    for (const Case& c : {Case{"", false, 0, false, 0, kVkSpace}, {"[Pictoria]\nswitch-scan = true\n", false, 0, true, 1200, kVkSpace},
                          {"[Pictoria]\nswitch-scan = false\nscan-step-ms = 400\n", true, 0, true, 400, kVkSpace},
                          {"[Pictoria]\nscan-step-ms = 400\nscan-key = f5\n", true, 900, true, 900, platform::kVkF1 + 4},
                          {"[Pictoria]\nscan-key = q\n", true, 0, true, 1200, 'Q'}}) {
        startScanning(c.settings, c.asked, c.stepMs);
        EXPECT_EQ(timerSet(), c.on) << c.settings;
        if (!c.on) continue;
        const scene::ScanSpot first = scene::ScanHighlight();
        const uint32_t before = desktop().tickCount();
        step();
        EXPECT_EQ(desktop().tickCount() - before, c.pace) << c.settings;
        EXPECT_NE(scene::ScanHighlight().rect, first.rect);
        const int tool = room().currentTool;
        pick(c.key == kVkSpace ? 'Q' : kVkSpace);  // not the scanning key: nothing chosen
        EXPECT_EQ(room().currentTool, tool);
        pick(c.key);
        EXPECT_NE(room().currentTool, tool) << c.settings;
        desktop().destroyWindow(desktop().firstWindow());
        EXPECT_FALSE(timerSet());
    }
}

// Every tool on the table is reached in one round; a pick there chooses it with its sound, the
// glow is drawn round it at once, and it leaves the window as the scene is once it moves on.
TEST_F(ScanTest, ScanningReachesEveryToolAndAPickChoosesTheLitOne) {
    startScanning();
    for (int tray : {0, 4}) {
        if (tray == 4) putToysOnTable();
        for (int i = 0; i < scene::kObjectCount; ++i) {
            const scene::SceneObject& o = room().objects[i];
            if (o.tray != tray || o.region == -1) continue;
            ASSERT_TRUE(stepOnto(o.region)) << "tool " << i;
            const Rect lit = scene::ScanHighlight().rect;
            EXPECT_EQ(shown(Point{lit.left - 1, lit.top + lit.height() / 2}), kGlowInner) << i;
            desktop().clearRecords();
            pick();
            EXPECT_EQ(room().currentTool, i);
            EXPECT_TRUE(!desktop().sounds().empty() && desktop().sounds()[0].soundId == kWavChoose) << i;
            step();
            const Rect next = scene::ScanHighlight().rect;
            const Rect glowing{next.left - 3, next.top - 3, next.right + 3, next.bottom + 3};
            for (Point p : {Point{lit.left - 1, lit.top}, Point{lit.right, lit.bottom - 1}, Point{lit.left - 3, lit.bottom + 2}})
                if (!tb_PtInRect(p.x, p.y, &glowing)) EXPECT_EQ(shown(p), canvasAt(p.x, p.y, room().sceneBuffer)) << "tool " << i << " at " << p.x << "," << p.y;
        }
    }
}

// On the canvas: the line's third stop, the marker's second, then the line's eighth and the
// marker's ninth give a Pencil stroke between those two points of the picture, and nothing else.
TEST_F(ScanTest, PicksOnTheCanvasPaintAStrokeFromTheFirstPointToTheSecond) {
    startScanning();
    int steps = 0;
    while (scene::ScanHighlight().rect != room().canvasArea && steps++ < 60) step();
    pick();
    ASSERT_EQ(scene::CurrentScanPhase(), scene::ScanPhase::Line);
    // The canvas area is 634 x 488 from (147, 16): stops at the middle of tenths of it.
    struct Pick { int lineStops, pointStops; Point picture; };
    for (const Pick& p : {Pick{2, 1, {95, 122}}, Pick{7, 8, {538, 366}}}) {
        stepTimes(p.lineStops), pick();
        stepTimes(p.pointStops);
        EXPECT_EQ(scene::ScanHighlight().click, W(p.picture.x, p.picture.y));
        pick();
    }
    EXPECT_EQ(scene::CurrentScanPhase(), scene::ScanPhase::Room);
    for (Point on : {Point{95, 122}, Point{316, 244}, Point{538, 366}}) EXPECT_EQ(canvasAt(on.x, on.y), kRed) << on.x;
    EXPECT_GT(marks(kWhite, kRed, Rect{88, 115, 546, 374}), 400);
}

}  // namespace
