// The game controller, with a controller of SDL's own making standing in for one plugged in.
#include <glib.h>

#include <cmath>
#include <functional>
#include <memory>

#include "app/game_pad.h"
#include "platform/controller_sdl.h"
#include "tests/support/room_fixture.h"

using platform::PadState;

TEST(PadSpeed, SlowFirstFasterWhileHeldGentleForASmallPush) {
    struct Case { double deflection; uint32_t heldMs; double speed; };
    for (Case c : {Case{1.0, 0, 80}, {1.0, 500, 360}, {1.0, 1000, 640}, {1.0, 60000, 640}, {0.5, 0, 20},
                   {0.5, 1000, 160}, {0.0, 1000, 0}, {2.0, 1000, 640}, {-1.0, 500, 0}})
        EXPECT_DOUBLE_EQ(shell::PadSpeed(c.deflection, c.heldMs), c.speed) << c.deflection << " " << c.heldMs;
}

TEST(PadSpeed, StickDeflectionStartsPastTheDeadZone) {
    struct Case { double x, y, deflection; };
    for (Case c : {Case{0, 0, 0}, {0.25, 0, 0}, {0.2, -0.1, 0}, {0.625, 0, 0.5}, {0, -0.625, 0.5}, {-0.6, 0.8, 1},
                   {1, 1, 1}})
        EXPECT_NEAR(shell::StickDeflection(c.x, c.y), c.deflection, 1e-9) << c.x << "," << c.y;
}

class GamePadTest : public RoomTest {
protected:
    void SetUp() override {
        // A controller on the machine running the tests must not stand in for the test's own.
        setenv("SDL_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT", "0x0000/0x0000", 1);
        useDesktop(platform::HeadlessConfig{800, 600, 24});
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << "[Pictoria]\ngame-controller = true\n";
        ASSERT_EQ(shell::StartPictoria(), -1);
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
    // Whether the controller is polled: a second of waiting brings its timer.
    bool polled() {
        bool polled = false;
        desktop().waitMessage(1000);
        for (platform::Message m; desktop().peekMessage(m); desktop().dispatchMessage(m))
            polled = polled || (m.kind == platform::MsgKind::Timer && m.timerId == shell::kPadTimer);
        return polled;
    }
    std::unique_ptr<platform::VirtualPad> pad_;
};

// Each stick and the D-pad move the pointer, a push inside the dead zone does not, and the
// pointer stops at the window's edges. 400 ms of a full push from rest covers about 77 pixels.
TEST_F(GamePadTest, SticksAndDPadMoveThePointerInsideTheWindow) {
    plugIn();
    struct Case { const char* what; Point from; PadState push; uint32_t ms; Point to; int slack; };
    const PadState right{.leftX = 1}, up{.rightY = -1}, downLeft{.down = true, .left = true}, upLeft{.up = true, .left = true};
    for (Case c : {Case{"left stick", {400, 300}, right, 400, {477, 300}, 8},
                   Case{"right stick", {400, 300}, up, 400, {400, 223}, 8},
                   Case{"D-pad", {400, 300}, downLeft, 400, {346, 354}, 8},
                   Case{"dead zone", {400, 300}, PadState{.leftX = 0.2, .leftY = 0.1}, 400, {400, 300}, 0},
                   Case{"top-left corner", {30, 20}, upLeft, 3000, {0, 0}, 0},
                   Case{"bottom-right corner", {770, 580}, PadState{.down = true, .right = true}, 3000, {799, 599}, 0}}) {
        moveTo(c.from), hold(c.push, c.ms), hold(PadState{}, 50);
        EXPECT_TRUE(std::abs(desktop().cursorPos().x - c.to.x) <= c.slack && std::abs(desktop().cursorPos().y - c.to.y) <= c.slack)
            << c.what << ": " << desktop().cursorPos().x << "," << desktop().cursorPos().y;
    }
}

TEST_F(GamePadTest, SouthButtonPaintsAStrokeAndEastUndoesIt) {
    plugIn();
    moveTo(W(100, 100)), hold(PadState{.south = true}, 50), hold(PadState{.leftX = 1, .south = true}, 300), hold(PadState{}, 50);
    EXPECT_TRUE(canvasAt(100, 100) == kRed && canvasAt(130, 100) == kRed && canvasAt(100, 130) == kWhite);
    EXPECT_GT(countCanvas(kRed), 40);
    hold(PadState{.east = true}, 50), hold(PadState{}, 50);
    EXPECT_EQ(countCanvas(kRed), 0);
    EXPECT_EQ(desktop().sounds().empty() ? 0 : desktop().sounds().back().soundId, 1028) << "the cleaner's sound";
}

// Nothing is polled without a controller; one plugged in while the room is open is found at
// the device change, and once it is unplugged the polling stops after a few looks.
TEST_F(GamePadTest, PluggedInWhileRunningIsPickedUpAndUnpluggedStopsPolling) {
    EXPECT_FALSE(polled());
    pad_ = std::make_unique<platform::VirtualPad>();
    EXPECT_FALSE(polled()) << "found without a device change";
    shell::NoticeDeviceChange();
    EXPECT_TRUE(polled());
    moveTo(Point{400, 300}), hold(PadState{.right = true}, 200);
    EXPECT_GT(desktop().cursorPos().x, 420);
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
    const auto serve = [] { while (g_main_context_iteration(nullptr, FALSE)) {} };
    struct Case { std::function<void()> act; int noticed; };
    for (const Case& c : {Case{[] {}, 0}, Case{[&] { std::ofstream(device) << ""; }, 1},
                          Case{[&] { std::filesystem::permissions(device, std::filesystem::perms::owner_read); }, 2},
                          Case{[&] { std::ofstream(device, std::ios::app) << "input"; }, 2},
                          Case{[&] { std::filesystem::remove(device); }, 3}}) {
        c.act();
        serve();
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
