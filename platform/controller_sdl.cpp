#include "platform/controller_sdl.h"

#include <SDL.h>
#include <cmath>
#include <glib-unix.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr double kAxisFull = 32767.0;

double Axis(SDL_GameController* pad, SDL_GameControllerAxis axis) {
    const double v = SDL_GameControllerGetAxis(pad, axis) / kAxisFull;
    return v < -1.0 ? -1.0 : v;
}

bool Button(SDL_GameController* pad, SDL_GameControllerButton button) {
    return SDL_GameControllerGetButton(pad, button) != 0;
}

// -1 back (left, up), 1 on (right, down), 0 neither: the D-pad, else a stick pushed past half.
int Direction(const PadState& s) {
    constexpr double kHalf = 0.5;
    if (s.left || s.up) return -1;
    if (s.right || s.down) return 1;
    double most = 0;
    for (double axis : {s.leftX, s.leftY, s.rightX, s.rightY})
        if (std::fabs(axis) > std::fabs(most)) most = axis;
    return most > kHalf ? 1 : most < -kHalf ? -1 : 0;
}

}  // namespace

PadChoice ChoiceOf(const PadState& was, const PadState& now) {
    if (now.south && !was.south) return PadChoice::Press;
    if (now.east && !was.east) return PadChoice::Leave;
    const int direction = Direction(now);
    if (direction == 0 || direction == Direction(was)) return PadChoice::None;
    return direction < 0 ? PadChoice::Previous : PadChoice::Next;
}

struct GamePad::Impl {
    void (*devicesChanged)() = nullptr;
    bool started = false;
    int watch = -1;       // the inotify descriptor
    guint watchSource = 0;
    SDL_GameController* pad = nullptr;

    static gboolean OnDeviceFolder(gint fd, GIOCondition, gpointer data) {
        // Only the fact of a change matters; what changed SDL finds out itself.
        alignas(inotify_event) char drain[4096];
        while (::read(fd, drain, sizeof drain) > 0) {
        }
        static_cast<Impl*>(data)->devicesChanged();
        return G_SOURCE_CONTINUE;
    }

    void close() {
        if (pad != nullptr) SDL_GameControllerClose(pad);
        pad = nullptr;
    }
};

GamePad::GamePad(void (*devicesChanged)(), const char* deviceFolder) : impl_(std::make_unique<Impl>()) {
    impl_->devicesChanged = devicesChanged;
    // The program ends on its own signals; SDL must not take them over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    impl_->started = true;
    // Events are not read through SDL's queue: read() asks for the state as it is.
    SDL_GameControllerEventState(SDL_IGNORE);
    SDL_JoystickEventState(SDL_IGNORE);
    impl_->watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (impl_->watch < 0) return;
    if (inotify_add_watch(impl_->watch, deviceFolder, IN_CREATE | IN_DELETE | IN_ATTRIB) < 0) {
        ::close(impl_->watch);
        impl_->watch = -1;
        return;
    }
    impl_->watchSource = g_unix_fd_add(impl_->watch, G_IO_IN, Impl::OnDeviceFolder, impl_.get());
}

GamePad::~GamePad() {
    if (impl_->watchSource != 0) g_source_remove(impl_->watchSource);
    if (impl_->watch >= 0) ::close(impl_->watch);
    impl_->close();
    if (impl_->started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool GamePad::started() const { return impl_->started; }

bool GamePad::isOpen() const { return impl_->pad != nullptr; }

bool GamePad::lookForControllers() {
    if (!impl_->started) return false;
    SDL_GameControllerUpdate();
    if (impl_->pad != nullptr && !SDL_GameControllerGetAttached(impl_->pad)) impl_->close();
    for (int i = 0; impl_->pad == nullptr && i < SDL_NumJoysticks(); ++i) {
        if (SDL_IsGameController(i)) impl_->pad = SDL_GameControllerOpen(i);
    }
    return impl_->pad != nullptr;
}

bool GamePad::read(PadState& out) {
    SDL_GameController* pad = impl_->pad;
    if (pad == nullptr) return false;
    SDL_GameControllerUpdate();
    if (!SDL_GameControllerGetAttached(pad)) {
        impl_->close();
        return false;
    }
    out.leftX = Axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    out.leftY = Axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    out.rightX = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    out.rightY = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    out.up = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    out.down = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    out.left = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    out.right = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    out.south = Button(pad, SDL_CONTROLLER_BUTTON_A);
    out.east = Button(pad, SDL_CONTROLLER_BUTTON_B);
    return true;
}

VirtualPad::VirtualPad() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    // A game controller's axes and buttons in SDL's own order, which SDL maps as they come.
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                       SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
}

VirtualPad::~VirtualPad() {
    if (joystick_ != nullptr) SDL_JoystickClose(static_cast<SDL_Joystick*>(joystick_));
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void VirtualPad::set(const PadState& s) {
    auto* j = static_cast<SDL_Joystick*>(joystick_);
    if (j == nullptr) return;
    const auto axis = [&](SDL_GameControllerAxis a, double v) { SDL_JoystickSetVirtualAxis(j, a, static_cast<Sint16>(v * kAxisFull)); };
    axis(SDL_CONTROLLER_AXIS_LEFTX, s.leftX);
    axis(SDL_CONTROLLER_AXIS_LEFTY, s.leftY);
    axis(SDL_CONTROLLER_AXIS_RIGHTX, s.rightX);
    axis(SDL_CONTROLLER_AXIS_RIGHTY, s.rightY);
    const auto button = [&](SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(j, b, down ? 1 : 0); };
    button(SDL_CONTROLLER_BUTTON_DPAD_UP, s.up);
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, s.down);
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, s.left);
    button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, s.right);
    button(SDL_CONTROLLER_BUTTON_A, s.south);
    button(SDL_CONTROLLER_BUTTON_B, s.east);
}

}  // namespace platform
