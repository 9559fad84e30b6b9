// The keyboard pointer, headless: the arrows and keypad move the pointer, Space is the button.
#include "platform/keyboard_pointer.h"
#include "tests/support/room_fixture.h"

namespace {
using namespace platform;

class KeyboardPointerTest : public RoomTest {
protected:
    void SetUp() override { startWith("keyboard-pointer = true", false); }
    void startWith(const std::string& setting, bool option) {
        useDesktop(HeadlessConfig{800, 600, 24});
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << "[Pictoria]\n" << setting << "\n";
        ASSERT_EQ(shell::StartPictoria({.understood = true, .keyboardPointer = option, .errorText = {}}), -1);
    }
    // As the program's loop does: every message through the keyboard pointer first.
    void pump() {
        for (Message m; desktop().peekMessage(m) && m.kind != MsgKind::Quit;)
            if (KeyboardPointerFilter(desktop(), m, false)) desktop().dispatchMessage(m);
    }
    // `key` pressed and auto-repeated `repeats` times, 40 ms apart, then let go.
    void hold(int key, int repeats) {
        desktop().keyDown(key), pump();
        for (int i = 0; i < repeats; ++i) desktop().sleep(40), desktop().keyDown(key), pump();
        desktop().keyUp(key), pump();
    }
    // Queues the taps (two pixels each) that bring the pointer within a pixel of `to` in window `w`.
    void steer(Point to, NativeWindow w = 0) {
        const Rect r = desktop().windowRect(w != 0 ? w : desktop().firstWindow());
        const Point a = desktop().cursorPos();
        for (int i = 0, d = to.x + r.left - a.x; i < std::abs(d) / 2; ++i) desktop().typeKey(d > 0 ? kVkRight : kVkLeft, w);
        for (int i = 0, d = to.y + r.top - a.y; i < std::abs(d) / 2; ++i) desktop().typeKey(d > 0 ? kVkDown : kVkUp, w);
    }
    std::vector<Rgb> canvas() {
        std::vector<Rgb> all;
        for (int y = 0; y < room().picture.bottom; ++y)
            for (int x = 0; x < room().picture.right; ++x) all.push_back(canvasAt(x, y));
        return all;
    }
};

TEST_F(KeyboardPointerTest, OffUnlessTheSettingOrTheOptionTurnsItOn) {
    struct Case { const char* setting; bool option, moves; } cases[] = {
        {"", false, false}, {"keyboard-pointer = false", false, false},
        {"keyboard-pointer = true", false, true}, {"", true, true},
    };
    for (const Case& c : cases) {
        startWith(c.setting, c.option);
        desktop().moveTo(100, 100), pump(), hold(kVkRight, 0);
        EXPECT_EQ(desktop().cursorPos().x, c.moves ? 102 : 100) << c.setting << c.option;
    }
}

// Each row from (100, 100): the step grows with the time held (2, 5, 10, then 20 px), the window stops it.
TEST_F(KeyboardPointerTest, DirectionsAndTheSpeedCurve) {
    struct Case { int key, repeats; Point to; } cases[] = {
        {kVkLeft, 0, {98, 100}},        {kVkPadUpLeft, 0, {98, 98}},   {kVkNumpad0 + 3, 0, {102, 102}},
        {kVkRight, 10, {122, 100}},     {kVkRight, 30, {222, 100}},    {kVkDown, 60, {100, 522}},
        {kVkRight, 70, {722, 100}},     {kVkLeft, 30, {0, 100}},       {'A', 5, {100, 100}},
    };
    for (const Case& c : cases) {
        desktop().moveTo(100, 100), pump(), hold(c.key, c.repeats);
        EXPECT_EQ(desktop().cursorPos(), c.to) << c.key << " " << c.repeats;
    }
}

// Space held (its auto-repeat too) while the arrows move paints what the mouse paints along the same points.
TEST_F(KeyboardPointerTest, AStrokeWithTheKeysLandsWhereTheMousesDoes) {
    for (int tool : {scene::kBrush, scene::kRuler}) {
        startWith("keyboard-pointer = true", false), chooseTool(tool);
        steer(W(40, 40)), pump();
        const Point from = desktop().cursorPos();
        const size_t before = desktop().warps().size();
        desktop().keyDown(kVkSpace), pump(), hold(kVkRight, 20), desktop().keyDown(kVkSpace), hold(kVkDown, 8);
        desktop().keyUp(kVkSpace), pump();
        const std::vector<Rgb> keys = canvas();
        EXPECT_GT(std::count_if(keys.begin(), keys.end(), [](Rgb c) { return c != kWhite; }), 100) << tool;
        paint(room().picture, kWhite);
        desktop().moveTo(from.x, from.y), desktop().press(from.x, from.y);
        for (size_t i = before; i < desktop().warps().size(); ++i) desktop().moveTo(desktop().warps()[i].x, desktop().warps()[i].y);
        desktop().release(desktop().cursorPos().x, desktop().cursorPos().y), RoomTest::pump();
        EXPECT_TRUE(canvas() == keys) << tool;
    }
}

TEST_F(KeyboardPointerTest, EveryHotspotAndTheRemotesButtonsAreReachedAndPressed) {
    for (int spot = 0; spot < scene::kHotspotCount; ++spot) {
        const Point c = centreOf(room().hotspots[spot].pointer);
        moveTo(W(20, 20)), moveTo(c);
        const int cursor = desktop().currentCursor();
        moveTo(W(20, 20)), steer(c), pump();
        EXPECT_TRUE(tb_PtInRect(desktop().cursorPos().x, desktop().cursorPos().y, &room().hotspots[spot].pointer)) << spot;
        EXPECT_EQ(desktop().currentCursor(), cursor) << spot;
    }
    desktop().clearRecords();  // Help: the page, or the box that says it is missing; Open: its dialog
    struct Case { Point button; size_t help, fileDialogs; } cases[] = {{{161, 66}, 1, 0}, {{62, 155}, 1, 1}};
    for (const Case& c : cases) {
        desktop().answerDialog([this, c](NativeWindow d) {
            desktop().typeKey(kVkDown, d), desktop().then([this, c, d] { steer(c.button, d), desktop().typeKey(kVkSpace, d); });
        });
        steer(centreOf(room().hotspots[scene::kRemote].pointer)), desktop().typeKey(kVkSpace), pump();
        EXPECT_EQ(desktop().browserPages().size() + desktop().messageBoxes().size(), c.help);
        EXPECT_EQ(desktop().fileDialogs().size(), c.fileDialogs);
    }
}

}  // namespace
