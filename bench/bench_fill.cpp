// Flood fill of a whole 1920 x 1080 24-bit picture of one colour, 4-connected, from its middle,
// against OpenCV's floodFill with no tolerance. Each pass turns the picture from one colour to
// the other, so every pass fills all of it.
//
//   FloodFill1080p:     tb_FloodFill                  vs cv::floodFill (4-connected, exact)
//   FloodFill1080pMaze: the same on a picture of short horizontal walls (many short runs)
#include <benchmark/benchmark.h>

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

// Walls of 40 black pixels on every fourth row, staggered, leaving the rest connected.
bool IsWall(int x, int y) { return y % 4 == 2 && (x + 20 * (y / 4 % 2)) % 64 < 40; }

void FillOurs(benchmark::State& state, bool maze) {
    tb_Init();
    Rect r{0, 0, kWidth, kHeight};
    const int bitmap = tb_CreateBitmap(&r, -1, 24);
    tb_SetForeColor(bitmap, 65025, 65025, 65025);
    tb_PaintRect(bitmap, &r);
    if (maze) {
        toolbox::Target t;
        toolbox::ResolveTarget(bitmap, t);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = RowPointer(t.view, y);
            for (int x = 0; x < kWidth; ++x)
                if (IsWall(x, y)) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0;
        }
    }
    bool white = true;
    for (auto _ : state) {
        if (white) {
            tb_SetForeColor(bitmap, 65025, 0, 0);
            tb_FloodFill(bitmap, kWidth / 2, kHeight / 2, 65025, 65025, 65025);
        } else {
            tb_SetForeColor(bitmap, 65025, 65025, 65025);
            tb_FloodFill(bitmap, kWidth / 2, kHeight / 2, 65025, 0, 0);
        }
        white = !white;
        benchmark::ClobberMemory();
    }
}

#ifdef PICTORIA_HAVE_OPENCV
void FillOpenCv(benchmark::State& state, bool maze) {
    cv::Mat picture(kHeight, kWidth, CV_8UC3, cv::Scalar(255, 255, 255));
    if (maze) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (IsWall(x, y)) picture.at<cv::Vec3b>(y, x) = cv::Vec3b(0, 0, 0);
    }
    bool white = true;
    const cv::Scalar red(0, 0, 255), whiteColour(255, 255, 255);
    for (auto _ : state) {
        cv::floodFill(picture, cv::Point(kWidth / 2, kHeight / 2), white ? red : whiteColour, nullptr, cv::Scalar(),
                      cv::Scalar(), 4);
        white = !white;
        benchmark::ClobberMemory();
    }
}
#endif

}  // namespace

int main(int argc, char** argv) {
    platform::HeadlessPlatform desktop;
    platform::InstallPlatform(&desktop);
#ifdef PICTORIA_HAVE_OPENCV
    cv::setNumThreads(1);  // its flood fill runs on one thread anyway; ours always does
#endif
    benchmark::RegisterBenchmark("FloodFill1080p/ours", FillOurs, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FloodFill1080pMaze/ours", FillOurs, true)->Unit(benchmark::kMicrosecond);
#ifdef PICTORIA_HAVE_OPENCV
    benchmark::RegisterBenchmark("FloodFill1080p/opencv", FillOpenCv, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FloodFill1080pMaze/opencv", FillOpenCv, true)->Unit(benchmark::kMicrosecond);
#endif
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"FloodFill1080p", "opencv", 1.0}, {"FloodFill1080pMaze", "opencv", 1.0}},
                                            {});
    platform::InstallPlatform(nullptr);
    return result;
}
