// Putting a window's backing store on screen.
//
// The mirror is a device-size RGB24 surface in memory shared with the X server, with the
// window's scale factor as its device scale: one pass over the changed pixels writes each of
// them as its s x s block, and cairo and the X server then copy without scaling anything.
#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

#include "platform/gtk/gtk_backend.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace platform::gtk {
namespace {

static_assert(std::endian::native == std::endian::little);

// The device rows of one source row: `rows` rows of `stride` bytes from `dst`.
struct DeviceRows {
    uint8_t* dst;
    ptrdiff_t stride;
    int rows;
};

// The columns whose blocks a row's pass wrote: [first, last) in source pixels from its start.
struct Written {
    int first = INT_MAX;
    int last = 0;
    void add(int from, int to) {
        first = std::min(first, from);
        last = std::max(last, to);
    }
};

// B, G, R in memory is a little-endian 0x00RRGGBB word short of its top byte.
uint32_t WordOf(const uint8_t* p) {
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

// The plain way, for the pixels the wide loop leaves and for processors without SSSE3: blocks
// that differ are written on the first device row, then that stretch is copied to the others.
void PlainRow(const uint8_t* src, int n, int scale, const DeviceRows& out, bool force, int at, Written& written) {
    auto* dst = reinterpret_cast<uint32_t*>(out.dst);
    int first = n, last = 0;
    for (int i = 0; i < n; ++i, src += 3) {
        const uint32_t word = WordOf(src);
        uint32_t* block = dst + i * scale;
        if (!force && *block == word) continue;
        for (int k = 0; k < scale; ++k) block[k] = word;
        first = std::min(first, i);
        last = i + 1;
    }
    if (first >= last) return;
    const ptrdiff_t from = static_cast<ptrdiff_t>(first) * scale * 4;
    const size_t bytes = static_cast<size_t>(last - first) * scale * 4;
    for (int row = 1; row < out.rows; ++row) std::memcpy(out.dst + row * out.stride + from, out.dst + from, bytes);
    written.add(at + first, at + last);
}

#if defined(__x86_64__)
// Four pixels (twelve bytes) per 16-byte load, each spread to a word with a zero top byte,
// then each word repeated S times across and, where the first device row differs, written to
// all S device rows while in a register.
template <int S>
__attribute__((target("ssse3"))) int WideRow(const uint8_t* src, int n, const DeviceRows& out, bool force,
                                             Written& written) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int done = 0;
    uint8_t* dst = out.dst;
    // The load reaches four bytes past the four pixels: stop while six pixels remain so that
    // it never leaves the row (the last row of the buffer has nothing after it).
    for (; n - done >= 6; done += 4, src += 12, dst += 16 * S) {
        const __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src)), spread);
        __m128i parts[S];
        if constexpr (S == 1) {
            parts[0] = v;
        } else if constexpr (S == 2) {
            parts[0] = _mm_unpacklo_epi32(v, v);
            parts[1] = _mm_unpackhi_epi32(v, v);
        } else if constexpr (S == 3) {
            parts[0] = _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0));
            parts[1] = _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1));
            parts[2] = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2));
        } else {
            parts[0] = _mm_shuffle_epi32(v, 0x00);
            parts[1] = _mm_shuffle_epi32(v, 0x55);
            parts[2] = _mm_shuffle_epi32(v, 0xAA);
            parts[3] = _mm_shuffle_epi32(v, 0xFF);
        }
        auto* row0 = reinterpret_cast<__m128i*>(dst);
        if (!force) {
            __m128i same = _mm_set1_epi32(-1);
            for (int k = 0; k < S; ++k) same = _mm_and_si128(same, _mm_cmpeq_epi32(parts[k], _mm_loadu_si128(row0 + k)));
            if (_mm_movemask_epi8(same) == 0xFFFF) continue;
        }
        for (int row = 0; row < S; ++row)
            for (int k = 0; k < S; ++k)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + row * out.stride) + k, parts[k]);
        written.add(done, done + 4);
    }
    return done;
}

using WideRowFn = int (*)(const uint8_t*, int, const DeviceRows&, bool, Written&);
constexpr WideRowFn kWideRows[] = {nullptr, WideRow<1>, WideRow<2>, WideRow<3>, WideRow<4>};
const bool kHasSsse3 = __builtin_cpu_supports("ssse3");
#endif

// Bottom-up BGR rows of r into the mirror, each pixel as a scale x scale block. Unless forced
// (a new mirror holds anything), a block the mirror already holds is left alone; returns the
// rectangle around the blocks written. The window already shows every block the mirror holds
// (each change is painted at once, and an expose paints from the mirror), so a present of
// pixels that did not change, as when one rectangle is presented twice in a row, costs a read.
Rect CopyToMirror(const PixelView& view, cairo_surface_t* mirror, const Rect& r, int scale, bool force) {
    cairo_surface_flush(mirror);
    uint8_t* data = cairo_image_surface_get_data(mirror);
    const ptrdiff_t stride = cairo_image_surface_get_stride(mirror);
    const int n = r.width();
    Written columns;
    int top = r.bottom, bottom = r.top;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const uint8_t* src = RowPointer(view, y) + r.left * 3;
        DeviceRows out{data + y * scale * stride + static_cast<ptrdiff_t>(r.left) * scale * 4, stride, scale};
        Written row;
        int done = 0;
#if defined(__x86_64__)
        if (kHasSsse3 && scale < static_cast<int>(std::size(kWideRows)))
            done = kWideRows[scale](src, n, out, force, row);
#endif
        out.dst += static_cast<ptrdiff_t>(done) * scale * 4;
        PlainRow(src + done * 3, n - done, scale, out, force, done, row);
        if (row.first >= row.last) continue;
        columns.add(row.first, row.last);
        top = std::min(top, y);
        bottom = y + 1;
    }
    if (top >= bottom) return Rect{};
    const Rect written{r.left + columns.first, top, r.left + columns.last, bottom};
    cairo_surface_mark_dirty_rectangle(mirror, written.left * scale, written.top * scale, written.width() * scale,
                                       written.height() * scale);
    return written;
}

}  // namespace

// Cairo hands out shared images from one large pool and keeps a freed stretch resident for the
// next image; a mirror is large (the window, times the factor squared) and the next image seldom
// fits the same stretch, so its pages are given back with it. An image in private memory (no
// shared memory on this display) is freed by cairo itself and refuses the request.
void DropMirror(cairo_surface_t*& mirror) {
    if (mirror == nullptr) return;
    const auto start = reinterpret_cast<uintptr_t>(cairo_image_surface_get_data(mirror));
    const auto bytes = static_cast<uintptr_t>(cairo_image_surface_get_stride(mirror)) *
                       static_cast<uintptr_t>(cairo_image_surface_get_height(mirror));
    cairo_surface_destroy(mirror);
    mirror = nullptr;
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = (start + page - 1) & ~(page - 1), to = (start + bytes) & ~(page - 1);
    if (start != 0 && to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_REMOVE);
}

int GtkBackend::deviceScale(const Window& w) const {
    return std::max(1, gtk_widget_get_scale_factor(w.area));
}

void GtkBackend::makeMirror(Window& w) {
    const int scale = deviceScale(w);
    if (w.mirror != nullptr && w.mirrorScale == scale && w.mirrorWidth == w.view.width &&
        w.mirrorHeight == w.view.height)
        return;
    DropMirror(w.mirror);
    // Made like the screen's own surfaces, the mirror lives in memory shared with the X server:
    // presents send it as it is, where a private image would be copied into a fresh stretch of
    // cairo's shared pool each time, leaving ever more of that pool resident.
    w.mirror = gdk_window_create_similar_image_surface(nullptr, CAIRO_FORMAT_RGB24, w.view.width * scale,
                                                       w.view.height * scale, scale);
    w.mirrorScale = scale;
    w.mirrorWidth = w.view.width;
    w.mirrorHeight = w.view.height;
    // A new factor (the display changed) keeps what was shown: everything is drawn again from
    // the backing store, which holds it.
    CopyToMirror(w.view, w.mirror, Rect{0, 0, w.view.width, w.view.height}, scale, true);
}

// On a desktop scaled by an integer factor every pixel of ours is a sharp block of the screen's
// pixels; the mirror already holds those blocks, so the filter only matters in the moment
// between a change of factor and the next present or expose.
void PaintMirror(cairo_t* cr, cairo_surface_t* mirror) {
    cairo_set_source_surface(cr, mirror, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
}

void GtkBackend::present(NativeWindow window, const Rect& rect) {
    Window* w = find(window);
    if (w == nullptr) return;
    const Rect r = IntersectRects(rect, Rect{0, 0, w->view.width, w->view.height});
    if (r.isEmpty()) return;
    Rect changed = r;
    if (w->mirrorScale != deviceScale(*w)) {
        makeMirror(*w);
    } else {
        changed = CopyToMirror(w->view, w->mirror, r, w->mirrorScale, false);
        if (changed.isEmpty()) return;
    }

    // Until the window is on screen its first expose shows the mirror.
    GdkWindow* gdkWindow = gtk_widget_get_window(w->top);
    if (gdkWindow == nullptr || !gdk_window_is_viewable(gdkWindow)) return;
    cairo_rectangle_int_t area{changed.left, changed.top, changed.width(), changed.height()};
    cairo_region_t* region = cairo_region_create_rectangle(&area);
    // The real controls draw themselves; painting over them would leave them blank.
    for (const Control& c : w->controls) {
        cairo_rectangle_int_t cr{c.rect.left, c.rect.top, c.rect.width(), c.rect.height()};
        cairo_region_subtract_rectangle(region, &cr);
    }
    if (!cairo_region_is_empty(region)) {
        // Drawn now rather than at the next frame tick: transitions, rubber bands and dialogs'
        // own loops must be seen before the program goes on. Straight onto the window: a draw
        // frame would have the X server copy the mirror into a frame of its own and that frame
        // onto the window, twice the work (at 3840x2160 and factor 4 the whole canvas carried
        // cost the X server 16 ms a move that way, 7.3 ms this way). The mirror is opaque and
        // holds the whole picture, so there is nothing a frame would hide.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        cairo_t* cr = gdk_cairo_create(gdkWindow);
#pragma GCC diagnostic pop
        gdk_cairo_region(cr, region);
        cairo_clip(cr);
        PaintMirror(cr, w->mirror);
        cairo_destroy(cr);
        gdk_display_flush(gdk_window_get_display(gdkWindow));
    }
    cairo_region_destroy(region);
}

}  // namespace platform::gtk
