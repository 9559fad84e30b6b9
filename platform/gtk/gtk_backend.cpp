// Starting GTK, the screen, and the pieces every other file of the backend leans on.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "platform/gtk/gtk_backend.h"
#include "platform/gtk/gtk_platform.h"

// After every header that names MsgKind::None: Xlib defines None as a macro.
#include <gdk/gdkx.h>

namespace platform::gtk {
namespace {

GdkMonitor* PrimaryMonitor() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, 0, 0);
    return monitor != nullptr ? monitor : gdk_display_get_primary_monitor(display);
}

// The painted dialogs place their controls in small fixed rectangles (an edit line 14 pixels
// high); the theme's usual padding and minimum heights would not fit them.
constexpr const char* kControlCss =
    "entry.pictoria-edit { min-height: 0; padding: 0 3px; font-size: 11px; }\n"
    "treeview.pictoria-list { font-size: 11px; }\n"
    "treeview.pictoria-list.view { padding: 0; }\n";

}  // namespace

GtkBackend::~GtkBackend() {
    while (!windows_.empty()) removeWindow(windows_.begin()->first);
    for (auto& [key, source] : timers_) g_source_remove(source);
    for (auto& [id, cursor] : cursors_) g_object_unref(cursor);
    if (trigger_ != nullptr) gdk_event_free(trigger_);
    if (instanceWatch_ != 0) g_source_remove(instanceWatch_);
    if (instanceSocket_ >= 0) close(instanceSocket_);
}

void GtkBackend::ensureGtk() {
    if (gtkReady_) return;
    // Placing windows, warping the pointer and polling the keyboard need X11; a Wayland session
    // still offers it through its X server.
    gdk_set_allowed_backends("x11,*");
    // The program draws with cairo only. Left on, GDK loads the whole OpenGL stack (tens of MB,
    // a noticeable start-up delay) to choose visuals on an X server where no GTK program ran yet.
    g_setenv("GDK_GL", "disable", FALSE);
    g_set_prgname("pictoria");
    gtk_disable_setlocale();  // the program has set it, keeping numbers in the C locale
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "pictoria: cannot open the display %s; the program needs a graphical desktop.\n",
                     display != nullptr ? display : "(DISPLAY is not set)");
        std::exit(1);
    }
    gtkReady_ = true;
    g_set_application_name("Pictoria");

    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kControlCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);

    desktopFactor_ = std::max(1, gdk_monitor_get_scale_factor(PrimaryMonitor()));
    connectScreenEvents();
    watchSession();
}

int GtkBackend::screenDepth() {
    ensureGtk();
    GdkVisual* visual = gdk_screen_get_system_visual(gdk_screen_get_default());
    return visual != nullptr ? gdk_visual_get_depth(visual) : 24;
}

Rect GtkBackend::desktopRect() {
    ensureGtk();
    GdkMonitor* monitor = PrimaryMonitor();
    if (monitor == nullptr) return Rect{0, 0, 640, 480};
    GdkRectangle g;
    gdk_monitor_get_geometry(monitor, &g);
    return Rect{0, 0, g.width, g.height};
}

ScreenPixels GtkBackend::screenPixels() {
    ensureGtk();
    const Rect desktop = desktopRect();
    GdkMonitor* monitor = PrimaryMonitor();
    const int factor = monitor != nullptr ? std::max(1, gdk_monitor_get_scale_factor(monitor)) : 1;
    return ScreenPixels{desktop.width() * factor, desktop.height() * factor, desktopFactor_, factor};
}

void GtkBackend::setScale(int factor) {
    ensureGtk();
    factor = std::max(1, factor);
    if (screenPixels().factor == factor) return;
    // GDK tells of the new monitor sizes at once; the caller lays its windows out anew itself, so
    // that news must not come back as a display change of its own.
    GdkScreen* screen = gdk_screen_get_default();
    g_signal_handlers_block_matched(screen, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    GdkDisplay* display = gdk_display_get_default();
    if (GDK_IS_X11_DISPLAY(display)) gdk_x11_display_set_window_scale(display, factor);
    g_signal_handlers_unblock_matched(screen, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    // The cursors were made for the old factor.
    for (auto& [id, cursor] : cursors_) g_object_unref(cursor);
    cursors_.clear();
    currentCursor_ = nullptr;
    if (currentCursorId_ != 0) setCursor(currentCursorId_);
}

Window* GtkBackend::find(NativeWindow window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

Window* GtkBackend::findByWidget(GtkWidget* widget) {
    if (widget == nullptr) return nullptr;
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    return find(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(top), kWindowIdKey)));
}

void GtkBackend::raiseAll() {
    for (auto& [id, w] : windows_) {
        if (!gtk_widget_get_visible(w->top)) continue;
        gtk_window_deiconify(GTK_WINDOW(w->top));
        gtk_window_present(GTK_WINDOW(w->top));
    }
    for (GtkWidget* box : boxes_) gtk_window_present(GTK_WINDOW(box));
}

void GtkBackend::restoreFocus() {
    if (!boxes_.empty()) {
        gtk_window_present(GTK_WINDOW(boxes_.back()));
        return;
    }
    // Dialogs get higher ids than their owners, so the last visible window is the active one.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (gtk_widget_get_visible(it->second->top)) {
            gtk_window_present(GTK_WINDOW(it->second->top));
            return;
        }
    }
}

void GtkBackend::playSound(int soundId, SoundMode mode) { audio_.play(soundId, mode); }
void GtkBackend::stopSound() { audio_.stop(); }

void GtkBackend::beep() {
    ensureGtk();
    gdk_display_beep(gdk_display_get_default());
}

}  // namespace platform::gtk

std::unique_ptr<platform::Platform> CreateGtkPlatform() {
    return std::make_unique<platform::gtk::GtkBackend>();
}
