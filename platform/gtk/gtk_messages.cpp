// The message queue, dispatching, timers and time.
//
// GDK events are turned into messages by the signal handlers in gtk_events.cpp while the GLib
// main loop runs inside peekMessage and waitMessage; nothing else runs the loop except the
// modal GTK boxes.
#include <algorithm>

#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

// peekMessage must never block; a source that is always ready (an animation) must not keep it
// from returning either.
constexpr int kMaxEventsPerPeek = 64;

uint64_t TimerKey(NativeWindow window, int timerId) {
    return static_cast<uint64_t>(static_cast<uint32_t>(window)) << 32 | static_cast<uint32_t>(timerId);
}

struct TimerSource {
    GtkBackend* backend;
    NativeWindow window;
    int timerId;
};

gboolean OnTimer(gpointer data) {
    auto* t = static_cast<TimerSource*>(data);
    t->backend->postTimer(t->window, t->timerId);
    return G_SOURCE_CONTINUE;
}

gboolean OnWaitOver(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

bool GtkBackend::peekMessage(Message& out) {
    ensureGtk();
    for (int i = 0; i < kMaxEventsPerPeek && g_main_context_pending(nullptr); ++i)
        g_main_context_iteration(nullptr, FALSE);
    if (queue_.empty()) return false;
    out = queue_.front();
    queue_.pop_front();
    return true;
}

void GtkBackend::waitMessage(int timeoutMs) {
    ensureGtk();
    if (!queue_.empty()) return;
    if (timeoutMs == 0) {
        g_main_context_iteration(nullptr, FALSE);
        return;
    }
    bool over = false;
    guint limit = timeoutMs > 0 ? g_timeout_add(static_cast<guint>(timeoutMs), OnWaitOver, &over) : 0;
    // Blocking here is what keeps the idle program at no processor use.
    while (queue_.empty() && !over) g_main_context_iteration(nullptr, TRUE);
    if (limit != 0 && !over) g_source_remove(limit);
}

bool GtkBackend::hasQueued(NativeWindow window, MsgKind kind, int timerId) const {
    return std::any_of(queue_.begin(), queue_.end(), [&](const Message& m) {
        return m.window == window && m.kind == kind && m.timerId == timerId;
    });
}

void GtkBackend::postMessage(const Message& msg) { queue_.push_back(msg); }

void GtkBackend::postQuitMessage(int exitCode) {
    Message m;
    m.kind = MsgKind::Quit;
    m.exitCode = exitCode;
    queue_.push_back(m);
}

void GtkBackend::postPaint(NativeWindow window) {
    // One waiting Paint shows everything: the program repaints from its own buffers.
    if (!hasQueued(window, MsgKind::Paint)) {
        Message m;
        m.kind = MsgKind::Paint;
        m.window = window;
        queue_.push_back(m);
    }
}

void GtkBackend::postFocus(NativeWindow window, bool gained) {
    // Showing a window hands the focus around a few times; a loss and a gain that the program
    // has not yet seen cancel out.
    const MsgKind kind = gained ? MsgKind::SetFocus : MsgKind::KillFocus;
    for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
        if (it->window != window || (it->kind != MsgKind::SetFocus && it->kind != MsgKind::KillFocus)) continue;
        if (it->kind != kind) queue_.erase(std::next(it).base());
        return;
    }
    Message m;
    m.kind = kind;
    m.window = window;
    queue_.push_back(m);
}

void GtkBackend::postMouseMove(NativeWindow window, Point p, bool leftButtonDown) {
    // Moves pile up while the program is busy; only the latest position matters.
    if (!queue_.empty() && queue_.back().kind == MsgKind::MouseMove && queue_.back().window == window &&
        queue_.back().leftButtonDown == leftButtonDown) {
        queue_.back().x = p.x;
        queue_.back().y = p.y;
        return;
    }
    Message m;
    m.kind = MsgKind::MouseMove;
    m.window = window;
    m.x = p.x;
    m.y = p.y;
    m.leftButtonDown = leftButtonDown;
    queue_.push_back(m);
}

void GtkBackend::postTimer(NativeWindow window, int timerId) {
    // Like the desktop's timers, a late timer has at most one tick waiting.
    if (hasQueued(window, MsgKind::Timer, timerId)) return;
    Message m;
    m.kind = MsgKind::Timer;
    m.window = window;
    m.timerId = timerId;
    queue_.push_back(m);
}

void GtkBackend::postToAll(MsgKind kind) {
    for (auto& [id, w] : windows_) {
        if (hasQueued(id, kind)) continue;
        Message m;
        m.kind = kind;
        m.window = id;
        queue_.push_back(m);
    }
}

void GtkBackend::turnPressIntoDoubleClick(NativeWindow window, Point p) {
    for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
        if (it->window != window) continue;
        if (it->kind == MsgKind::LButtonDown) {
            it->kind = MsgKind::LButtonDblClk;
            return;
        }
        if (it->kind == MsgKind::LButtonUp || it->kind == MsgKind::LButtonDblClk) break;
    }
    // The second press has already been taken: the double click still counts.
    Message m;
    m.kind = MsgKind::LButtonDblClk;
    m.window = window;
    m.x = p.x;
    m.y = p.y;
    queue_.push_back(m);
}

void GtkBackend::onConfigure(NativeWindow window, const Rect& placed) {
    Window* w = find(window);
    if (w == nullptr) return;
    if (placed == w->rect) {
        w->requested.clear();
        return;
    }
    // Late news of our own earlier placements. The desktop may also tell of a moment between
    // two of them, the old place with the new size or the other way round.
    const auto asked = [w](auto same) { return same(w->rect) || std::any_of(w->requested.begin(), w->requested.end(), same); };
    if (asked([&](const Rect& r) { return r.left == placed.left && r.top == placed.top; }) &&
        asked([&](const Rect& r) { return r.width() == placed.width() && r.height() == placed.height(); }))
        return;
    // A window manager may tell of one placement twice (its own notice and the server's); the
    // program answers a placement once, and a second answer would read as giving in.
    const bool told = std::any_of(queue_.begin(), queue_.end(), [&](const Message& m) {
        return m.window == window && (m.kind == MsgKind::Sizing || m.kind == MsgKind::Moving) && m.rect == placed;
    });
    if (told) return;
    Message m;
    m.window = window;
    m.rect = placed;
    const bool resized = placed.width() != w->rect.width() || placed.height() != w->rect.height();
    m.kind = resized ? MsgKind::Sizing : MsgKind::Moving;
    queue_.push_back(m);
}

long GtkBackend::dispatchMessage(Message& msg) {
    Window* w = find(msg.window);
    if (w == nullptr) return 0;
    const long result = w->proc(msg);
    if ((msg.kind == MsgKind::Sizing || msg.kind == MsgKind::Moving) && isWindow(msg.window))
        moveWindow(msg.window, msg.rect);
    return result;
}

long GtkBackend::defWindowProc(Message& msg) {
    if (msg.kind == MsgKind::Close) destroyWindow(msg.window);
    return 0;
}

void GtkBackend::setTimer(NativeWindow window, int timerId, int intervalMs) {
    ensureGtk();
    if (find(window) == nullptr) return;
    killTimer(window, timerId);
    auto* source = new TimerSource{this, window, timerId};
    guint id = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(std::max(intervalMs, 1)), OnTimer, source,
                                  [](gpointer data) { delete static_cast<TimerSource*>(data); });
    timers_[TimerKey(window, timerId)] = id;
}

void GtkBackend::killTimer(NativeWindow window, int timerId) {
    auto it = timers_.find(TimerKey(window, timerId));
    if (it != timers_.end()) {
        g_source_remove(it->second);
        timers_.erase(it);
    }
    // A tick that was due but not yet taken must not arrive after the timer is gone.
    std::erase_if(queue_, [&](const Message& m) {
        return m.kind == MsgKind::Timer && m.window == window && m.timerId == timerId;
    });
}

uint32_t GtkBackend::tickCount() { return static_cast<uint32_t>(g_get_monotonic_time() / 1000); }

void GtkBackend::sleep(int ms) {
    if (ms > 0) g_usleep(static_cast<gulong>(ms) * 1000);
}

}  // namespace platform::gtk
