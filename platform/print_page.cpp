#include "platform/print_page.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

Rect Ordered(const Rect& r) {
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

// The part `area` of the picture as a surface of its own: the document keeps what it is given
// until the page is written, so it must not point into pixels that go on changing.
cairo_surface_t* SurfaceOf(const PixelView& picture, const Rect& area) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, area.width(), area.height());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return image;
    cairo_surface_flush(image);
    uint8_t* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint8_t* in = RowPointer(picture, y);
        auto* out = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y - area.top) * stride);
        if (picture.bitCount == 24) {
            for (int32_t x = area.left; x < area.right; ++x, ++out) {
                const uint8_t* p = in + 3 * x;
                *out = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
            }
        } else {
            for (int32_t x = area.left; x < area.right; ++x, ++out) {
                const uint8_t* c = picture.colorTable != nullptr ? picture.colorTable + 4 * in[x] : nullptr;
                *out = c != nullptr ? uint32_t{c[2]} << 16 | uint32_t{c[1]} << 8 | c[0] : in[x] * 0x010101u;
            }
        }
    }
    cairo_surface_mark_dirty(image);
    return image;
}

}  // namespace

PrintPage::PrintPage(cairo_t* cr, const PrintChoice& paper)
    : cr_(cr),
      width_(static_cast<int32_t>(paper.pageWidthInches * paper.dpiX)),
      height_(static_cast<int32_t>(paper.pageHeightInches * paper.dpiY)) {
    cairo_scale(cr_, 72.0 / paper.dpiX, 72.0 / paper.dpiY);
    cairo_rectangle(cr_, 0, 0, width_, height_);
    cairo_clip(cr_);
}

void PrintPage::drawPicture(const PixelView& picture, const Rect& from, const Rect& to) {
    const Rect area = IntersectRects(Ordered(from), Rect{0, 0, picture.width, picture.height});
    if (!picture.isValid() || area.isEmpty() || from.width() == 0 || from.height() == 0 || to.width() == 0 ||
        to.height() == 0) {
        return;
    }
    cairo_surface_t* image = SurfaceOf(picture, area);
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        cairo_save(cr_);
        cairo_translate(cr_, to.left, to.top);
        cairo_scale(cr_, double{1.0} * to.width() / from.width(), double{1.0} * to.height() / from.height());
        const double x = area.left - from.left, y = area.top - from.top;
        cairo_set_source_surface(cr_, image, x, y);
        cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr_, x, y, area.width(), area.height());
        cairo_fill(cr_);
        cairo_restore(cr_);
        if (recording_) keep(to, image);
        held_.push_back(image);
        return;
    }
    cairo_surface_destroy(image);
}

void PrintPage::showPage() {
    cairo_show_page(cr_);
    ended();
}

void PrintPage::ended() {
    for (cairo_surface_t* image : held_) cairo_surface_destroy(image);
    held_.clear();
}

void PrintPage::keep(const Rect& to, cairo_surface_t* image) {
    PrintedPicture kept;
    kept.to = to;
    kept.width = cairo_image_surface_get_width(image);
    kept.height = cairo_image_surface_get_height(image);
    const uint8_t* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int32_t y = 0; y < kept.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        kept.pixels.insert(kept.pixels.end(), row, row + kept.width);
    }
    pictures_.push_back(std::move(kept));
}

void PrintPage::fillSpans(const raster::SpanList& spans, uint8_t red, uint8_t green, uint8_t blue) {
    if (spans.empty()) return;
    cairo_set_source_rgb(cr_, red / 255.0, green / 255.0, blue / 255.0);
    // Spans of the same columns on rows that follow each other go as one rectangle.
    for (size_t i = 0; i < spans.size();) {
        size_t j = i + 1;
        while (j < spans.size() && spans[j].x0 == spans[i].x0 && spans[j].x1 == spans[i].x1 &&
               spans[j].y == spans[j - 1].y + 1) {
            ++j;
        }
        cairo_rectangle(cr_, spans[i].x0, spans[i].y, spans[i].x1 - spans[i].x0, static_cast<double>(j - i));
        i = j;
    }
    cairo_fill(cr_);
    ++fills_;
}

void PrintPage::fillCoverage(const text::CoverageMask& mask, uint8_t red, uint8_t green, uint8_t blue) {
    const Rect& a = mask.area;
    if (a.isEmpty()) return;
    cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, a.width(), a.height());
    if (cairo_surface_status(alpha) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(alpha);
        uint8_t* data = cairo_image_surface_get_data(alpha);
        const int stride = cairo_image_surface_get_stride(alpha);
        for (int32_t y = 0; y < a.height(); ++y) {
            std::memcpy(data + static_cast<ptrdiff_t>(y) * stride,
                        mask.alpha.data() + static_cast<size_t>(y) * static_cast<size_t>(mask.stride),
                        static_cast<size_t>(a.width()));
        }
        cairo_surface_mark_dirty(alpha);
        cairo_set_source_rgb(cr_, red / 255.0, green / 255.0, blue / 255.0);
        cairo_mask_surface(cr_, alpha, a.left, a.top);
        ++fills_;
    }
    cairo_surface_destroy(alpha);
}

}  // namespace platform
