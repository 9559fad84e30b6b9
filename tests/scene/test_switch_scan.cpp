// One-switch scanning on the headless desktop: the highlight's timer, where it goes, and what
// one key does there.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/pictures.h"
#include "app/scene.h"
#include "app/switch_scan.h"
#include "dialogs/dialogs.h"
#include "tools/tools.h"
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
                          {"[Pictoria]\nscan-key = q\n", true, 0, true, 1200, 'Q'},
                          {"[Pictoria]\nkeyboard-pointer = true\n", true, 0, true, 1200, platform::kVkSpace}}) {
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
            const Rect next = scene::ScanHighlight().rect, glowing{next.left - 5, next.top - 5, next.right + 5, next.bottom + 5};
            for (Point p : {Point{lit.left - 1, lit.top}, Point{lit.right, lit.bottom - 1}, Point{lit.left - 5, lit.bottom + 4}})
                if (!tb_PtInRect(p.x, p.y, &glowing)) { EXPECT_EQ(shown(p), canvasAt(p.x, p.y, room().sceneBuffer)) << i; }
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

// In each painted dialog the highlight goes round every button the dialog has, one a step, and
// a pick when it is on the way out closes the dialog as a click there does.
TEST_F(ScanTest, InEachPaintedDialogTheHighlightReachesEveryButtonAndAPickOnTheWayOutCloses) {
    dialogs::PreferenceChoices choices;
    scene::Color colour{};
    struct Case { const char* name; std::function<int()> open; size_t buttons; Rect out; int closed; };
    const Case cases[] = {
        {"remote", [] { return scene::RemoteDialog(); }, 9, {20, 221, 81, 235}, -1},
        {"browser", [] { return scene::ChoosePicture(); }, 4, {207, 366, 252, 412}, -1},
        {"text", [] { return dialogs::TextSettingsDialog(); }, 10, {414, 288, 445, 326}, -1},
        {"preferences", [&] { return dialogs::PreferencesDialog(choices); }, 10, {327, 235, 363, 272}, -1},
        {"palette", [&] { return tools::OpenColourPalette(colour); }, 3, {154, 94, 173, 113}, -1},
        {"grown-up", [] { return int(dialogs::AskGrownUp()); }, 2, {299, 176, 336, 213}, 0},
    };
    startScanning();
    for (const Case& c : cases) {
        std::vector<Rect> seen;
        std::set<std::tuple<int, int, int, int>> distinct;
        std::function<void(platform::NativeWindow)> look = [&](platform::NativeWindow d) {
            seen.push_back(scene::ScanHighlight().rect);
            const Rect& lit = seen.back();  // once it has moved, the glow's inner ring, in the dialog's own window
            if (seen.size() > 1 && lit != seen[seen.size() - 2]) {
                EXPECT_EQ(shown(Point{lit.left - 1, lit.top + lit.height() / 2}, d), (Rgb{255, 250, 170})) << c.name << seen.size();
            }
            distinct.insert({lit.left, lit.top, lit.right, lit.bottom});
            if ((distinct.size() >= c.buttons && lit == c.out) || seen.size() > 3 * c.buttons) return desktop().typeKey(platform::kVkSpace, d), desktop().typeKey(platform::kVkEscape, d);  // Escape: no hang if the pick fails
            desktop().waitMessage(-1), desktop().then([&, d] { look(d); });  // the next step, then a look
        };
        desktop().answerDialog([&](platform::NativeWindow d) { look(d); });
        EXPECT_EQ(c.open(), c.closed) << c.name;
        EXPECT_TRUE(distinct.size() == c.buttons && seen.back() == c.out) << c.name;
    }
}

// A colour from the palette by switch: its colours are lit first, a pick starts the line, whose
// fourth stop and the marker's eighth give (273, 87) of the palette, in the colour wheel; the
// tick, two places on, keeps the colour under that point.
TEST_F(ScanTest, APaletteColourIsPickedWithALineAndAPointThenKeptWithTheTick) {
    startScanning();
    int stepsBefore[] = {0, 3, 7, 2};
    size_t presses = 0;
    Point picked{};
    std::function<void(platform::NativeWindow)> drive = [&](platform::NativeWindow d) {
        if (presses == std::size(stepsBefore)) return;
        if (stepsBefore[presses] > 0) --stepsBefore[presses], desktop().waitMessage(-1);
        else picked = ++presses == 3 ? scene::ScanHighlight().click : picked, desktop().typeKey(platform::kVkSpace, d);
        desktop().then([&, d] { drive(d); });
    };
    desktop().answerDialog(drive);
    scene::Color colour{};
    ASSERT_EQ(tools::OpenColourPalette(colour), 1);
    Rect whole{};
    const int palette = tb_CreateBitmap(&whole, kBmpColourPalette, 24);
    scene::Color under{};
    tb_GetPixel(palette, picked.x, picked.y, &under.red, &under.green, &under.blue), tb_DisposeBitmap(palette);
    EXPECT_TRUE(picked == (Point{273, 87}) && colour.red == under.red && colour.green == under.green && colour.blue == under.blue);
    EXPECT_FALSE(colour.red == colour.green && colour.green == colour.blue) << "a grey: off the wheel";
}

}  // namespace
