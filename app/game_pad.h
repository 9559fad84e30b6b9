// The game controller as a pointer (game-controller = true, or --game-controller): either stick
// or the D-pad moves the pointer, the south button is the left button, the east button undoes
// as the cleaner bottle does. Points are client points of the main window, y down; the pointer
// never leaves the window.
//
// While no controller is plugged in nothing runs: the device folder's watch posts kPadTimer to
// the main window when a device comes or goes. While one is open kPadTimer ticks at kPadTickMs.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

constexpr int kPadTimer = 3100;
constexpr int kPadTickMs = 16;
// Closer to the middle than this, a stick counts as let go (worn sticks rest off centre).
constexpr double kPadDeadZone = 0.25;

// The pointer's speed in pixels a second for a push of `deflection` (0 none, 1 all the way)
// held for `heldMs`: the keyboard pointer's curve (KeyboardPointerStep at its nominal repeat
// rate) for a full push, slow at first so a small push places it exactly, faster while held.
double PadSpeed(double deflection, uint32_t heldMs);

// How far a stick at (x, y) counts as pushed, 0 to 1, past the dead zone.
double StickDeflection(double x, double y);

// From the start of the room to its end; StartGamePad looks at once for a controller already in.
void StartGamePad();
void StopGamePad();
// What the device folder's watch calls when a device comes or goes (a test may call it too).
void NoticeDeviceChange();
// kPadTimer's work: looks for controllers after a change, moves and presses while one is open.
void TickGamePad();

}  // namespace shell
