// Program windows and their backing stores (gtk_present.cpp puts them on screen).
#include <cstring>

#include "platform/gtk/gtk_backend.h"
#include "resources/resources.h"

namespace platform::gtk {
namespace {

constexpr int kProgramIcon = 375;

GdkPixbuf* PixbufFromImage(const ResourceData& data) {
    if (data.size < 8) return nullptr;
    const uint8_t* b = data.bytes;
    const int width = b[0] | b[1] << 8;
    const int height = b[2] | b[3] << 8;
    if (width == 0 || height == 0 || data.size < 8 + static_cast<size_t>(width) * height * 4) return nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (pixbuf == nullptr) return nullptr;
    uint8_t* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels + static_cast<ptrdiff_t>(y) * stride, b + 8 + static_cast<size_t>(y) * width * 4,
                    static_cast<size_t>(width) * 4);
    return pixbuf;
}

// A window held over the desktop comes back at once when a window manager's key or menu puts it
// away (minimised, or hidden with the rest while the desktop is shown). The program's own hiding
// and closing clear GTK's visible first.
gboolean ShowAgain(GtkWidget* top, GdkEvent*, gpointer) {
    if (gtk_widget_get_visible(top)) gtk_window_present(GTK_WINDOW(top));
    return FALSE;
}

// Back above the rest at the next click into the room, after the help page let a browser over it.
gboolean AboveAgain(GtkWidget* area, GdkEvent* e, gpointer) {
    if (e->type == GDK_BUTTON_PRESS) gtk_window_set_keep_above(GTK_WINDOW(gtk_widget_get_toplevel(area)), TRUE);
    return FALSE;
}

}  // namespace

NativeWindow GtkBackend::createWindow(const Rect& rect, const std::string& title, WindowProc proc) {
    return openWindow(rect, title, proc, 0, false);
}

NativeWindow GtkBackend::openWindow(const Rect& rect, const std::string& title, WindowProc proc,
                                    NativeWindow owner, bool isDialog) {
    ensureGtk();
    if (rect.isEmpty() || proc == nullptr) return 0;
    auto w = std::make_unique<Window>();
    w->id = nextWindow_++;
    w->proc = proc;
    w->isDialog = isDialog;
    w->rect = rect;

    w->top = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* top = GTK_WINDOW(w->top);
    g_object_set_data(G_OBJECT(w->top), kWindowIdKey, GINT_TO_POINTER(w->id));
    gtk_window_set_title(top, title.c_str());
    gtk_window_set_decorated(top, FALSE);
    gtk_window_set_resizable(top, TRUE);
    if (Window* o = find(owner)) gtk_window_set_transient_for(top, GTK_WINDOW(o->top));
    if (isDialog) {
        gtk_window_set_modal(top, TRUE);
        gtk_window_set_type_hint(top, GDK_WINDOW_TYPE_HINT_DIALOG);
        gtk_window_set_skip_taskbar_hint(top, TRUE);
    }

    w->layer = gtk_fixed_new();
    w->area = gtk_drawing_area_new();
    gtk_fixed_put(GTK_FIXED(w->layer), w->area, 0, 0);
    gtk_container_add(GTK_CONTAINER(w->top), w->layer);

    // Without a window manager nobody else places the window: put it exactly where asked.
    gtk_window_move(top, rect.left, rect.top);
    resizeBackingStore(*w, rect.width(), rect.height());
    gtk_window_set_default_size(top, rect.width(), rect.height());
    if (rect == desktopRect()) gtk_window_fullscreen(top);

    connectWindowEvents(*w);
    gtk_widget_realize(w->top);
    // GTK makes the X window where it likes and moves it when it is shown; a window manager may
    // still tell of that first place after the move, which is no placement of its own.
    GdkRectangle made{};
    gdk_window_get_geometry(gtk_widget_get_window(w->top), &made.x, &made.y, &made.width, &made.height);
    const Rect first{made.x, made.y, made.x + made.width, made.y + made.height};
    if (first != rect) w->requested.push_back(first);
    applyCursor(*w);
    NativeWindow id = w->id;
    windows_.emplace(id, std::move(w));
    setWindowIcon(id, kProgramIcon);
    return id;
}

void GtkBackend::holdOverDesktop(NativeWindow window) {
    Window* w = find(window);
    if (w == nullptr) return;
    held_ = window;
    GtkWindow* top = GTK_WINDOW(w->top);
    gtk_window_set_keep_above(top, TRUE);
    gtk_window_fullscreen(top);
    gtk_window_set_deletable(top, FALSE);
    // A click on a taskbar's entry for the window that has the focus puts it away, and a pager
    // drags it to another desktop: either would leave the child at the desktop.
    gtk_window_set_skip_taskbar_hint(top, TRUE);
    gtk_window_set_skip_pager_hint(top, TRUE);
    // On every workspace: a key that switches workspaces would otherwise leave an empty one.
    gtk_window_stick(top);
    g_signal_connect(w->top, "unmap-event", G_CALLBACK(ShowAgain), nullptr);
    g_signal_connect(w->area, "event", G_CALLBACK(AboveAgain), nullptr);
}

void GtkBackend::resizeBackingStore(Window& w, int width, int height) {
    if (w.view.width == width && w.view.height == height && w.mirror != nullptr) return;
    const int32_t stride = StrideFor(width, 24);
    w.pixels.assign(static_cast<size_t>(stride) * height, 0);
    w.view = PixelView{w.pixels.data(), width, height, stride, 24, nullptr};
    makeMirror(w);
    gtk_widget_set_size_request(w.area, width, height);
}

void GtkBackend::destroyWindow(NativeWindow window) {
    Window* w = find(window);
    if (w == nullptr) return;
    Message msg;
    msg.kind = MsgKind::Destroy;
    msg.window = window;
    w->proc(msg);
    removeWindow(window);
}

void GtkBackend::removeWindow(NativeWindow window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    std::unique_ptr<Window> w = std::move(it->second);
    windows_.erase(it);
    for (auto t = timers_.begin(); t != timers_.end();) {
        if (static_cast<NativeWindow>(t->first >> 32) == window) {
            g_source_remove(t->second);
            t = timers_.erase(t);
        } else {
            ++t;
        }
    }
    std::erase_if(queue_, [window](const Message& m) { return m.window == window; });
    for (DialogRun* run : dialogs_)
        if (run->window == window) run->ended = true;
    if (gtkReady_) gtk_widget_destroy(w->top);
    DropMirror(w->mirror);
}

bool GtkBackend::isWindow(NativeWindow window) { return find(window) != nullptr; }

void GtkBackend::showWindow(NativeWindow window) {
    Window* w = find(window);
    if (w == nullptr) return;
    gtk_widget_show_all(w->top);
    gtk_window_present(GTK_WINDOW(w->top));
}

void GtkBackend::bringToFront(NativeWindow window) {
    Window* w = find(window);
    if (w == nullptr) return;
    gtk_window_deiconify(GTK_WINDOW(w->top));
    gtk_window_present(GTK_WINDOW(w->top));
}

void GtkBackend::moveWindow(NativeWindow window, const Rect& rect) {
    Window* w = find(window);
    if (w == nullptr || rect.isEmpty()) return;
    if (w->requested.size() >= 8) w->requested.erase(w->requested.begin());
    w->requested.push_back(w->rect);
    w->rect = rect;
    // Shrink the drawing area first: a window is never made smaller than its content.
    resizeBackingStore(*w, rect.width(), rect.height());
    gtk_window_move(GTK_WINDOW(w->top), rect.left, rect.top);
    gtk_window_resize(GTK_WINDOW(w->top), rect.width(), rect.height());
    // GTK skips a request equal to its previous one, even when someone else has since moved or
    // resized the window; ask the X server directly as well.
    if (GdkWindow* gdkWindow = gtk_widget_get_window(w->top))
        gdk_window_move_resize(gdkWindow, rect.left, rect.top, rect.width(), rect.height());
}

Rect GtkBackend::windowRect(NativeWindow window) {
    Window* w = find(window);
    return w != nullptr ? w->rect : Rect{};
}

Rect GtkBackend::clientRect(NativeWindow window) {
    Window* w = find(window);
    return w != nullptr ? Rect{0, 0, w->view.width, w->view.height} : Rect{};
}

void GtkBackend::setWindowTitle(NativeWindow window, const std::string& title) {
    if (Window* w = find(window)) gtk_window_set_title(GTK_WINDOW(w->top), title.c_str());
}

void GtkBackend::setWindowIcon(NativeWindow window, int iconId) {
    Window* w = find(window);
    if (w == nullptr) return;
    GList* icons = nullptr;
    for (int i = 0;; ++i) {
        ResourceData data = FindIcon(iconId, i);
        if (!data) break;
        if (GdkPixbuf* pixbuf = PixbufFromImage(data)) icons = g_list_append(icons, pixbuf);
    }
    if (icons == nullptr) return;
    gtk_window_set_icon_list(GTK_WINDOW(w->top), icons);
    g_list_free_full(icons, g_object_unref);
}

PixelView GtkBackend::backingStore(NativeWindow window) {
    Window* w = find(window);
    return w != nullptr ? w->view : PixelView{};
}

}  // namespace platform::gtk
