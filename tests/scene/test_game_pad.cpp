// The game controller, with a controller of SDL's own making standing in for one plugged in.
#include <glib.h>

#include <cmath>
#include <functional>
#include <memory>

#include "app/game_pad.h"
#include "platform/controller_sdl.h"
#include "tests/support/room_fixture.h"

using platform::PadState;

// A stick's push past the dead zone, squared, times the keyboard pointer's step (2, 5, 10, 20 px
// by time held) at 25 steps a second.
TEST(PadSpeed, TheKeyboardsCurveScaledByThePushPastTheDeadZone) {
    struct Case { double x, y; uint32_t heldMs; double speed; };
    for (Case c : {Case{0, 0, 3000, 0}, {0.25, 0, 3000, 0}, {0.2, -0.1, 3000, 0}, {0.625, 0, 0, 12.5}, {0, -0.625, 3000, 125},
                   {-0.6, 0.8, 400, 50}, {1, 1, 401, 125}, {1, 0, 1200, 125}, {1, 0, 2400, 250}, {0, 1, 60000, 500}})
        EXPECT_DOUBLE_EQ(shell::PadSpeed(shell::StickDeflection(c.x, c.y), c.heldMs), c.speed) << c.x << "," << c.y << " " << c.heldMs;
}

// In the desktop's own dialogs: a new push moves the focus once, however long it is held; a
// push back the other way moves it again; a stick counts past half; a press outranks a push.
TEST(PadChoice, EachNewPushOrPressIsOneChoice) {
    using platform::PadChoice;
    const PadState rest, right{.right = true}, left{.left = true}, up{.up = true}, south{.south = true}, east{.east = true};
    const PadState half{.leftX = 0.5}, most{.rightY = -0.6}, rightAndSouth{.right = true, .south = true};
    const struct { PadState was, now; PadChoice choice; } cases[] = {{rest, right, PadChoice::Next}, {right, right, PadChoice::None}, {right, left, PadChoice::Previous},
                          {rest, up, PadChoice::Previous}, {rest, half, PadChoice::None}, {rest, most, PadChoice::Previous},
                          {up, most, PadChoice::None}, {rest, south, PadChoice::Press}, {south, south, PadChoice::None},
                          {right, rightAndSouth, PadChoice::Press}, {rest, east, PadChoice::Leave}, {east, rest, PadChoice::None}};
    for (const auto& c : cases) EXPECT_EQ(platform::ChoiceOf(c.was, c.now), c.choice) << "row " << &c - cases;
}

class GamePadTest : public RoomTest {
protected:
    void SetUp() override {
        // A controller on the machine running the tests must not stand in for the test's own.
        setenv("SDL_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT", "0x0000/0x0000", 1);
        startWith("game-controller = true");
        desktop().clearRecords();
    }
    void plugIn() {
        pad_ = std::make_unique<platform::VirtualPad>();
        ASSERT_TRUE(pad_->plugged());
        shell::NoticeDeviceChange();
    }
    // The message loop for `ms` of the desktop's time.
    void runFor(uint32_t ms) {
        const uint32_t end = desktop().tickCount() + ms;
        for (uint32_t now; pump(), (now = desktop().tickCount()) < end;) desktop().waitMessage(int(end - now));
    }
    void hold(PadState state, uint32_t ms) { pad_->set(state), runFor(ms); }
    // Whether the controller is polled, once what is queued has run.
    bool polled() { return pump(), desktop().hasTimer(desktop().firstWindow(), shell::kPadTimer); }
    std::unique_ptr<platform::VirtualPad> pad_;
};

// Each stick and the D-pad move the pointer, a push inside the dead zone does not, and the
// pointer stops at the window's edges. A second of a full push from rest covers 400 ms at 50 px/s
// and 600 ms at 125 px/s: 95 pixels (67 each way on a diagonal).
TEST_F(GamePadTest, SticksAndDPadMoveThePointerInsideTheWindow) {
    plugIn();
    struct Case { Point from; PadState push; uint32_t ms; Point to; int slack; };
    for (Case c : {Case{{400, 300}, {.leftX = 1}, 1000, {495, 300}, 3}, {{400, 300}, {.rightY = -1}, 1000, {400, 205}, 3},
                   {{400, 300}, {.down = true, .left = true}, 1000, {333, 367}, 3}, {{400, 300}, {.leftX = 0.2, .leftY = 0.1}, 400, {400, 300}, 0},
                   {{30, 20}, {.up = true, .left = true}, 3000, {0, 0}, 0}, {{770, 580}, {.down = true, .right = true}, 3000, {799, 599}, 0}}) {
        moveTo(c.from), hold(c.push, c.ms), hold(PadState{}, 50);
        EXPECT_NEAR(desktop().cursorPos().x, c.to.x, c.slack) << c.to.x << "," << c.to.y;
        EXPECT_NEAR(desktop().cursorPos().y, c.to.y, c.slack) << c.to.x << "," << c.to.y;
    }
}

// Nothing is polled without a controller; one plugged in while the room is open is found at
// the device change: its south button paints a stroke and its east button undoes it. Once it is
// unplugged the polling stops after a few looks.
TEST_F(GamePadTest, PluggedInWhileRunningPaintsAndUndoesAndUnpluggedStopsPolling) {
    EXPECT_FALSE(polled());
    pad_ = std::make_unique<platform::VirtualPad>();
    EXPECT_FALSE(polled()) << "found without a device change";
    shell::NoticeDeviceChange();
    EXPECT_TRUE(polled());
    moveTo(W(100, 100)), hold(PadState{.south = true}, 50), hold(PadState{.leftX = 1, .south = true}, 1000), hold(PadState{}, 50);
    EXPECT_TRUE(canvasAt(100, 100) == kRed && canvasAt(130, 100) == kRed && canvasAt(100, 130) == kWhite);
    EXPECT_GT(countCanvas(kRed), 40);
    hold(PadState{.east = true}, 50), hold(PadState{}, 50);
    EXPECT_EQ(countCanvas(kRed), 0);
    EXPECT_EQ(desktop().sounds().empty() ? 0 : desktop().sounds().back().soundId, 1028) << "the cleaner's sound";
    pad_.reset();
    shell::NoticeDeviceChange();
    runFor(4000);
    EXPECT_FALSE(polled());
}

// The device folder's watch wakes the main loop for a device coming, changing hands or going,
// and for nothing else.
TEST(GamePadWatch, ADeviceComingOrGoingIsNoticedOnTheMainLoop) {
    static int noticed = 0;
    char pattern[] = "/tmp/pictoria-devices-XXXXXX";
    const std::string folder = mkdtemp(pattern), device = folder + "/event7";
    platform::GamePad pad([] { ++noticed; }, folder.c_str());
    struct Case { std::function<void()> act; int noticed; };
    for (const Case& c : {Case{[] {}, 0}, {[&] { std::ofstream(device) << ""; }, 1},
                          {[&] { std::filesystem::permissions(device, std::filesystem::perms::owner_read); }, 2},
                          {[&] { std::ofstream(device, std::ios::app) << "input"; }, 2}, {[&] { std::filesystem::remove(device); }, 3}}) {
        c.act();
        while (g_main_context_iteration(nullptr, FALSE)) {}
        EXPECT_EQ(noticed, c.noticed);
    }
    std::filesystem::remove_all(folder);
}

// In a dialog (the remote control) the east button goes back as Escape does, and the south
// button presses the button under the pointer (Quit, which ends the program). The controller is
// unplugged before the dialog's script ends, which then ends the dialog as Quit did.
TEST_F(GamePadTest, InADialogEastGoesBackAndSouthPresses) {
    struct Case { PadState button; int windowsLeft; };
    for (Case c : {Case{PadState{.east = true}, 1}, Case{PadState{.south = true}, 0}}) {
        plugIn();
        desktop().answerDialog([&](platform::NativeWindow d) {
            moveTo(Point{desktop().windowRect(d).left + 60, desktop().windowRect(d).top + 25});
            hold(c.button, 50), hold(PadState{}, 50), pad_.reset();
        });
        moveTo(centreOf(room().hotspots[scene::kRemote].pointer));
        hold(PadState{.south = true}, 50), hold(PadState{}, 50);
        EXPECT_EQ(desktop().windowCount(), c.windowsLeft);
        EXPECT_TRUE(c.windowsLeft == 0 || countCanvas(kRed) == 0) << "nothing painted";
    }
}
