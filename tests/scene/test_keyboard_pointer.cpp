// The keyboard pointer, headless: the arrows and keypad move the pointer, Space is the button.
#include "tests/support/room_fixture.h"
namespace {
using namespace platform;
struct KeyboardPointerTest : RoomTest {
    void SetUp() override { start(); }
    void start() { startWith("keyboard-pointer = true"); }
    void hold(int key, int repeats) {  // auto-repeated every 40 ms
        for (int i = 0; i <= repeats; ++i) desktop().sleep(i ? 40 : 0), desktop().keyDown(key), pump();
        desktop().keyUp(key), pump();
    }
    void steer(Point to, NativeWindow w = 0) {  // queues taps (2 px each) to within a pixel of `to`
        const Rect r = desktop().windowRect(w != 0 ? w : desktop().firstWindow());
        const Point a = desktop().cursorPos();
        for (int i = 0, d = to.x + r.left - a.x; i < std::abs(d) / 2; ++i) desktop().typeKey(d > 0 ? kVkRight : kVkLeft, w);
        for (int i = 0, d = to.y + r.top - a.y; i < std::abs(d) / 2; ++i) desktop().typeKey(d > 0 ? kVkDown : kVkUp, w);
    }
};
// From (100, 100); held, a step is 2, 5, 10 then 20 px after 0.4, 1.2 and 2.4 s; the window stops it.
TEST_F(KeyboardPointerTest, OffByDefaultDirectionsAndTheSpeedCurve) {
    const char* on = "keyboard-pointer = true";
    struct Case { const char* setting; bool option; int key, repeats; Point to; } cases[] = {
        {"", false, kVkRight, 3, {100, 100}}, {"keyboard-pointer = false", false, kVkRight, 0, {100, 100}}, {"", true, kVkLeft, 0, {98, 100}},
        {on, false, kVkPadUpLeft, 0, {98, 98}}, {on, false, kVkNumpad0 + 3, 0, {102, 102}}, {on, false, 'A', 5, {100, 100}},
        {on, false, kVkRight, 10, {122, 100}}, {on, false, kVkRight, 30, {222, 100}}, {on, false, kVkDown, 60, {100, 522}},
        {on, false, kVkRight, 70, {722, 100}}, {on, false, kVkLeft, 30, {0, 100}},
    };
    for (const Case& c : cases) {
        startWith(c.setting, {.understood = true, .keyboardPointer = c.option, .errorText = {}});
        desktop().moveTo(100, 100), pump(), hold(c.key, c.repeats);
        EXPECT_EQ(desktop().cursorPos(), c.to) << c.setting << c.option << " " << c.key << " " << c.repeats;
    }
}
// Space held (and auto-repeated) while the arrows move paints what the mouse paints along the same points.
TEST_F(KeyboardPointerTest, AStrokeWithTheKeysLandsWhereTheMousesDoes) {
    for (int tool : {scene::kBrush, scene::kRuler}) {
        start(), chooseTool(tool), steer(W(40, 40)), pump();
        const Point from = desktop().cursorPos();
        const size_t first = desktop().warps().size();
        desktop().keyDown(kVkSpace), pump(), hold(kVkRight, 20), desktop().keyDown(kVkSpace), hold(kVkDown, 8), desktop().keyUp(kVkSpace), pump();
        const std::string keys = shownBytes();
        const std::vector<Point> path(desktop().warps().begin() + first, desktop().warps().end());
        start(), chooseTool(tool), desktop().moveTo(from.x, from.y), desktop().press(from.x, from.y);
        for (Point p : path) desktop().moveTo(p.x, p.y);
        desktop().release(path.back().x, path.back().y), pump();
        EXPECT_TRUE(shownBytes() == keys && countCanvas(kRed) > 20) << tool;
    }
}
// The Scissors: Space held while the arrows go cuts a piece, the arrows carry it and a tap of
// Space puts a copy down, where the mouse along the same points puts it.
TEST_F(KeyboardPointerTest, TheScissorsCutCarryAndDropAPieceAsTheMouseDoes) {
    const auto ready = [this] { start(), paint(Rect{40, 40, 60, 60}, kBlue), scene::Present(), chooseTool(scene::kScissors); };
    ready(), steer(W(30, 30)), pump();
    const Point from = desktop().cursorPos();
    const size_t first = desktop().warps().size();
    desktop().keyDown(kVkSpace), pump(), hold(kVkRight, 16), desktop().keyDown(kVkSpace), hold(kVkDown, 16), desktop().keyUp(kVkSpace), pump();
    ASSERT_EQ(room().objects[scene::kScissors].param, 1) << "carrying";
    const size_t cut = desktop().warps().size();
    hold(kVkRight, 30), desktop().typeKey(kVkSpace), pump();
    const std::string keys = shownBytes();
    const std::vector<Point> path(desktop().warps().begin() + first, desktop().warps().end());
    ready(), press(from);
    for (size_t i = 0; i < path.size(); ++i) i + 1 == cut - first ? release(path[i]) : moveTo(path[i]);
    clickAt(path.back());
    EXPECT_TRUE(shownBytes() == keys && countCanvas(kBlue) > 20 * 20) << countCanvas(kBlue);
}
// Two taps of Space on a can within half a second are a double click, which opens the palette.
TEST_F(KeyboardPointerTest, TwoQuickTapsOnACanOpenThePalette) {
    for (auto [gapMs, opens] : {std::pair{100u, true}, {450u, true}, {600u, false}}) {
        start(), steer(centreOf(room().cans[2].top)), pump();
        bool opened = false;
        desktop().answerDialog([&](NativeWindow d) { opened = true, desktop().typeKey(kVkEscape, d); });
        desktop().typeKey(kVkSpace), pump(), desktop().sleep(gapMs), desktop().typeKey(kVkSpace), pump();
        EXPECT_EQ(opened, opens) << gapMs;
    }
}
// The menu key, or Shift+F10, opens the grown-ups' menu at the pointer; F10 alone does not.
TEST_F(KeyboardPointerTest, TheMenuKeyIsTheRightButton) {
    for (auto [shift, key, menus] : {std::tuple{false, kVkApps, 1u}, {true, kVkF10, 1u}, {false, kVkF10, 0u}}) {
        start(), moveTo(W(50, 60)), desktop().setKeyState(kVkShift, shift), desktop().typeKey(key), pump();
        EXPECT_TRUE(desktop().menus().size() == menus && (menus == 0 || desktop().menus()[0].at == W(50, 60))) << key;
    }
}
TEST_F(KeyboardPointerTest, EveryHotspotAndTheRemotesOpenButtonAreReachedAndPressed) {
    for (int spot = 0; spot < scene::kHotspotCount; ++spot) {
        moveTo(W(20, 20)), steer(centreOf(room().hotspots[spot].pointer)), pump();
        EXPECT_TRUE(tb_PtInRect(desktop().cursorPos().x, desktop().cursorPos().y, &room().hotspots[spot].pointer)) << spot;
    }
    desktop().answerDialog([this](NativeWindow d) {  // a first tap brings the pointer into the remote
        desktop().typeKey(kVkDown, d), desktop().then([this, d] { steer({62, 155}, d), desktop().typeKey(kVkSpace, d); });
    });
    steer(centreOf(room().hotspots[scene::kRemote].pointer)), desktop().typeKey(kVkSpace), pump();
    EXPECT_EQ(desktop().fileDialogs().size(), 1u);
}
}  // namespace
