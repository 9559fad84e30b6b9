// Copies and stretches of full-screen 24-bit bitmaps, against memcpy and pixman.
//
//   Copy1080p:   1920 x 1080 equal-size tb_CopyBitmap    vs memcpy of the same rows
//   Stretch2x:   960 x 540 -> 1920 x 1080 tb_CopyBitmap  vs pixman nearest scaling
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/bench_ratio.h"
#include "platform/headless/headless_platform.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

#ifdef PICTORIA_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

int MakeBitmap(int width, int height) {
    Rect r{0, 0, width, height};
    const int handle = tb_CreateBitmap(&r, -1, 24);
    toolbox::Target t;
    toolbox::ResolveBitmapTarget(handle, t);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = RowPointer(t.view, y);
        for (int x = 0; x < 3 * width; ++x) row[x] = static_cast<uint8_t>(x * 7 + y * 13);
    }
    return handle;
}

void CopyOurs(benchmark::State& state) {
    tb_Init();
    const int source = MakeBitmap(kWidth, kHeight);
    const int target = MakeBitmap(kWidth, kHeight);
    Rect all{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        tb_CopyBitmap(source, target, &all, &all, 0);
        benchmark::ClobberMemory();
    }
}

void CopyMemcpy(benchmark::State& state) {
    const size_t rowBytes = 3 * kWidth;
    const size_t stride = (rowBytes + 3) & ~size_t{3};
    std::vector<uint8_t> source(stride * kHeight, 7), target(stride * kHeight);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) std::memcpy(&target[y * stride], &source[y * stride], rowBytes);
        benchmark::ClobberMemory();
    }
}

void StretchOurs(benchmark::State& state) {
    tb_Init();
    const int source = MakeBitmap(kWidth / 2, kHeight / 2);
    const int target = MakeBitmap(kWidth, kHeight);
    Rect from{0, 0, kWidth / 2, kHeight / 2};
    Rect to{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        tb_CopyBitmap(source, target, &from, &to, 0);
        benchmark::ClobberMemory();
    }
}

#ifdef PICTORIA_HAVE_PIXMAN
// pixman maps destination pixel centres through the transform and takes the nearest source
// pixel, as we do; a scale of 1/2 from destination to source enlarges twice.
void StretchPixman(benchmark::State& state, pixman_format_code_t format, int bytesPerPixel) {
    const int srcStride = ((kWidth / 2) * bytesPerPixel + 3) & ~3;
    const int dstStride = (kWidth * bytesPerPixel + 3) & ~3;
    std::vector<uint32_t> src(static_cast<size_t>(srcStride) * (kHeight / 2) / 4, 0x00336699u);
    std::vector<uint32_t> dst(static_cast<size_t>(dstStride) * kHeight / 4);
    pixman_image_t* s = pixman_image_create_bits(format, kWidth / 2, kHeight / 2, src.data(), srcStride);
    pixman_image_t* d = pixman_image_create_bits(format, kWidth, kHeight, dst.data(), dstStride);
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(s, &scale);
    pixman_image_set_filter(s, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    platform::HeadlessPlatform desktop;
    platform::InstallPlatform(&desktop);
    benchmark::RegisterBenchmark("Copy1080p/ours", CopyOurs)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Copy1080p/memcpy", CopyMemcpy)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Stretch2x/ours", StretchOurs)->Unit(benchmark::kMicrosecond);
#ifdef PICTORIA_HAVE_PIXMAN
    // The same 24-bit pixels, then pixman's own fastest format (32 bits, a third more bytes).
    benchmark::RegisterBenchmark("Stretch2x/pixman_r8g8b8", StretchPixman, PIXMAN_r8g8b8, 3)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Stretch2x/pixman_x8r8g8b8", StretchPixman, PIXMAN_x8r8g8b8, 4)
        ->Unit(benchmark::kMicrosecond);
#endif
    return bench::RunWithRatios(argc, argv,
                                {{"Copy1080p", "memcpy", 1.3},
                                 {"Stretch2x", "pixman_r8g8b8", 1.0},
                                 {"Stretch2x", "pixman_x8r8g8b8", 1.0}},
                                {});
}
