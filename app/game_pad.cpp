#include "app/game_pad.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/scene.h"
#include "app/shell.h"
#include "platform/controller_sdl.h"
#include "platform/keyboard_pointer.h"
#include "toolbox/toolbox.h"

using platform::Message;
using platform::MsgKind;
using platform::Plat;

namespace shell {
namespace {

// A device node appears before the system has made it readable: after a change the folder is
// looked at again for a while, then no more.
constexpr int kLookAgainMs = 250;
constexpr int kLooksAfterChange = 12;
constexpr uint32_t kLongestStepMs = 100;  // a late tick does not throw the pointer across the room

struct PadPointer {
    std::unique_ptr<platform::GamePad> pad;
    int looksLeft = 0;          // while no controller is open
    bool ticking = false;       // kPadTimer is set
    uint32_t lastTick = 0;
    uint32_t movingSince = 0;
    bool moving = false;
    double x = 0, y = 0;        // where the pointer is, to a fraction of a pixel
    bool southDown = false;
    bool eastDown = false;
};

PadPointer gPad;

void SetTicking(int intervalMs) {
    if (intervalMs > 0) {
        tb_SetTimer(Shell().mainNative, kPadTimer, intervalMs);
    } else if (gPad.ticking) {
        tb_KillTimer(Shell().mainNative, kPadTimer);
    }
    gPad.ticking = intervalMs > 0;
}

// Input goes where the mouse's would: to a dialog while one runs (the room takes none then),
// in that window's own client points.
void Post(MsgKind kind, bool leftButtonDown, int key = 0) {
    Message m;
    m.kind = kind;
    m.window = tb_DialogWindow() != 0 ? tb_DialogWindow() : Shell().mainNative;
    const Rect room = Plat().windowRect(Shell().mainNative), into = Plat().windowRect(m.window);
    m.x = static_cast<int>(std::lround(gPad.x)) + room.left - into.left;
    m.y = static_cast<int>(std::lround(gPad.y)) + room.top - into.top;
    m.key = key;
    m.leftButtonDown = leftButtonDown;
    Plat().postMessage(m);
}

// The push as a direction of unit length and a deflection; the D-pad wins over the sticks.
double Push(const platform::PadState& s, double& dx, double& dy) {
    dx = (s.right ? 1.0 : 0.0) - (s.left ? 1.0 : 0.0);
    dy = (s.down ? 1.0 : 0.0) - (s.up ? 1.0 : 0.0);
    double length = std::hypot(dx, dy);
    double deflection = 1.0;
    if (length == 0.0) {
        const bool right = std::hypot(s.rightX, s.rightY) > std::hypot(s.leftX, s.leftY);
        dx = right ? s.rightX : s.leftX;
        dy = right ? s.rightY : s.leftY;
        length = std::hypot(dx, dy);
        deflection = StickDeflection(dx, dy);
    }
    if (deflection <= 0.0) return 0.0;
    dx /= length;
    dy /= length;
    return deflection;
}

void MovePointer(const platform::PadState& s, uint32_t now) {
    double dx = 0, dy = 0;
    const double deflection = Push(s, dx, dy);
    if (deflection <= 0.0) {
        gPad.moving = false;
        return;
    }
    if (!gPad.moving) {
        // The pad takes the pointer on from wherever the mouse left it.
        Point at{};
        tb_GetMousePosition(&at);
        gPad.x = at.x, gPad.y = at.y;
        gPad.moving = true;
        gPad.movingSince = now;
    }
    const double step = PadSpeed(deflection, now - gPad.movingSince) * std::min(now - gPad.lastTick, kLongestStepMs) / 1000.0;
    const Rect room = Plat().clientRect(Shell().mainNative);
    const long oldX = std::lround(gPad.x), oldY = std::lround(gPad.y);
    gPad.x = std::clamp(gPad.x + dx * step, 0.0, room.width() - 1.0);
    gPad.y = std::clamp(gPad.y + dy * step, 0.0, room.height() - 1.0);
    if (std::lround(gPad.x) == oldX && std::lround(gPad.y) == oldY) return;
    tb_SetMousePosition(static_cast<int>(std::lround(gPad.x)), static_cast<int>(std::lround(gPad.y)));
    Post(MsgKind::MouseMove, gPad.southDown);
}

void PressButtons(const platform::PadState& s) {
    if (s.south != gPad.southDown) {
        if (!gPad.moving) {
            Point at{};
            tb_GetMousePosition(&at);
            gPad.x = at.x, gPad.y = at.y;
        }
        gPad.southDown = s.south;
        Post(s.south ? MsgKind::LButtonDown : MsgKind::LButtonUp, s.south);
    }
    // In a dialog the east button goes back, as Escape does; in the room it undoes, but not in
    // the middle of a stroke, which would take away the picture under the brush.
    if (s.east && !gPad.eastDown && tb_DialogOpen()) {
        Post(MsgKind::KeyDown, false, platform::kVkEscape);
        Post(MsgKind::KeyUp, false, platform::kVkEscape);
    } else if (s.east && !gPad.eastDown && !gPad.southDown && !scene::CurrentToolActive()) {
        scene::Undo();
    }
    gPad.eastDown = s.east;
}

}  // namespace

double StickDeflection(double x, double y) {
    const double length = std::hypot(x, y);
    if (length <= kPadDeadZone) return 0.0;
    return std::min(1.0, (length - kPadDeadZone) / (1.0 - kPadDeadZone));
}

double PadSpeed(double deflection, uint32_t heldMs) {
    const double push = std::clamp(deflection, 0.0, 1.0);
    // The square keeps a half push gentle: a child's thumb rarely holds a stick still.
    return push * push * platform::KeyboardPointerStep(heldMs) * platform::kKeyRepeatsPerSecond;
}

void NoticeDeviceChange() {
    if (gPad.pad == nullptr || Shell().mainNative == 0) return;
    gPad.looksLeft = kLooksAfterChange;
    Message m;
    m.kind = MsgKind::Timer;
    m.window = Shell().mainNative;
    m.timerId = kPadTimer;
    Plat().postMessage(m);
}

void StartGamePad() {
    gPad = PadPointer{};
    gPad.pad = std::make_unique<platform::GamePad>(NoticeDeviceChange);
    gPad.lastTick = Plat().tickCount();
    Plat().setDialogPad(gPad.pad.get());
    if (gPad.pad->lookForControllers()) SetTicking(kPadTickMs);
}

void StopGamePad() {
    if (gPad.pad == nullptr) return;
    Plat().setDialogPad(nullptr);
    SetTicking(0);
    gPad = PadPointer{};
}

void TickGamePad() {
    if (gPad.pad == nullptr || Shell().mainNative == 0) return;
    const uint32_t now = Plat().tickCount();
    platform::PadState state;
    if (!gPad.pad->isOpen() || !gPad.pad->read(state)) {
        // Unplugged, or a device came or went: a button held goes up, and polling stops unless
        // a controller is found.
        if (gPad.southDown) Post(MsgKind::LButtonUp, false);
        gPad.southDown = gPad.eastDown = gPad.moving = false;
        if (gPad.pad->lookForControllers()) {
            gPad.lastTick = now;
            SetTicking(kPadTickMs);
            return;
        }
        SetTicking(gPad.looksLeft-- > 0 ? kLookAgainMs : 0);
        return;
    }
    if (!gPad.ticking) SetTicking(kPadTickMs);
    MovePointer(state, now);
    PressButtons(state);
    gPad.lastTick = now;
}

}  // namespace shell
