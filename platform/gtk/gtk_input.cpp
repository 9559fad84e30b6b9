// Pointer position, button and key state polled at the moment of asking, and cursors.
#include <dlfcn.h>

#include <algorithm>

#include "platform/gtk/gtk_backend.h"
#include "resources/resources.h"

// After every header that names MsgKind::None: Xlib defines None as a macro.
#include <gdk/gdkx.h>

namespace platform::gtk {
namespace {

// The build links GTK alone. libX11 is in the process all the same (it carries GDK's X11
// backend), so the two queries GDK does not wrap are looked up there.
template <typename Fn>
Fn* XlibFunction(const char* name) {
    return reinterpret_cast<Fn*>(dlsym(RTLD_DEFAULT, name));
}

Display* XDisplayOrNull() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return nullptr;
    return gdk_x11_display_get_xdisplay(display);
}

GdkDevice* PointerDevice() {
    return gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
}

// The button number X reports for a physical button, after the user's button mapping.
int LogicalButton(int physical) {
    Display* x = XDisplayOrNull();
    auto* getMapping = XlibFunction<decltype(XGetPointerMapping)>("XGetPointerMapping");
    if (x == nullptr || getMapping == nullptr) return physical;
    unsigned char map[32];
    int count = getMapping(x, map, sizeof map);
    return physical <= count ? map[physical - 1] : physical;
}

// A cursor resource: uint16 width, height, hotX, hotY, then straight-alpha RGBA rows. On a
// desktop scaled by an integer factor each of its pixels becomes a sharp block, as the
// program's own pixels do.
GdkCursor* CursorFromResource(int cursorId) {
    ResourceData data = FindResource(ResourceKind::Cursor, cursorId);
    if (!data || data.size < 8) return nullptr;
    const uint8_t* b = data.bytes;
    const int width = b[0] | b[1] << 8, height = b[2] | b[3] << 8;
    const int hotX = b[4] | b[5] << 8, hotY = b[6] | b[7] << 8;
    if (width == 0 || height == 0 || data.size < 8 + static_cast<size_t>(width) * height * 4) return nullptr;

    GdkDisplay* display = gdk_display_get_default();
    const int scale = std::max(1, gdk_monitor_get_scale_factor(gdk_display_get_monitor(display, 0)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale);
    uint8_t* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height * scale; ++y) {
        const uint8_t* src = b + 8 + static_cast<ptrdiff_t>(y / scale) * width * 4;
        auto* dst = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width * scale; ++x) {
            const uint8_t* p = src + x / scale * 4;
            const uint32_t a = p[3];
            auto premultiply = [a](uint32_t c) { return (c * a + 127) / 255; };
            dst[x] = a << 24 | premultiply(p[0]) << 16 | premultiply(p[1]) << 8 | premultiply(p[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    cairo_surface_set_device_scale(surface, scale, scale);
    GdkCursor* cursor = gdk_cursor_new_from_surface(display, surface, hotX, hotY);
    cairo_surface_destroy(surface);
    return cursor;
}

}  // namespace

Point GtkBackend::cursorPos() {
    ensureGtk();
    int x = 0, y = 0;
    gdk_device_get_position(PointerDevice(), nullptr, &x, &y);
    return Point{x, y};
}

void GtkBackend::setCursorPos(Point screenPoint) {
    ensureGtk();
    gdk_device_warp(PointerDevice(), gdk_screen_get_default(), screenPoint.x, screenPoint.y);
    gdk_display_flush(gdk_display_get_default());
}

bool GtkBackend::isButtonDown(MouseButton button) {
    ensureGtk();
    // A finger down is the primary button, whichever physical button that is, whatever the
    // desktop's own emulation makes of the pointer meanwhile.
    if (touch_.fingerDown() && button == (buttonsSwapped() ? MouseButton::Right : MouseButton::Left)) return true;
    const int logical = LogicalButton(button == MouseButton::Left ? 1 : 3);
    if (logical < 1 || logical > 5) return false;
    GdkModifierType state = static_cast<GdkModifierType>(0);
    gdk_device_get_state(PointerDevice(), gdk_get_default_root_window(), nullptr, &state);
    return (state & (GDK_BUTTON1_MASK << (logical - 1))) != 0;
}

bool GtkBackend::buttonsSwapped() {
    ensureGtk();
    return LogicalButton(1) == 3;
}

bool GtkBackend::isKeyDown(int virtualKey) {
    ensureGtk();
    Display* x = XDisplayOrNull();
    auto* queryKeymap = XlibFunction<decltype(XQueryKeymap)>("XQueryKeymap");
    if (x == nullptr || queryKeymap == nullptr) return false;
    char down[32];
    queryKeymap(x, down);
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    for (guint keyval : KeyvalsOfVirtualKey(virtualKey)) {
        GdkKeymapKey* keys = nullptr;
        gint count = 0;
        if (!gdk_keymap_get_entries_for_keyval(keymap, keyval, &keys, &count)) continue;
        bool found = false;
        for (gint i = 0; i < count && !found; ++i) {
            const guint code = keys[i].keycode;
            found = code < 256 && (down[code / 8] & (1 << (code % 8))) != 0;
        }
        g_free(keys);
        if (found) return true;
    }
    return false;
}

void GtkBackend::setCursor(int cursorId) {
    ensureGtk();
    currentCursorId_ = cursorId;
    auto it = cursors_.find(cursorId);
    if (it == cursors_.end()) {
        GdkCursor* cursor = CursorFromResource(cursorId);
        if (cursor == nullptr) return;  // an unknown id keeps the cursor that shows
        it = cursors_.emplace(cursorId, cursor).first;
    }
    if (currentCursor_ == it->second) return;
    currentCursor_ = it->second;
    for (auto& [id, w] : windows_) applyCursor(*w);
    gdk_display_flush(gdk_display_get_default());
}

void GtkBackend::applyCursor(Window& w) {
    GdkWindow* gdkWindow = gtk_widget_get_window(w.top);
    if (gdkWindow != nullptr && currentCursor_ != nullptr) gdk_window_set_cursor(gdkWindow, currentCursor_);
}

}  // namespace platform::gtk
