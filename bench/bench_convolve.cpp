// The 5 x 5 filter: a full-screen picture against OpenCV's filter2D, and the Hammer & Chisel's
// 40 x 40 emboss dab against its time budget.
//
//   Blur1080p:     5 x 5 box blur (all weights 1, divisor 25) of 1920 x 1080, 24 bits
//   Emboss1080p:   the emboss kernel (8 non-zero weights, divisor 400, bias 200), same picture
//   EmbossDab40:   tb_Convolve of a 40 x 40 scratch bitmap, emboss kernel
//   EmbossDabFull: the whole dab: scratch bitmap, copy in, filter, five copies back, dispose
//
// Both sides run single-threaded; neighbours outside the picture count as 0 on both.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/bench_ratio.h"
#include "platform/headless/headless_platform.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

#ifdef PICTORIA_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

FilterKernel BlurKernel() {
    FilterKernel k;
    tb_InitKernel(&k);
    for (auto& row : k.weights) {
        for (int& w : row) w = 1;
    }
    k.divisor = 25;
    return k;
}

FilterKernel EmbossKernel() {
    FilterKernel k;
    tb_InitKernel(&k);
    const int weights[3][3] = {{-150, -150, 150}, {-150, 0, 150}, {-150, 150, 150}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) k.weights[r + 1][c + 1] = weights[r][c];
    }
    k.divisor = 400;
    k.bias = 200;
    return k;
}

// A picture with edges and flat areas, like a painting.
int MakePicture(int width, int height) {
    Rect r{0, 0, width, height};
    const int handle = tb_CreateBitmap(&r, -1, 24);
    toolbox::Target t;
    toolbox::ResolveBitmapTarget(handle, t);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = RowPointer(t.view, y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>((x / 37) * 40);
            row[3 * x + 1] = static_cast<uint8_t>((y / 23) * 60);
            row[3 * x + 2] = static_cast<uint8_t>(x + y);
        }
    }
    return handle;
}

void ConvolveOurs(benchmark::State& state, FilterKernel kernel) {
    tb_Init();
    const int picture = MakePicture(kWidth, kHeight);
    Rect all{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        tb_Convolve(picture, &all, &kernel);
        benchmark::ClobberMemory();
    }
}

#ifdef PICTORIA_HAVE_OPENCV
void ConvolveOpenCv(benchmark::State& state, FilterKernel kernel) {
    cv::setNumThreads(1);
    tb_Init();
    const int picture = MakePicture(kWidth, kHeight);
    toolbox::Target t;
    toolbox::ResolveBitmapTarget(picture, t);
    cv::Mat src(kHeight, kWidth, CV_8UC3, t.view.bits, t.view.stride);
    cv::Mat dst(kHeight, kWidth, CV_8UC3);
    cv::Mat weights(5, 5, CV_32F);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) weights.at<float>(r, c) = static_cast<float>(kernel.weights[r][c]) / kernel.divisor;
    }
    for (auto _ : state) {
        // Into a picture of its own: ours also writes its result back, so this favours the peer.
        cv::filter2D(src, dst, -1, weights, cv::Point(-1, -1), kernel.bias, cv::BORDER_CONSTANT);
        benchmark::ClobberMemory();
    }
}
#endif

void EmbossDab(benchmark::State& state) {
    tb_Init();
    const int scratch = MakePicture(40, 40);
    const FilterKernel kernel = EmbossKernel();
    Rect all{0, 0, 40, 40};
    for (auto _ : state) {
        tb_Convolve(scratch, &all, &kernel);
        benchmark::ClobberMemory();
    }
}

// The Hammer & Chisel's dab at size 40 in the middle of a full-screen canvas.
void EmbossDabFull(benchmark::State& state) {
    tb_Init();
    const int canvas = MakePicture(kWidth - 166, kHeight - 112);
    const int undo = MakePicture(kWidth - 166, kHeight - 112);
    const FilterKernel kernel = EmbossKernel();
    const int r = 20, x = 700, y = 400;
    const double angles[] = {80, 10, 62.5, 27.5, 45};
    for (auto _ : state) {
        Rect square{0, 0, 2 * r, 2 * r};
        const int dab = tb_CreateBitmap(&square, -1, 24);
        Rect from{x - r, y - r, x + r, y + r};
        tb_CopyBitmap(undo, dab, &from, &square, 0);
        tb_Convolve(dab, &square, &kernel);
        for (double a : angles) {
            const int hx = static_cast<int>(std::lround((r - 1) * std::cos(a * 3.14159265359 / 180)));
            const int hy = static_cast<int>(std::lround((r - 1) * std::sin(a * 3.14159265359 / 180)));
            Rect part{r - hx, r - hy, r + hx, r + hy};
            Rect onCanvas{x - hx, y - hy, x + hx, y + hy};
            tb_CopyBitmap(dab, canvas, &part, &onCanvas, 0);
        }
        tb_DisposeBitmap(dab);
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    platform::HeadlessPlatform desktop;
    platform::InstallPlatform(&desktop);
    benchmark::RegisterBenchmark("Blur1080p/ours", ConvolveOurs, BlurKernel())->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Emboss1080p/ours", ConvolveOurs, EmbossKernel())->Unit(benchmark::kMicrosecond);
#ifdef PICTORIA_HAVE_OPENCV
    benchmark::RegisterBenchmark("Blur1080p/opencv", ConvolveOpenCv, BlurKernel())->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Emboss1080p/opencv", ConvolveOpenCv, EmbossKernel())
        ->Unit(benchmark::kMicrosecond);
#endif
    benchmark::RegisterBenchmark("EmbossDab40/ours", EmbossDab)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("EmbossDabFull/ours", EmbossDabFull)->Unit(benchmark::kMicrosecond);
    return bench::RunWithRatios(argc, argv, {{"Blur1080p", "opencv", 2.0}, {"Emboss1080p", "opencv", 2.0}},
                                {{"EmbossDab40/ours", 200.0}, {"EmbossDabFull/ours", 200.0}});
}
