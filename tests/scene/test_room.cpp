// The room on a headless desktop: layout, choosing tools, cans, hotspots, zoom, undo and display
// changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "tests/support/room_fixture.h"
#include "dialogs/dialogs.h"
#include "tools/tools.h"

TEST_F(RoomTest, ToolsAreChosenByTheirShapeAndOnlyOnTheirTray) {
    clickAt(Point{60, 60});  // on the wall of the shelf strip: nothing happens
    EXPECT_FALSE(room().undoAvailable || room().modified);
    chooseTool(scene::kBrush);
    clickAt(Point{364, room().height - 35});  // inside the Pencil's rectangle but above its slanted shape
    clickAt(Point{230, room().height - 85});  // where only the Paintball Gun lies, while its tray is hidden
    EXPECT_EQ(room().currentTool, scene::kBrush);
    putToysOnTable();
    clickAt(Point{230, room().height - 85});
    EXPECT_EQ(room().currentTool, scene::kPaintballGun);
    EXPECT_EQ(desktop().sounds().back().soundId, 1034);
    // A stroke that ends over the Tool Box is no click on it; a click brings the first tray back.
    const Point box = centreOf(room().hotspots[scene::kToolBox].pointer);
    stroke({W(50, 50), W(10, 60), box});
    EXPECT_TRUE(room().currentTray == 4 && room().modified);
    clickAt(box);
    EXPECT_EQ(room().currentTray, 0);
}

TEST_F(RoomTest, PencilDotsHaveTheSizeTheMonitorBarsChoose) {
    clickAt(W(100, 100));
    const int dot = countCanvas(kRed);
    EXPECT_TRUE(dot >= 9 && dot <= 16) << dot;  // diameter 4: between the inscribed and the full square
    EXPECT_TRUE(canvasAt(100, 100) == kRed && canvasAt(100, 97) == kWhite);
    // x 10 belongs to the second bar's widened rectangle; the gap at 18..19 keeps the size.
    for (auto [px, size] : std::vector<std::pair<int, int>>{{4, 1}, {19, 1}, {10, 4}, {9, 1}, {85, 32}, {7, 1}}) {
        clickMonitor(px, 40);
        EXPECT_EQ(room().objects[scene::kPencil].size, size) << px;
    }
    clickAt(W(300, 200));
    EXPECT_EQ(countCanvas(kRed), dot + 1) << "size 1 is one pixel";
    EXPECT_EQ(canvasAt(300, 200), kRed);
}

TEST_F(RoomTest, CogMirrorsAboutEachStrokesOwnStartPoint) {
    putToysOnTable();
    chooseTool(scene::kCog);
    clickMonitor(10, 30);  // size 8
    stroke({W(200, 200), W(260, 200)});  // two-way (test_room.sh checks the mirror image)
    clickMonitor(67, 67);  // four-way, from a new start point: the images land in all four quadrants about it
    stroke({W(400, 300), W(440, 340)});
    for (Point p : {Point{430, 330}, Point{370, 330}, Point{430, 270}, Point{370, 270}})
        EXPECT_EQ(canvasAt(p.x, p.y), kRed) << p.x << "," << p.y;
    EXPECT_EQ(canvasAt(170, 230), kWhite) << "not about the first stroke's start";
}

TEST_F(RoomTest, RulerPressOnTheFramesEdgeIsPulledInsideTheCanvas) {
    chooseTool(scene::kRuler);
    press(Point{147, 16});
    EXPECT_EQ(room().lastPointer, (Point{149, 18}));
    EXPECT_EQ(desktop().warps().empty() ? Point{} : desktop().warps().back(), (Point{149, 18}));
}

TEST_F(RoomTest, UndoRestoresOnceAndThenDoesNothing) {
    const Point cleaner = centreOf(room().hotspots[scene::kCleaner].pointer);
    for (Point p : {W(50, 50), W(80, 50)}) clickAt(p);
    desktop().clearRecords();
    clickAt(cleaner);
    EXPECT_TRUE(canvasAt(80, 50) == kWhite && shown(W(80, 50)) == kWhite && canvasAt(50, 50) == kRed);
    clickAt(cleaner);
    EXPECT_EQ(canvasAt(50, 50), kRed);
    EXPECT_EQ(desktop().sounds().size() == 1 ? desktop().sounds()[0].soundId : 0, 1028) << "once, the first time";
}

TEST_F(RoomTest, ZoomShowsTheRightPartAndStrokesLandWhereThePointerIs) {
    scene::Room& r = room();
    tb_SetPixel(r.canvas, 631, 485, 0, 65025, 0);  // a mark near the bottom-right corner
    // The click becomes the centre, clamped so the view stays inside the picture (634 x 488).
    struct Case { Point click, origin; };
    for (Case c : {Case{W(5, 5), {0, 0}}, Case{W(300, 200), {142, 78}},
                   Case{{r.canvasArea.right - 5, r.canvasArea.bottom - 5}, {317, 244}}}) {
        if (r.zoomed) clickSpyglass();
        EXPECT_FALSE(r.zoomed);
        zoomAt(c.click);
        EXPECT_EQ(std::pair(r.zoomed, r.zoomOrigin), std::pair(true, c.origin));
    }
    // The mark shows as 2 x 2 screen pixels, and a click paints the picture pixel under the pointer.
    const Point mark = W(2 * (631 - 317), 2 * (485 - 244));
    EXPECT_TRUE(shown(mark) == (Rgb{0, 255, 0}) && shown(Point{mark.x + 1, mark.y + 1}) == (Rgb{0, 255, 0}));
    EXPECT_EQ(shown(Point{mark.x + 2, mark.y + 2}), kWhite);
    clickAt(W(2 * (600 - 317), 2 * (400 - 244)));
    EXPECT_EQ(canvasAt(600, 400), kRed);
    // The spyglass, then a click outside the canvas: no zoom, and the picking cursor goes.
    clickSpyglass();
    clickSpyglass();
    moveTo(W(10, 10));
    EXPECT_EQ(desktop().currentCursor(), 212);
    clickAt(Point{60, 60});
    EXPECT_FALSE(r.zoomed || r.pickingZoom);
    EXPECT_EQ(desktop().currentCursor(), 204);
}

TEST_F(RoomTest, DisplayChangeScalesThePictureKeepsTheZoomInsideAndResetsToolSettings) {
    start(1024, 768);
    scene::Room& r = room();
    clickMonitor(85, 40);  // Pencil size 32
    paint(Rect{0, 0, 429, 656}, kBlue);  // the left half
    zoomAt(Point{r.canvasArea.right - 5, r.canvasArea.bottom - 5});
    chooseTool(scene::kBrush);
    clickMonitor(85, 40);  // Brush size 36
    press(W(50, 50));  // at picture (454, 353), the undo copy taken
    desktop().changeDisplay(640, 480, 24);
    pump();
    EXPECT_TRUE(desktop().sounds().back().stop) << "the Brush's loop stops";
    release(W(50, 50));
    EXPECT_EQ(std::pair(tb_GetBitmapWidth(r.canvas), tb_GetBitmapHeight(r.canvas)), std::pair(474, 368));
    EXPECT_TRUE(canvasAt(10, 10) == kBlue && canvasAt(230, 300) == kBlue);
    EXPECT_TRUE(canvasAt(245, 300) == kWhite && canvasAt(473, 367) == kWhite);
    // The scaled picture is what undo brings back.
    EXPECT_TRUE(r.undoAvailable && canvasAt(10, 10, r.undo) == kBlue);
    // Settings return to their start values; the tool and tray stay; the tools follow the new height.
    EXPECT_EQ(std::pair(r.objects[scene::kPencil].size, r.objects[scene::kBrush].size), std::pair(4, 24));
    EXPECT_EQ(r.currentTool, scene::kBrush);
    EXPECT_EQ(r.objects[scene::kPencil].rect, (Rect{363, 444, 428, 458}));
    // Still magnified, and the picture's bottom-right corner shows in the canvas area's.
    ASSERT_TRUE(r.zoomed);
    tb_SetPixel(r.canvas, r.picture.right - 1, r.picture.bottom - 1, 0, 0, 65025);
    scene::Present();
    EXPECT_EQ(shown(Point{r.canvasArea.right - 1, r.canvasArea.bottom - 1}), kBlue);
}

TEST_F(FolderTest, PaintedDialogsComeToTheMiddleOfAShrunkScreenOverTheNewRoom) {
    for (const auto& [open, after] : std::vector<std::pair<void (*)(), Rect>>{
             {[] { scene::RunCommand(scene::kCommandRemote); }, {206, 120, 434, 360}},
             {[] { scene::Color c; tools::OpenColourPalette(c); }, {135, 119, 504, 361}},
             {[] { scene::RunCommand(scene::kCommandGallery); }, {116, 31, 524, 448}},
             {[] { scene::RunCommand(scene::kCommandPreferences); }, {110, 80, 530, 399}},
             {[] { dialogs::TextSettingsDialog(); }, {72, 55, 567, 425}}}) {
        start(1024, 768);
        paint(Rect{0, 0, 200, 200}, kBlue);  // behind the remote's and the palette's corner only in the new room
        desktop().answerDialog([&](platform::NativeWindow d) {
            desktop().changeDisplay(640, 480, 24);
            desktop().then([&, d] { EXPECT_TRUE(desktop().windowRect(d) == after && (after.width() > 400 || shown(Point{15, 0}, d) == kBlue)); });
        });
        open();
    }
}

TEST_F(RoomTest, ACansTopOrBodyChoosesItsColour) {
    clickAt(centreOf(room().cans[3].top));
    EXPECT_EQ(room().currentColor, (scene::Color{0, 65025, 0}));
    EXPECT_EQ(room().objects[scene::kPencil].green, 65025);
    clickAt(Point{484, room().height - 60});
    EXPECT_EQ(room().currentColor, (scene::Color{65025, 65025, 65025}));
}

TEST_F(RoomTest, SpeakerSwitchesSoundAndSavesThePreference) {
    const Point speaker{room().speaker.left + 5, room().speaker.top + 5};
    clickAt(speaker);
    EXPECT_EQ(std::pair(shell::Prefs().soundOn, tb_GetSoundSwitch()), std::pair(false, 0));
    EXPECT_EQ(FileBytes(prefsPath()).substr(0, 4), std::string(4, '\0'));
    desktop().clearRecords();
    chooseTool(scene::kEraser);
    EXPECT_TRUE(desktop().sounds().empty()) << "no sound while off";
    clickAt(speaker);
    EXPECT_TRUE(shell::Prefs().soundOn);
}

TEST_F(RoomTest, HoverLightsHotspotsExceptTheInertOnes) {
    // Last, off the Printer onto the canvas: its light, label and hand go.
    for (int spot : {scene::kRock, scene::kBooks, scene::kMagicHat, scene::kPrinter, -1}) {
        moveTo(spot < 0 ? W(20, 20) : centreOf(room().hotspots[spot].pointer));
        const bool lit = spot == scene::kPrinter;
        EXPECT_EQ(room().hotspots[spot < 0 ? scene::kPrinter : spot].isLit, lit) << spot;
        EXPECT_EQ(room().labelShown, lit ? 716 : 0) << spot;
        EXPECT_EQ(desktop().currentCursor(), lit ? 202 : spot < 0 ? 204 : 203) << spot;  // hand, Pencil, arrow
    }
}
