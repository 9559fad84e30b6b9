// Cleaning a colouring page on the canvas, as it runs after a page from Pages/ is placed: at the
// canvas of 800x600 (634x488) and of 3840x2160 (3674x2048). Three kinds of page:
//  - Grey: rings of three widths, anti-aliased, dark grey on off-white paper with noise, the
//    work in full (every threshold counted);
//  - Clean: the same rings already pure black on white (the bundled pages);
//  - Photo: smooth colours, refused after the first look;
// and shrinking a 2550x3300 scan onto those canvases by averaging, as a page bigger than the
// frame is before it is cleaned.
// Each iteration cleans a fresh copy; the copy is timed outside (PauseTiming).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "pictures/line_art.h"

namespace {

enum class Kind { Grey, Clean, Photo };

std::vector<uint8_t> MakePage(int w, int h, Kind kind) {
    const int stride = StrideFor(w, 24);
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * h);
    uint32_t noise = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bits.data() + static_cast<size_t>(y) * stride + 3 * x;
            if (kind == Kind::Photo) {
                p[0] = static_cast<uint8_t>(x * 255 / w), p[1] = static_cast<uint8_t>(y * 255 / h), p[2] = 128;
                continue;
            }
            // Rings 40 pixels apart around the middle, 0.6, 1.2 and 2.4 pixels wide in turn.
            const double d = std::hypot(x - w / 2.0, y - h / 2.0), ring = std::round(d / 40);
            const double width = 0.6 * (1 << (static_cast<int>(ring) % 3));
            const double cover = std::clamp(width / 2 + 0.5 - std::abs(d - ring * 40), 0.0, 1.0);
            noise = noise * 1103515245 + 12345;
            const double level = kind == Kind::Clean ? (cover > 0.5 ? 0 : 255)
                                                     : 240 - 200 * cover + static_cast<int>(noise >> 29) - 4;
            p[0] = p[1] = p[2] = static_cast<uint8_t>(std::clamp(level, 0.0, 255.0));
        }
    return bits;
}

void Clean(benchmark::State& state, Kind kind) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<uint8_t> page = MakePage(w, h, kind);
    std::vector<uint8_t> canvas;
    bool lineArt = false;
    for (auto _ : state) {
        state.PauseTiming();
        canvas = page;
        state.ResumeTiming();
        lineArt = pictures::CleanLineArt(PixelView{canvas.data(), w, h, StrideFor(w, 24)});
    }
    state.counters["line_art"] = lineArt;
}

void Args(benchmark::internal::Benchmark* b) { b->Args({634, 488})->Args({3674, 2048})->Unit(benchmark::kMillisecond); }

BENCHMARK_CAPTURE(Clean, Grey, Kind::Grey)->Apply(Args);
BENCHMARK_CAPTURE(Clean, Clean, Kind::Clean)->Apply(Args);
BENCHMARK_CAPTURE(Clean, Photo, Kind::Photo)->Apply(Args);

// A page larger than the frame (a letter-size scan at 300 dpi, 2550x3300) shrunk by averaging
// onto the canvas before it is cleaned.
void Shrink(benchmark::State& state) {
    const int w = 2550, h = 3300, tw = static_cast<int>(state.range(0)), th = static_cast<int>(state.range(1));
    std::vector<uint8_t> page = MakePage(w, h, Kind::Grey), canvas(static_cast<size_t>(StrideFor(tw, 24)) * th);
    for (auto _ : state) {
        pictures::ShrinkByArea(PixelView{page.data(), w, h, StrideFor(w, 24)}, PixelView{canvas.data(), tw, th, StrideFor(tw, 24)});
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(Shrink)->Apply(Args);

}  // namespace

BENCHMARK_MAIN();
