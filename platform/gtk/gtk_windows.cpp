// Program windows, their backing stores, and putting the backing store on screen.
#include <bit>
#include <cstring>

#include "platform/gtk/gtk_backend.h"
#include "resources/resources.h"

namespace platform::gtk {
namespace {

constexpr int kProgramIcon = 375;

// Bottom-up BGR rows into the cairo mirror (0x00RRGGBB words, top-down).
void CopyToMirror(const PixelView& view, cairo_surface_t* mirror, const Rect& r) {
    cairo_surface_flush(mirror);
    uint8_t* data = cairo_image_surface_get_data(mirror);
    const int stride = cairo_image_surface_get_stride(mirror);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const uint8_t* src = RowPointer(view, y) + r.left * 3;
        auto* dst = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride) + r.left;
        int32_t n = r.width();
        // B, G, R in memory is a little-endian 0x00RRGGBB word short of its top byte: four pixels
        // at a time are three 32-bit loads spread over four words.
        static_assert(std::endian::native == std::endian::little);
        for (; n >= 4; n -= 4, src += 12, dst += 4) {
            uint32_t a, b, c;
            std::memcpy(&a, src, 4);
            std::memcpy(&b, src + 4, 4);
            std::memcpy(&c, src + 8, 4);
            dst[0] = a & 0xFFFFFFu;
            dst[1] = (a >> 24) | (b & 0xFFFFu) << 8;
            dst[2] = (b >> 16) | (c & 0xFFu) << 16;
            dst[3] = c >> 8;
        }
        for (; n > 0; --n, src += 3)
            *dst++ = static_cast<uint32_t>(src[2]) << 16 | static_cast<uint32_t>(src[1]) << 8 | src[0];
    }
    cairo_surface_mark_dirty_rectangle(mirror, r.left, r.top, r.width(), r.height());
}

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
    applyCursor(*w);
    NativeWindow id = w->id;
    windows_.emplace(id, std::move(w));
    setWindowIcon(id, kProgramIcon);
    return id;
}

void GtkBackend::resizeBackingStore(Window& w, int width, int height) {
    if (w.view.width == width && w.view.height == height && w.mirror != nullptr) return;
    const int32_t stride = StrideFor(width, 24);
    w.pixels.assign(static_cast<size_t>(stride) * height, 0);
    w.view = PixelView{w.pixels.data(), width, height, stride, 24, nullptr};
    if (w.mirror != nullptr) cairo_surface_destroy(w.mirror);
    // Made like the screen's own surfaces, the mirror lives in memory shared with the X server:
    // presents send it as it is, where a private image would be copied into a fresh stretch of
    // cairo's shared pool each time, leaving ever more of that pool resident.
    w.mirror = gdk_window_create_similar_image_surface(nullptr, CAIRO_FORMAT_RGB24, width, height, 1);
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
    if (w->mirror != nullptr) cairo_surface_destroy(w->mirror);
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

// On a desktop scaled by an integer factor every pixel of ours becomes a sharp block of the
// screen's pixels, not a smoothed one.
void PaintMirror(cairo_t* cr, cairo_surface_t* mirror) {
    cairo_set_source_surface(cr, mirror, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
}

PixelView GtkBackend::backingStore(NativeWindow window) {
    Window* w = find(window);
    return w != nullptr ? w->view : PixelView{};
}

void GtkBackend::present(NativeWindow window, const Rect& rect) {
    Window* w = find(window);
    if (w == nullptr) return;
    const Rect r = IntersectRects(rect, Rect{0, 0, w->view.width, w->view.height});
    if (r.isEmpty()) return;
    CopyToMirror(w->view, w->mirror, r);

    // Until the window is on screen its first expose shows the mirror.
    GdkWindow* gdkWindow = gtk_widget_get_window(w->top);
    if (gdkWindow == nullptr || !gdk_window_is_viewable(gdkWindow)) return;
    cairo_rectangle_int_t area{r.left, r.top, r.width(), r.height()};
    cairo_region_t* region = cairo_region_create_rectangle(&area);
    // The real controls draw themselves; painting over them would leave them blank.
    for (const Control& c : w->controls) {
        cairo_rectangle_int_t cr{c.rect.left, c.rect.top, c.rect.width(), c.rect.height()};
        cairo_region_subtract_rectangle(region, &cr);
    }
    if (!cairo_region_is_empty(region)) {
        // Drawn now rather than at the next frame tick: transitions, rubber bands and dialogs'
        // own loops must be seen before the program goes on.
        GdkDrawingContext* context = gdk_window_begin_draw_frame(gdkWindow, region);
        PaintMirror(gdk_drawing_context_get_cairo_context(context), w->mirror);
        gdk_window_end_draw_frame(gdkWindow, context);
        gdk_display_flush(gdk_window_get_display(gdkWindow));
    }
    cairo_region_destroy(region);
}

}  // namespace platform::gtk
