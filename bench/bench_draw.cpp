// Figures drawn into an 800 x 600 24-bit bitmap, against cairo drawing the same figure without
// anti-aliasing into an RGB24 image surface of the same size.
//
//   FilledEllipse400x300: tb_PaintEllipse over (200, 150, 600, 450)
//   RoundLine32x500:      tb_Line 32 pixels wide, 500 long, round ends (diagonal and horizontal)
//   RectFill400x300:      tb_PaintRect over (200, 150, 600, 450)
//
// The "/raster" runs call the span code directly, without the toolbox's handle checks.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>

#include "bench/bench_ratio.h"
#include "platform/headless/headless_platform.h"
#include "platform/raster/shapes.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr Rect kBox{200, 150, 600, 450};
// 500 pixels long: along a 3-4-5 diagonal, and flat.
constexpr Point kDiagonalFrom{150, 100}, kDiagonalTo{450, 500};
constexpr Point kFlatFrom{150, 300}, kFlatTo{650, 300};

int MakeBitmap() {
    tb_Init();
    Rect r{0, 0, kWidth, kHeight};
    const int bitmap = tb_CreateBitmap(&r, -1, 24);
    tb_SetForeColor(bitmap, 51000, 25500, 12750);
    return bitmap;
}

struct CairoCanvas {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    CairoCanvas() {
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgb(cr, 0.8, 0.4, 0.2);
    }
    ~CairoCanvas() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

void EllipseOurs(benchmark::State& state) {
    const int bitmap = MakeBitmap();
    for (auto _ : state) {
        tb_PaintEllipse(bitmap, &kBox);
        benchmark::ClobberMemory();
    }
}

void EllipseRaster(benchmark::State& state) {
    const int bitmap = MakeBitmap();
    toolbox::Target t;
    toolbox::ResolveTarget(bitmap, t);
    const raster::Ink ink = raster::InkFor(t.view, 200, 100, 50);
    raster::SpanList spans;
    for (auto _ : state) {
        spans.clear();
        raster::EllipseSpans(kBox, raster::ViewRect(t.view), spans);
        raster::PaintSpans(t.view, spans, ink);
        benchmark::ClobberMemory();
    }
}

void EllipseCairo(benchmark::State& state) {
    CairoCanvas c;
    for (auto _ : state) {
        cairo_save(c.cr);
        cairo_translate(c.cr, (kBox.left + kBox.right) / 2.0, (kBox.top + kBox.bottom) / 2.0);
        cairo_scale(c.cr, kBox.width() / 2.0, kBox.height() / 2.0);
        cairo_arc(c.cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(c.cr);
        cairo_fill(c.cr);
        cairo_surface_flush(c.surface);
        benchmark::ClobberMemory();
    }
}

void LineOurs(benchmark::State& state, Point from, Point to) {
    const int bitmap = MakeBitmap();
    for (auto _ : state) {
        tb_Line(bitmap, from.x, from.y, to.x, to.y, 32);
        benchmark::ClobberMemory();
    }
}

void LineRaster(benchmark::State& state, Point from, Point to) {
    const int bitmap = MakeBitmap();
    toolbox::Target t;
    toolbox::ResolveTarget(bitmap, t);
    const raster::Ink ink = raster::InkFor(t.view, 200, 100, 50);
    raster::SpanList spans;
    for (auto _ : state) {
        spans.clear();
        raster::LineSpans(from, to, 32, raster::ViewRect(t.view), spans);
        raster::PaintSpans(t.view, spans, ink);
        benchmark::ClobberMemory();
    }
}

void LineCairo(benchmark::State& state, Point from, Point to) {
    CairoCanvas c;
    cairo_set_line_width(c.cr, 32);
    cairo_set_line_cap(c.cr, CAIRO_LINE_CAP_ROUND);
    for (auto _ : state) {
        cairo_move_to(c.cr, from.x, from.y);
        cairo_line_to(c.cr, to.x, to.y);
        cairo_stroke(c.cr);
        cairo_surface_flush(c.surface);
        benchmark::ClobberMemory();
    }
}

void RectOurs(benchmark::State& state) {
    const int bitmap = MakeBitmap();
    for (auto _ : state) {
        tb_PaintRect(bitmap, &kBox);
        benchmark::ClobberMemory();
    }
}

void RectCairo(benchmark::State& state) {
    CairoCanvas c;
    for (auto _ : state) {
        cairo_rectangle(c.cr, kBox.left, kBox.top, kBox.width(), kBox.height());
        cairo_fill(c.cr);
        cairo_surface_flush(c.surface);
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    platform::HeadlessPlatform desktop;
    platform::InstallPlatform(&desktop);
    benchmark::RegisterBenchmark("FilledEllipse400x300/ours", EllipseOurs);
    benchmark::RegisterBenchmark("FilledEllipse400x300/raster", EllipseRaster);
    benchmark::RegisterBenchmark("FilledEllipse400x300/cairo", EllipseCairo);
    benchmark::RegisterBenchmark("RoundLine32x500/ours", LineOurs, kDiagonalFrom, kDiagonalTo);
    benchmark::RegisterBenchmark("RoundLine32x500/raster", LineRaster, kDiagonalFrom, kDiagonalTo);
    benchmark::RegisterBenchmark("RoundLine32x500/cairo", LineCairo, kDiagonalFrom, kDiagonalTo);
    benchmark::RegisterBenchmark("RoundLine32x500Flat/ours", LineOurs, kFlatFrom, kFlatTo);
    benchmark::RegisterBenchmark("RoundLine32x500Flat/cairo", LineCairo, kFlatFrom, kFlatTo);
    benchmark::RegisterBenchmark("RectFill400x300/ours", RectOurs);
    benchmark::RegisterBenchmark("RectFill400x300/cairo", RectCairo);
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"FilledEllipse400x300", "cairo", 1.0},
                                             {"RoundLine32x500", "cairo", 1.0},
                                             {"RoundLine32x500Flat", "cairo", 1.0},
                                             {"RectFill400x300", "cairo", 1.0}},
                                            {});
    platform::InstallPlatform(nullptr);
    return result;
}
