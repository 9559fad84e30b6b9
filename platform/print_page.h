// The page of a print job as the toolbox draws on it.
//
// Coordinates are printer pixels, y down, the paper's top-left corner at (0, 0); the page is
// `width` by `height` of them (the paper at the job's resolution). Both backends make one from
// the cairo surface of their document (a printer's spool or a PDF file), so nothing is ever
// rasterised at the printer's resolution here: pictures go to the page at their own size with
// the instruction to show every pixel as a sharp block, and figures go as filled rectangles.
// Everything drawn is limited to the page.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"
#include "platform/platform.h"
#include "platform/raster/spans.h"
#include "platform/text_pango.h"

namespace platform {

// A picture as it reached a page (kept only when the page records, for tests).
struct PrintedPicture {
    Rect to{};                      // where on the page, in printer pixels
    int32_t width = 0;              // the pixels sent, width x height of them
    int32_t height = 0;
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, rows top first
};

class PrintPage {
public:
    // Draws into `cr`, whose user space is the paper in points; the page does not own it. The
    // page is the chosen paper at the chosen resolution.
    PrintPage(cairo_t* cr, const PrintChoice& paper);
    ~PrintPage() { ended(); }
    PrintPage(const PrintPage&) = delete;
    PrintPage& operator=(const PrintPage&) = delete;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

    // Part `from` of the picture stretched onto `to` (a rect whose corners are swapped mirrors),
    // nearest neighbour. The part of `from` outside the picture draws nothing.
    void drawPicture(const PixelView& picture, const Rect& from, const Rect& to);
    // Every span (rows and columns of the page) in one colour.
    void fillSpans(const raster::SpanList& spans, uint8_t red, uint8_t green, uint8_t blue);
    // The colour through a text coverage mask placed at its area.
    void fillCoverage(const text::CoverageMask& mask, uint8_t red, uint8_t green, uint8_t blue);

    // Ends the page: it goes into the document, and drawing goes on on a new one.
    void showPage();
    // The document has been written: the pictures the page held are no longer needed.
    void ended();

    // Tests: keep a copy of every picture drawn from now on.
    void record(bool on) { recording_ = on; }
    const std::vector<PrintedPicture>& pictures() const { return pictures_; }
    int fills() const { return fills_; }

private:
    void keep(const Rect& to, cairo_surface_t* image);

    // The pictures of the page being drawn, kept alive until it is written out: a picture freed
    // earlier would make the document take a copy of it.
    std::vector<cairo_surface_t*> held_;
    cairo_t* cr_;
    int32_t width_;
    int32_t height_;
    bool recording_ = false;
    std::vector<PrintedPicture> pictures_;
    int fills_ = 0;
};

}  // namespace platform
