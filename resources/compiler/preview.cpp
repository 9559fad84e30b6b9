#include "preview.h"

#include <cairo.h>

#include <cstdio>
#include <string>

namespace {

unsigned Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
int Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24); }

void SetPixel(cairo_surface_t* s, int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) +
                                            y * cairo_image_surface_get_stride(s));
    // Premultiplied, as cairo keeps it.
    row[x] = (uint32_t{a} << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
}

cairo_surface_t* DecodeBitmap(const Bytes& bytes) {
    const uint8_t* h = bytes.data();
    const int w = Get32(h + 4), height = Get32(h + 8), bits = Get16(h + 14);
    const uint8_t* table = h + 40;
    const uint8_t* rows = h + 40 + (bits == 8 ? 1024 : 0);
    const int stride = (w * bits / 8 + 3) & ~3;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, height);
    cairo_surface_flush(s);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rows + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const uint8_t* bgr = bits == 8 ? table + row[x] * 4 : row + x * 3;
            SetPixel(s, x, y, bgr[2], bgr[1], bgr[0], 255);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

cairo_surface_t* DecodeCursor(const Bytes& bytes) {
    const int w = Get16(bytes.data()), h = Get16(bytes.data() + 2);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    const uint8_t* px = bytes.data() + 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, px += 4) SetPixel(s, x, y, px[0], px[1], px[2], px[3]);
    cairo_surface_mark_dirty(s);
    return s;
}

// One cell: the picture enlarged `scale` times, nearest neighbour, with its id written above.
void DrawCell(cairo_t* cr, cairo_surface_t* s, double x, double y, int scale, int id) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, x, y - 3);
    cairo_show_text(cr, std::to_string(id).c_str());
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace

Previews::~Previews() {
    for (Item& item : items_) cairo_surface_destroy(item.surface);
}

void Previews::Add(const ManifestEntry& e, const Bytes& bytes, const std::string& language) {
    if (e.kind == EntryKind::Wave) return;
    bool picture = e.kind != EntryKind::Cursor && e.kind != EntryKind::Icon;
    items_.push_back({e.kind, e.id, e.hotX, e.hotY, picture ? DecodeBitmap(bytes) : DecodeCursor(bytes), language});
}

bool Previews::Write(const std::string& folder) const {
    bool ok = true;
    // Cursors: two rows per line of cells, one over a light wall, one over a dark one.
    const int scale = 4, cell = 32 * scale + 16, perRow = 8;
    int cursors = 0;
    for (const Item& item : items_) cursors += item.kind == EntryKind::Cursor;
    const int rows = (cursors + perRow - 1) / perRow;
    cairo_surface_t* sheet =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, perRow * cell, rows * 2 * (cell + 8) + 8);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_font_size(cr, 12);
    int n = 0;
    for (const Item& item : items_) {
        if (item.kind != EntryKind::Cursor) continue;
        for (int band = 0; band < 2; ++band) {
            double x = (n % perRow) * cell + 8, y = ((n / perRow) * 2 + band) * (cell + 8) + 20;
            cairo_set_source_rgb(cr, band ? 0.2 : 0.98, band ? 0.25 : 0.9, band ? 0.35 : 0.7);
            cairo_rectangle(cr, x, y, 32 * scale, 32 * scale);
            cairo_fill(cr);
            DrawCell(cr, item.surface, x, y, scale, item.id);
            cairo_set_source_rgb(cr, 1, 0, 0);
            cairo_rectangle(cr, x + item.hotX * scale + 1, y + item.hotY * scale + 1, scale - 2,
                            scale - 2);
            cairo_fill(cr);
        }
        ++n;
    }
    ok &= cairo_surface_write_to_png(sheet, (folder + "/cursors.png").c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(sheet);

    // Icons: every size at its own size and at 4x.
    sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 700);
    cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.85, 0.88, 0.92);
    cairo_paint(cr);
    double x = 8;
    for (const Item& item : items_) {
        if (item.kind != EntryKind::Icon) continue;
        const int w = cairo_image_surface_get_width(item.surface);
        DrawCell(cr, item.surface, x, 20, 1, item.id);
        if (w <= 64) DrawCell(cr, item.surface, x, 180, 4, w);
        x += (w <= 64 ? w * 4 : w) + 16;
    }
    ok &= cairo_surface_write_to_png(sheet, (folder + "/icons.png").c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(sheet);

    for (const Item& item : items_) {
        if (item.kind == EntryKind::Cursor || item.kind == EntryKind::Icon) continue;
        std::string path = folder + "/bitmap_" + std::to_string(item.id) +
                           (item.language.empty() ? "" : "_" + item.language) + ".png";
        ok &= cairo_surface_write_to_png(item.surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    }
    if (!ok) std::fprintf(stderr, "%s: cannot write the previews\n", folder.c_str());
    return ok;
}
