// One-switch scanning on the headless desktop: the highlight's timer, where it goes, and what
// one key does there.
#include <gtest/gtest.h>

#include "app/switch_scan.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace {

class ScanTest : public RoomTest {
protected:
    void SetUp() override {}
    void startScanning(const char* settings = "", bool asked = true, int stepMs = 0) {
        useDesktop(platform::HeadlessConfig{800, 600, 24});
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << settings;
        shell::CommandLine line = shell::AskingScale(shell::kScaleNotGiven);
        line.switchScan = asked, line.scanStepMs = stepMs;
        ASSERT_EQ(shell::StartPictoria(line), -1);
    }
    void steps(int n) { for (int i = 0; i < n; ++i) desktop().waitMessage(-1), pump(); }  // the clock to each step
    void pick(int key = platform::kVkSpace) { desktop().typeKey(key), pump(); }
    bool stepOnto(int region) {  // at most one round of the room
        for (int i = 0; i < 60 && !tb_PtInRegion(scene::ScanHighlight().click.x, scene::ScanHighlight().click.y, region); ++i) steps(1);
        return tb_PtInRegion(scene::ScanHighlight().click.x, scene::ScanHighlight().click.y, region);
    }
};

// Off unless the settings or the command line turn it on; its timer paces each step by the
// asked time and is gone with the window; only the key named picks.
TEST_F(ScanTest, ScanningRunsItsTimerOnlyWhileOn) {
    struct Case { const char* settings; bool asked; int stepMs; bool on; uint32_t pace; int key; };
    for (const Case& c : {Case{"", false, 0, false, 0, platform::kVkSpace}, {"[Pictoria]\nswitch-scan = true\n", false, 0, true, 1200, platform::kVkSpace},
                          {"[Pictoria]\nswitch-scan = false\nscan-step-ms = 400\n", true, 0, true, 400, platform::kVkSpace},
                          {"[Pictoria]\nscan-step-ms = 400\nscan-key = f5\n", true, 900, true, 900, platform::kVkF1 + 4},
                          {"[Pictoria]\nscan-key = q\n", true, 0, true, 1200, 'Q'}}) {
        startScanning(c.settings, c.asked, c.stepMs);
        EXPECT_EQ(desktop().hasTimer(shell::Shell().mainNative, scene::kScanTimer), c.on) << c.settings;
        if (!c.on) continue;
        const Rect first = scene::ScanHighlight().rect;
        const uint32_t before = desktop().tickCount();
        steps(1);
        EXPECT_TRUE(desktop().tickCount() - before == c.pace && scene::ScanHighlight().rect != first) << c.settings;
        const int tool = room().currentTool;
        pick(c.key == platform::kVkSpace ? 'Q' : platform::kVkSpace);
        EXPECT_EQ(room().currentTool, tool);
        pick(c.key);
        EXPECT_NE(room().currentTool, tool) << c.settings;
    }
}

// Every tool on the table is reached in one round; a pick there chooses it with its sound, the
// glow is drawn round it at once, and it leaves the window as the scene is once it moves on.
TEST_F(ScanTest, ScanningReachesEveryToolAndAPickChoosesTheLitOne) {
    startScanning();
    for (int tray : {0, 4}) {
        if (tray == 4) putToysOnTable();
        for (int i = 0; i < scene::kObjectCount; ++i) {
            if (room().objects[i].tray != tray || room().objects[i].region == -1) continue;
            ASSERT_TRUE(stepOnto(room().objects[i].region)) << "tool " << i;
            const Rect lit = scene::ScanHighlight().rect;
            EXPECT_EQ(shown(Point{lit.left - 1, lit.top + lit.height() / 2}), (Rgb{255, 250, 170})) << i;
            desktop().clearRecords();
            pick();
            EXPECT_TRUE(room().currentTool == i && !desktop().sounds().empty() && desktop().sounds()[0].soundId == kWavChoose) << i;
            steps(1);
            const Rect next = scene::ScanHighlight().rect, glowing{next.left - 3, next.top - 3, next.right + 3, next.bottom + 3};
            for (Point p : {Point{lit.left - 1, lit.top}, Point{lit.right, lit.bottom - 1}, Point{lit.left - 3, lit.bottom + 2}})
                if (!tb_PtInRect(p.x, p.y, &glowing)) EXPECT_EQ(shown(p), canvasAt(p.x, p.y, room().sceneBuffer)) << i;
        }
    }
}

// On the canvas (634 x 488 from (147, 16)), picked with a sound: the line's third stop and the marker's second, then
// the line's eighth and the marker's ninth, each at the middle of its tenth, give a Pencil
// stroke between those two points of the picture, and nothing else.
TEST_F(ScanTest, PicksOnTheCanvasPaintAStrokeFromTheFirstPointToTheSecond) {
    startScanning();
    for (int i = 0; i < 60 && scene::ScanHighlight().rect != room().canvasArea; ++i) steps(1);
    pick();
    const auto& heard = desktop().sounds();
    ASSERT_TRUE(scene::CurrentScanPhase() == scene::ScanPhase::Line && !heard.empty() && heard.back().soundId == kWavControl);
    struct Pick { int lineStops, pointStops; Point picture; };
    for (const Pick& p : {Pick{2, 1, {95, 122}}, Pick{7, 8, {538, 366}}}) {
        steps(p.lineStops), pick(), steps(p.pointStops);
        EXPECT_EQ(scene::ScanHighlight().click, W(p.picture.x, p.picture.y));
        pick();
    }
    EXPECT_EQ(scene::CurrentScanPhase(), scene::ScanPhase::Room);
    for (Point on : {Point{95, 122}, Point{316, 244}, Point{538, 366}}) EXPECT_EQ(canvasAt(on.x, on.y), kRed) << on.x;
    EXPECT_GT(marks(kWhite, kRed, Rect{88, 115, 546, 374}), 400);
}

}  // namespace
