// A game controller through SDL's game-controller subsystem. Besides the sound player this is
// the only place that includes SDL.
//
// No controller, no cost: SDL only looks for devices when asked (lookForControllers), and the
// owner asks when the device folder changes. That folder (/dev/input) is watched with inotify
// on the GLib main loop that the desktop backend runs, so nothing wakes while nothing is
// plugged in. Only while a controller is open does the owner poll read().
//
// Axes are -1 to 1 with y growing downward; buttons are named by where they sit (south is the
// bottom face button, east the right one), whatever the controller prints on them.
#pragma once

#include <memory>

namespace platform {

struct PadState {
    double leftX = 0, leftY = 0;
    double rightX = 0, rightY = 0;
    bool up = false, down = false, left = false, right = false;  // the D-pad
    bool south = false, east = false;
};

// What the pad asks of a dialog's row of buttons, from how it was to how it is now: a new push
// left or up goes to the button before, right or down to the next one; the south button
// presses, the east one leaves. A push held is one move, not one per look.
enum class PadChoice { None, Previous, Next, Press, Leave };
PadChoice ChoiceOf(const PadState& was, const PadState& now);

class GamePad {
public:
    // `devicesChanged` runs on the main loop whenever the device folder changes (a device
    // plugged in or out); it may call lookForControllers at once or a moment later, as the
    // system may still be making the new device readable. `deviceFolder` is the folder watched.
    explicit GamePad(void (*devicesChanged)(), const char* deviceFolder = "/dev/input");
    ~GamePad();
    GamePad(const GamePad&) = delete;
    GamePad& operator=(const GamePad&) = delete;

    // False when SDL's game-controller subsystem could not start: then nothing else does anything.
    bool started() const;
    // Forgets a controller unplugged, opens the first one when none is open; true when one is.
    bool lookForControllers();
    bool isOpen() const;
    // The open controller as it is now. False, and the controller closed, when it has gone.
    bool read(PadState& out);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A controller made by SDL itself, as if plugged in, for machines without one (the tests). It is
// unplugged when destroyed. The first GamePad::lookForControllers after it is made finds it.
class VirtualPad {
public:
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;
    bool plugged() const { return index_ >= 0; }
    void set(const PadState& state);

private:
    int index_ = -1;
    void* joystick_ = nullptr;  // held open so that set() reaches it
};

}  // namespace platform
