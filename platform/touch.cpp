#include "platform/touch.h"

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

void Add(TouchMessages& out, MsgKind kind, NativeWindow window, Point at, bool leftButtonDown) {
    Message& m = out.messages[out.count++];
    m.kind = kind;
    m.window = window;
    m.x = at.x;
    m.y = at.y;
    m.leftButtonDown = leftButtonDown;
}

}  // namespace

void TouchFilter::setDoubleTap(int timeMs, int distance) {
    doubleTapMs_ = std::max(0, timeMs);
    doubleTapDistance_ = std::max(distance, kFingerSlop);
}

bool TouchFilter::isDoubleTap(const TouchEvent& e) const {
    return tapped_ && e.window == tapWindow_ && e.timeMs - tapTimeMs_ <= static_cast<uint32_t>(doubleTapMs_) &&
           std::abs(e.at.x - tapAt_.x) <= doubleTapDistance_ && std::abs(e.at.y - tapAt_.y) <= doubleTapDistance_;
}

TouchMessages TouchFilter::feed(const TouchEvent& e) {
    TouchMessages out;
    if (e.phase == TouchPhase::Begin) {
        if (down_) return out;  // another finger is already the button
        down_ = true;
        sequence_ = e.sequence;
        window_ = e.window;
        last_ = e.at;
        // Hover effects and the cursor follow the pointer before the press, as they would when
        // a mouse had been moved there first.
        Add(out, MsgKind::MouseMove, window_, e.at, false);
        const bool second = isDoubleTap(e);
        Add(out, second ? MsgKind::LButtonDblClk : MsgKind::LButtonDown, window_, e.at, true);
        // A third tap starts over, as a third click does.
        tapped_ = !second;
        tapWindow_ = window_;
        tapAt_ = e.at;
        tapTimeMs_ = e.timeMs;
        return out;
    }
    if (!down_ || e.sequence != sequence_) return out;
    if (e.phase == TouchPhase::Update) {
        if (e.at == last_) return out;
        last_ = e.at;
        Add(out, MsgKind::MouseMove, window_, e.at, true);
        return out;
    }
    // A touch taken away by the desktop (a gesture of its own, the screen turned off) gives no
    // trustworthy place: it ends where the stroke was last drawn to.
    if (e.phase == TouchPhase::Cancel) return lift();
    Add(out, MsgKind::LButtonUp, window_, e.at, false);
    down_ = false;
    return out;
}

TouchMessages TouchFilter::lift() {
    TouchMessages out;
    if (!down_) return out;
    Add(out, MsgKind::LButtonUp, window_, last_, false);
    down_ = false;
    tapped_ = false;
    return out;
}

}  // namespace platform
