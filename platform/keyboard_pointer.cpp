#include "platform/keyboard_pointer.h"

#include <algorithm>

namespace platform {
namespace {

// Two presses of the button key this close, on the same spot, are a double-click, as two of
// the mouse's are (a can's double-click opens the colour mixer).
constexpr uint32_t kDoubleClickMs = 500;

struct Direction {
    int key;
    int8_t dx, dy;
};

constexpr Direction kDirections[] = {
    {kVkLeft, -1, 0},          {kVkRight, 1, 0},         {kVkUp, 0, -1},           {kVkDown, 0, 1},
    {kVkPadLeft, -1, 0},       {kVkPadRight, 1, 0},      {kVkPadUp, 0, -1},        {kVkPadDown, 0, 1},
    {kVkPadUpLeft, -1, -1},    {kVkPadUpRight, 1, -1},   {kVkPadDownLeft, -1, 1},  {kVkPadDownRight, 1, 1},
    {kVkNumpad0 + 4, -1, 0},   {kVkNumpad0 + 6, 1, 0},   {kVkNumpad0 + 8, 0, -1},  {kVkNumpad0 + 2, 0, 1},
    {kVkNumpad0 + 7, -1, -1},  {kVkNumpad0 + 9, 1, -1},  {kVkNumpad0 + 1, -1, 1},  {kVkNumpad0 + 3, 1, 1},
};
constexpr int kDirectionCount = static_cast<int>(sizeof kDirections / sizeof kDirections[0]);

struct KeyboardPointer {
    bool on = false;
    uint32_t held = 0;           // one bit per row of kDirections
    uint32_t heldSince = 0;      // when the first of the held directions went down
    int buttonKey = 0;           // the key holding the button down, 0 when it is up
    uint32_t lastPress = 0;      // for the double-click
    Point lastPressAt{-1, -1};
};

KeyboardPointer gKp;
int gLeftAlone = 0;

int DirectionOf(int key, bool inDialog) {
    // In a painted dialog the keypad's digits type the grown-up's sum.
    if (inDialog && key >= kVkNumpad0 && key <= kVkNumpad0 + 9) return -1;
    for (int i = 0; i < kDirectionCount; ++i)
        if (kDirections[i].key == key) return i;
    return -1;
}

bool IsButtonKey(int key, bool inDialog) { return key == kVkSpace || (key == kVkReturn && !inDialog); }

// Makes `msg` the pointer message a mouse at `screen` would have sent to its window.
void BecomePointerMessage(Platform& backend, Message& msg, MsgKind kind, Point screen) {
    const Rect w = backend.windowRect(msg.window);
    msg.kind = kind;
    msg.x = screen.x - w.left;
    msg.y = screen.y - w.top;
    msg.key = 0;
    msg.leftButtonDown = gKp.buttonKey != 0;
}

// One step in every held direction, kept inside the window the keys went to.
void Step(Platform& backend, Message& msg) {
    int dx = 0, dy = 0;
    for (int i = 0; i < kDirectionCount; ++i) {
        if ((gKp.held & (1u << i)) == 0) continue;
        dx += kDirections[i].dx;
        dy += kDirections[i].dy;
    }
    const int step = KeyboardPointerStep(backend.tickCount() - gKp.heldSince);
    const Rect w = backend.windowRect(msg.window);
    Point p = backend.cursorPos();
    p.x = std::clamp(p.x + std::clamp(dx, -1, 1) * step, w.left, w.right - 1);
    p.y = std::clamp(p.y + std::clamp(dy, -1, 1) * step, w.top, w.bottom - 1);
    backend.setCursorPos(p);
    BecomePointerMessage(backend, msg, MsgKind::MouseMove, p);
}

bool PressButton(Platform& backend, Message& msg) {
    if (gKp.buttonKey != 0) return false;  // the key's auto-repeat: still the same press
    gKp.buttonKey = msg.key;
    const Point at = backend.cursorPos();
    const uint32_t now = backend.tickCount();
    const bool twice = now - gKp.lastPress <= kDoubleClickMs && at.x == gKp.lastPressAt.x && at.y == gKp.lastPressAt.y;
    gKp.lastPress = twice ? now - kDoubleClickMs - 1 : now;  // a third press starts over
    gKp.lastPressAt = at;
    BecomePointerMessage(backend, msg, twice ? MsgKind::LButtonDblClk : MsgKind::LButtonDown, at);
    return true;
}

bool OnKeyDown(Platform& backend, Message& msg, bool inDialog) {
    // The menu key, or Shift+F10, is the right button: the grown-ups' menu, at the pointer.
    if (!inDialog && (msg.key == kVkApps || (msg.key == kVkF10 && backend.isKeyDown(kVkShift)))) {
        BecomePointerMessage(backend, msg, MsgKind::RButtonDown, backend.cursorPos());
        return true;
    }
    const int direction = DirectionOf(msg.key, inDialog);
    if (direction >= 0) {
        if (gKp.held == 0) gKp.heldSince = backend.tickCount();
        gKp.held |= 1u << direction;
        Step(backend, msg);
        return true;
    }
    if (IsButtonKey(msg.key, inDialog)) return PressButton(backend, msg);
    return true;
}

bool OnKeyUp(Platform& backend, Message& msg, bool inDialog) {
    const int direction = DirectionOf(msg.key, inDialog);
    if (direction >= 0) {
        gKp.held &= ~(1u << direction);
        return false;
    }
    if (msg.key != 0 && msg.key == gKp.buttonKey) {
        gKp.buttonKey = 0;
        BecomePointerMessage(backend, msg, MsgKind::LButtonUp, backend.cursorPos());
        return true;
    }
    return !IsButtonKey(msg.key, inDialog);
}

}  // namespace

void SetKeyboardPointer(bool on) { gKp = KeyboardPointer{.on = on}; }

void KeyboardPointerLeaveKey(int key) { gLeftAlone = key; }

bool KeyboardPointerHoldsButton() { return gKp.buttonKey != 0; }

int KeyboardPointerStep(uint32_t heldMs) {
    static constexpr struct { uint32_t upToMs; int pixels; } kCurve[] = {{400, 2}, {1200, 5}, {2400, 10}};
    for (const auto& band : kCurve)
        if (heldMs <= band.upToMs) return band.pixels;
    return 20;
}

bool KeyboardPointerFilter(Platform& backend, Message& msg, bool inDialog) {
    if (!gKp.on) return true;
    // The scanning switch picks; were it the button as well, one press would click twice.
    if ((msg.kind == MsgKind::KeyDown || msg.kind == MsgKind::KeyUp) && msg.key != 0 && msg.key == gLeftAlone) return true;
    switch (msg.kind) {
        case MsgKind::KeyDown: return OnKeyDown(backend, msg, inDialog);
        case MsgKind::KeyUp: return OnKeyUp(backend, msg, inDialog);
        case MsgKind::Char: return msg.key != ' ' && (msg.key != '\r' || inDialog);
        case MsgKind::MouseMove:
            // The desktop reports each warp as a move of its own, perhaps after the keys have
            // moved on: while a direction is held only the keys place the pointer.
            if (gKp.held != 0) return false;
            msg.leftButtonDown = msg.leftButtonDown || gKp.buttonKey != 0;
            return true;
        case MsgKind::KillFocus:
            // The key releases go to another window now.
            gKp = KeyboardPointer{.on = true};
            return true;
        default: return true;
    }
}

}  // namespace platform
