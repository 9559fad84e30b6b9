// Fingers on a touch screen, made into the left button the program is written for.
//
// Both backends feed their touch events through one filter, so a finger behaves the same with or
// without a display: the first finger down moves the pointer to its place and presses there, its
// moves drag, its lift releases, and a touch taken away (cancelled) releases where the finger
// was last seen. Other fingers while one is down are ignored, so a palm or a second hand never
// jumps a stroke. Two quick taps on one spot are a double click. A finger never makes the right
// button, so it never opens the popup menu.
//
// Coordinates are client coordinates of the window the finger went down on, y down. The filter
// holds no timer and does nothing between touches.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform {

enum class TouchPhase : uint8_t { Begin, Update, End, Cancel };

struct TouchEvent {
    TouchPhase phase = TouchPhase::Begin;
    uintptr_t sequence = 0;  // tells the fingers apart; the desktop's own token
    NativeWindow window = 0;
    Point at{};
    uint32_t timeMs = 0;     // when it happened, on any clock that only moves forward
};

// What one touch event becomes: nothing, one message, or a move followed by a press.
struct TouchMessages {
    Message messages[2];
    int count = 0;
};

class TouchFilter {
public:
    // A finger lands less precisely than a mouse: a second tap this close to the first (in the
    // program's pixels) still counts as the same spot even where the desktop's own double-click
    // distance is smaller.
    static constexpr int kFingerSlop = 16;

    TouchMessages feed(const TouchEvent& e);
    // The window lost the keyboard, to a dialog or another program: the finger down may lift
    // where its events never reach us, and must not hold the button for ever.
    TouchMessages lift();
    // While a finger is down it is the primary button, for code that polls the button.
    bool fingerDown() const { return down_; }
    // The desktop's double-click time and distance, which a double tap follows.
    void setDoubleTap(int timeMs, int distance);

private:
    bool isDoubleTap(const TouchEvent& e) const;

    bool down_ = false;
    uintptr_t sequence_ = 0;
    NativeWindow window_ = 0;
    Point last_{};
    // The last press, for telling a double tap.
    bool tapped_ = false;
    NativeWindow tapWindow_ = 0;
    Point tapAt_{};
    uint32_t tapTimeMs_ = 0;
    int doubleTapMs_ = 400;
    int doubleTapDistance_ = kFingerSlop;
};

}  // namespace platform
