// Text drawing as the text tool does it: one line per pointer move, the same text each time,
// at the dialog's sizes (80 is the largest, doubled to 160 while the picture is magnified).
// Also a line never seen before (every gallery name) and measuring alone.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/text_pango.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
const std::string kLine = "Type your text in here.";

struct Screen {
    std::vector<uint8_t> bytes;
    PixelView view;
    Screen() {
        view.width = kWidth;
        view.height = kHeight;
        view.stride = StrideFor(kWidth, 24);
        bytes.assign(static_cast<size_t>(view.stride) * kHeight, 255);
        view.bits = bytes.data();
    }
};

text::FontRequest Arial(int32_t size) {
    text::FontRequest font;
    font.family = "Arial";
    font.size = size;
    return font;
}

void BM_DrawSameLine(benchmark::State& state) {
    Screen screen;
    text::CoverageMask mask;
    const text::FontRequest font = Arial(static_cast<int32_t>(state.range(0)));
    text::Placement place;
    place.horizontal = text::HAlign::Center;
    place.vertical = text::VAlign::Bottom;
    int32_t step = 0;
    for (auto _ : state) {
        place.x = 400 + (step % 200);  // the pointer moves
        place.y = 500 + (step % 50);
        ++step;
        text::RenderLine(font, kLine, place, Rect{0, 0, kWidth, kHeight}, mask);
        benchmark::DoNotOptimize(text::BlendCoverage(screen.view, mask, 255, 0, 0));
    }
}
BENCHMARK(BM_DrawSameLine)->Arg(10)->Arg(40)->Arg(80)->Arg(160)->Unit(benchmark::kMicrosecond);

void BM_DrawNewLine(benchmark::State& state) {
    Screen screen;
    text::CoverageMask mask;
    const text::FontRequest font = Arial(12);
    text::Placement place;
    place.x = 300;
    place.y = 300;
    place.horizontal = text::HAlign::Center;
    int32_t step = 0;
    for (auto _ : state) {
        const std::string name = "picture" + std::to_string(step++);
        text::RenderLine(font, name, place, Rect{0, 0, kWidth, kHeight}, mask);
        benchmark::DoNotOptimize(text::BlendCoverage(screen.view, mask, 0, 0, 0));
    }
}
BENCHMARK(BM_DrawNewLine)->Unit(benchmark::kMicrosecond);

void BM_MeasureSameLine(benchmark::State& state) {
    const text::FontRequest font = Arial(40);
    for (auto _ : state) benchmark::DoNotOptimize(text::MeasureLine(font, kLine).width);
}
BENCHMARK(BM_MeasureSameLine);

}  // namespace

BENCHMARK_MAIN();
