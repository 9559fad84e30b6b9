// The one place where GDK events become the program's messages, and where GDK key values
// become virtual-key codes.
#include <cmath>

#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

constexpr int kVkPageUp = 33;
constexpr int kVkPageDown = 34;
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;
constexpr int kVkInsert = 45;
constexpr int kFunctionKeys = 12;

struct NamedKey {
    int virtualKey;
    guint keyval;
};

constexpr NamedKey kNamedKeys[] = {
    {kVkBack, GDK_KEY_BackSpace},  {kVkTab, GDK_KEY_Tab},           {kVkTab, GDK_KEY_ISO_Left_Tab},
    {kVkReturn, GDK_KEY_Return},   {kVkReturn, GDK_KEY_KP_Enter},   {kVkShift, GDK_KEY_Shift_L},
    {kVkShift, GDK_KEY_Shift_R},   {kVkControl, GDK_KEY_Control_L}, {kVkControl, GDK_KEY_Control_R},
    {kVkMenu, GDK_KEY_Alt_L},      {kVkMenu, GDK_KEY_Alt_R},        {kVkEscape, GDK_KEY_Escape},
    {kVkSpace, GDK_KEY_space},     {kVkPageUp, GDK_KEY_Page_Up},    {kVkPageDown, GDK_KEY_Page_Down},
    {kVkEnd, GDK_KEY_End},         {kVkHome, GDK_KEY_Home},         {kVkLeft, GDK_KEY_Left},
    {kVkUp, GDK_KEY_Up},           {kVkRight, GDK_KEY_Right},       {kVkDown, GDK_KEY_Down},
    {kVkApps, GDK_KEY_Menu},       {kVkInsert, GDK_KEY_Insert},   {kVkDelete, GDK_KEY_Delete},     {kVkDelete, GDK_KEY_KP_Delete},
    {kVkPadUpLeft, GDK_KEY_KP_Home},     {kVkPadUp, GDK_KEY_KP_Up},     {kVkPadUpRight, GDK_KEY_KP_Page_Up},
    {kVkPadLeft, GDK_KEY_KP_Left},       {kVkPadRight, GDK_KEY_KP_Right},
    {kVkPadDownLeft, GDK_KEY_KP_End},    {kVkPadDown, GDK_KEY_KP_Down}, {kVkPadDownRight, GDK_KEY_KP_Page_Down},
};

int VirtualKeyOfKeyval(guint keyval) {
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + static_cast<int>(keyval - GDK_KEY_a);
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return 'A' + static_cast<int>(keyval - GDK_KEY_A);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + static_cast<int>(keyval - GDK_KEY_0);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return kVkNumpad0 + static_cast<int>(keyval - GDK_KEY_KP_0);
    if (keyval >= GDK_KEY_F1 && keyval < GDK_KEY_F1 + kFunctionKeys)
        return kVkF1 + static_cast<int>(keyval - GDK_KEY_F1);
    for (const NamedKey& k : kNamedKeys)
        if (k.keyval == keyval) return k.virtualKey;
    return 0;
}

// The character a key types, as the desktop the program was written for reports it: printable
// characters plus the four control keys that type one.
int CharacterOf(const GdkEventKey* e) {
    if ((e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0) return 0;
    switch (e->keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter: return '\r';
        case GDK_KEY_BackSpace: return '\b';
        case GDK_KEY_Tab: return '\t';
        case GDK_KEY_Escape: return 27;
        default: break;
    }
    gunichar c = gdk_keyval_to_unicode(e->keyval);
    return (c >= 0x20 && c != 0x7f) ? static_cast<int>(c) : 0;
}

GtkBackend* Self(gpointer data) { return static_cast<GtkBackend*>(data); }

Point ClientPoint(const Window& w, GdkWindow* from, double x, double y) {
    GdkWindow* top = gtk_widget_get_window(w.top);
    while (from != nullptr && from != top) {
        gdk_window_coords_to_parent(from, x, y, &x, &y);
        from = gdk_window_get_effective_parent(from);
    }
    return Point{static_cast<int32_t>(std::floor(x)), static_cast<int32_t>(std::floor(y))};
}

void Post(GtkBackend* b, MsgKind kind, NativeWindow window, Point p = {}, int key = 0) {
    Message m;
    m.kind = kind;
    m.window = window;
    m.x = p.x;
    m.y = p.y;
    m.key = key;
    b->postMessage(m);
}

// A finger arrives as touch events; the pointer events the desktop makes up from the same finger
// (for programs that know no touch) would press twice.
bool MadeFromFinger(GdkEvent* e) { return gdk_event_get_pointer_emulated(e); }

// A right button from a touch screen is a driver's long-press emulation: no child asked for a menu.
bool FromTouchScreen(GdkEvent* e) {
    GdkDevice* source = gdk_event_get_source_device(e);
    return source != nullptr && gdk_device_get_source(source) == GDK_SOURCE_TOUCHSCREEN;
}

gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* e, gpointer data) {
    GtkBackend* b = Self(data);
    Window* w = b->findByWidget(widget);
    if (w == nullptr) return FALSE;
    if (MadeFromFinger(reinterpret_cast<GdkEvent*>(e))) return TRUE;
    const Point p = ClientPoint(*w, e->window, e->x, e->y);
    if (e->type == GDK_BUTTON_PRESS) {
        b->rememberTrigger(reinterpret_cast<GdkEvent*>(e));
        if (e->button == 1) Post(b, MsgKind::LButtonDown, w->id, p);
        if (e->button == 3 && !FromTouchScreen(reinterpret_cast<GdkEvent*>(e)))
            Post(b, MsgKind::RButtonDown, w->id, p);
    } else if (e->type == GDK_2BUTTON_PRESS && e->button == 1) {
        b->turnPressIntoDoubleClick(w->id, p);
    }
    // A third quick press has already arrived as a plain press: its GDK_3BUTTON_PRESS adds nothing.
    return TRUE;
}

gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* e, gpointer data) {
    GtkBackend* b = Self(data);
    Window* w = b->findByWidget(widget);
    if (w == nullptr) return FALSE;
    if (MadeFromFinger(reinterpret_cast<GdkEvent*>(e))) return TRUE;
    if (e->button == 1) Post(b, MsgKind::LButtonUp, w->id, ClientPoint(*w, e->window, e->x, e->y));
    return TRUE;
}

gboolean OnMotion(GtkWidget* widget, GdkEventMotion* e, gpointer data) {
    GtkBackend* b = Self(data);
    Window* w = b->findByWidget(widget);
    if (w == nullptr) return FALSE;
    if (MadeFromFinger(reinterpret_cast<GdkEvent*>(e))) return TRUE;
    b->postMouseMove(w->id, ClientPoint(*w, e->window, e->x, e->y), (e->state & GDK_BUTTON1_MASK) != 0);
    return TRUE;
}

gboolean OnTouch(GtkWidget* widget, GdkEventTouch* e, gpointer data) {
    GtkBackend* b = Self(data);
    Window* w = b->findByWidget(widget);
    if (w == nullptr) return FALSE;
    TouchPhase phase = TouchPhase::Cancel;
    if (e->type == GDK_TOUCH_BEGIN) phase = TouchPhase::Begin;
    if (e->type == GDK_TOUCH_UPDATE) phase = TouchPhase::Update;
    if (e->type == GDK_TOUCH_END) phase = TouchPhase::End;
    b->takeTouch(TouchEvent{phase, reinterpret_cast<uintptr_t>(e->sequence), w->id,
                            ClientPoint(*w, e->window, e->x, e->y), e->time});
    return TRUE;  // taken: GTK makes no pointer events of its own from it
}

gboolean OnKey(GtkWidget* widget, GdkEventKey* e, gpointer data) {
    GtkBackend* b = Self(data);
    Window* w = b->findByWidget(widget);
    if (w == nullptr) return FALSE;
    const int key = VirtualKeyOf(e);
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(w->top));
    // Typing belongs to the focused control; Return and Escape still reach the dialog itself.
    if (focus != nullptr && focus != w->area && key != kVkEscape && key != kVkReturn) return FALSE;
    const bool press = e->type == GDK_KEY_PRESS;
    if (press) b->rememberTrigger(reinterpret_cast<GdkEvent*>(e));
    if (key != 0) Post(b, press ? MsgKind::KeyDown : MsgKind::KeyUp, w->id, {}, key);
    if (press) {
        if (int c = CharacterOf(e)) Post(b, MsgKind::Char, w->id, {}, c);
    }
    return TRUE;
}

gboolean OnFocus(GtkWidget* widget, GdkEventFocus* e, gpointer data) {
    GtkBackend* b = Self(data);
    if (Window* w = b->findByWidget(widget)) b->postFocus(w->id, e->in != 0);
    if (e->in == 0) b->liftFinger();
    return FALSE;  // GTK keeps its own focus bookkeeping for the controls
}

gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* e, gpointer data) {
    GtkBackend* b = Self(data);
    if (Window* w = b->findByWidget(widget))
        b->onConfigure(w->id, Rect{e->x, e->y, e->x + e->width, e->y + e->height});
    return FALSE;  // GTK still has to lay the window out
}

gboolean OnDelete(GtkWidget* widget, GdkEvent*, gpointer data) {
    GtkBackend* b = Self(data);
    if (Window* w = b->findByWidget(widget)) Post(b, MsgKind::Close, w->id);
    return TRUE;  // the window procedure decides
}

// Exposes are served from the mirror; the program still hears of them, except when only a
// control (a blinking text cursor) was redrawn.
gboolean OnDraw(GtkWidget* area, cairo_t* cr, gpointer data) {
    GtkBackend* b = Self(data);
    Window* w = b->findByWidget(area);
    if (w == nullptr || w->mirror == nullptr) return FALSE;
    b->makeMirror(*w);  // the expose may be the first news of a new scale factor
    PaintMirror(cr, w->mirror);
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    for (const Control& c : w->controls) {
        GtkAllocation drawn;  // the control's drawing may reach past its rectangle (focus rings)
        gtk_widget_get_clip(c.widget, &drawn);
        if (x0 >= drawn.x && y0 >= drawn.y && x1 <= drawn.x + drawn.width && y1 <= drawn.y + drawn.height)
            return TRUE;
    }
    b->postPaint(w->id);
    return TRUE;
}

void OnDisplayChange(GdkScreen*, gpointer data) { Self(data)->postToAll(MsgKind::DisplayChange); }

}  // namespace

int VirtualKeyOf(const GdkEventKey* e) {
    // The unshifted key decides, so Shift+1 is still the key '1'; but a keypad digit typed with
    // Num Lock on stays a digit (its unlocked self is a direction).
    if (e->keyval >= GDK_KEY_KP_0 && e->keyval <= GDK_KEY_KP_9) return VirtualKeyOfKeyval(e->keyval);
    guint keyval = e->keyval;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(e->window));
    guint plain = 0;
    if (gdk_keymap_translate_keyboard_state(keymap, e->hardware_keycode, static_cast<GdkModifierType>(0),
                                            e->group, &plain, nullptr, nullptr, nullptr))
        keyval = plain;
    int key = VirtualKeyOfKeyval(keyval);
    return key != 0 ? key : VirtualKeyOfKeyval(e->keyval);
}

std::vector<guint> KeyvalsOfVirtualKey(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return {static_cast<guint>(GDK_KEY_a + (virtualKey - 'A'))};
    if (virtualKey >= '0' && virtualKey <= '9') return {static_cast<guint>(GDK_KEY_0 + (virtualKey - '0'))};
    if (virtualKey >= kVkF1 && virtualKey < kVkF1 + kFunctionKeys)
        return {static_cast<guint>(GDK_KEY_F1 + (virtualKey - kVkF1))};
    std::vector<guint> keyvals;
    for (const NamedKey& k : kNamedKeys)
        if (k.virtualKey == virtualKey) keyvals.push_back(k.keyval);
    return keyvals;
}

void GtkBackend::connectWindowEvents(Window& w) {
    gtk_widget_add_events(w.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                      GDK_TOUCH_MASK);
    g_signal_connect(w.area, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(w.area, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(w.area, "button-release-event", G_CALLBACK(OnButtonRelease), this);
    g_signal_connect(w.area, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(w.area, "touch-event", G_CALLBACK(OnTouch), this);
    g_signal_connect(w.top, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(w.top, "key-release-event", G_CALLBACK(OnKey), this);
    g_signal_connect(w.top, "focus-in-event", G_CALLBACK(OnFocus), this);
    g_signal_connect(w.top, "focus-out-event", G_CALLBACK(OnFocus), this);
    g_signal_connect(w.top, "configure-event", G_CALLBACK(OnConfigure), this);
    g_signal_connect(w.top, "delete-event", G_CALLBACK(OnDelete), this);
}

void GtkBackend::connectScreenEvents() {
    GdkScreen* screen = gdk_screen_get_default();
    g_signal_connect(screen, "size-changed", G_CALLBACK(OnDisplayChange), this);
    g_signal_connect(screen, "monitors-changed", G_CALLBACK(OnDisplayChange), this);
}

void GtkBackend::takeTouch(const TouchEvent& touch) {
    if (touch.phase == TouchPhase::Begin) {
        gint time = 400, distance = 5;
        g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &time, "gtk-double-click-distance",
                     &distance, nullptr);
        touch_.setDoubleTap(time, distance);
    }
    postFromFinger(touch_.feed(touch));
}

void GtkBackend::liftFinger() { postFromFinger(touch_.lift()); }

void GtkBackend::postFromFinger(const TouchMessages& made) {
    for (int i = 0; i < made.count; ++i) {
        const Message& m = made.messages[i];
        if (m.kind == MsgKind::MouseMove) {
            postMouseMove(m.window, Point{m.x, m.y}, m.leftButtonDown);
        } else {
            postMessage(m);
        }
    }
}

void GtkBackend::rememberTrigger(const GdkEvent* event) {
    if (trigger_ != nullptr) gdk_event_free(trigger_);
    trigger_ = gdk_event_copy(event);
}

}  // namespace platform::gtk
