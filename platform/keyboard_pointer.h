// The keyboard pointer: for a child who cannot hold a mouse steady, the arrow keys and the
// keypad's eight directions move the pointer and Space or Return is its left button.
//
// It is a filter over the program's own messages, applied by every loop that dispatches them
// (the main loop and a painted dialog's), so both backends and every painted dialog get it
// alike. The desktop's own dialogs (message boxes, file chooser, the popup menu) have their own
// keyboard handling and never see it.
//
// Movement uses the key's own auto-repeat as its tick: each KeyDown of a direction moves the
// pointer once, by a step that grows with how long a direction has been held, so nothing runs
// while no key is down.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform {

// Off until turned on; turning it on or off forgets any key held.
void SetKeyboardPointer(bool on);
// A key the pointer leaves alone, for the scanning switch that may be Space; 0 for none.
void KeyboardPointerLeaveKey(int key);
// True while Space or Return holds the left button down, for code that polls the button.
bool KeyboardPointerHoldsButton();

// Pixels one step moves after a direction has been held `heldMs`:
//   up to 400 ms   2   (a single tap: fine aiming)
//   up to 1200 ms  5
//   up to 2400 ms 10
//   beyond        20
// At the usual 25 repeats a second that crosses an 800-pixel room in a little over 3 seconds.
// The game controller moves by the same curve, so a child who moves on from the keys finds the
// pointer as quick: its speed is a step times this rate.
int KeyboardPointerStep(uint32_t heldMs);
constexpr int kKeyRepeatsPerSecond = 25;

// Turns the direction and button keys of `msg` into the pointer message the program would get
// from a mouse (in place), and marks pointer messages while the keyboard holds the button.
// False when the message is to be dropped (a key already spent, a repeat of a held button).
// `inDialog`: the message is for a painted dialog, whose Return and keypad digits keep their
// own meaning there (the grown-up's sum is typed on the keypad and confirmed with Return).
bool KeyboardPointerFilter(Platform& backend, Message& msg, bool inDialog);

}  // namespace platform
