// The room on the headless desktop: what one drag event of the Pencil costs, and what a whole
// redraw of the room costs, at several screen sizes.
//
//   PencilDrag32/WxH: one scene::OnMove with the button held, Pencil size 32, moving back and
//                     forth across the canvas in steps of (8, 5): the line into the canvas, the
//                     dirty rectangle copied into the scene buffer and on to the window, the
//                     present. Only the dirty rectangle is touched, so it must cost the same on
//                     any screen: the 3840x2160 / 800x600 ratio is held to 1.2.
//   PencilDrag32SamePath/3840x2160: the same, but the path stays in the part of the canvas that
//                     an 800x600 screen shows, so both sizes do exactly the same drawing; what
//                     is left of the ratio then comes from the code, not from the caches.
//   FullScene/WxH:    scene::DrawScene(present, full, whole table): wallpaper, frame, shelf,
//                     table, cans, tray, icons, the canvas composited and the whole scene copied
//                     to the window. Held to 10 ms at 1920x1080 and 40 ms at 3840x2160.
//
// After the table the program prints the medians of CPU time against these targets.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "bench/running_room.h"
#include "platform/headless/headless_platform.h"

namespace {

using bench::Bouncer;
using bench::RunningRoom;


constexpr int kPencilSize = 32;
constexpr int kStepX = 8;
constexpr int kStepY = 5;
constexpr int kInset = 40;                // the path keeps this far inside the canvas area

// `pathWidth` x `pathHeight`: the part of the canvas (from its top-left) the path crosses;
// 0 for the whole canvas.
void PencilDrag(benchmark::State& state, int width, int height, int pathWidth, int pathHeight) {
    RunningRoom room(width, height);
    if (!room.ok()) {
        state.SkipWithError("the program did not start");
        return;
    }
    scene::Room& r = scene::TheRoom();
    r.objects[scene::kPencil].size = kPencilSize;
    const Rect& area = r.canvasArea;
    const int right = pathWidth > 0 ? area.left + pathWidth : area.right;
    const int bottom = pathHeight > 0 ? area.top + pathHeight : area.bottom;
    Bouncer x{area.left + kInset, area.left + kInset, right - kInset, kStepX};
    Bouncer y{area.top + kInset, area.top + kInset, bottom - kInset, kStepY};
    bench::TimeDragEvents(state, room, x, y);
}

void FullScene(benchmark::State& state, int width, int height) {
    RunningRoom room(width, height);
    if (!room.ok()) {
        state.SkipWithError("the program did not start");
        return;
    }
    for (auto _ : state) {
        scene::DrawScene(true, true, true);
        room.desktop().clearRecords();
    }
}

using Size = bench::ScreenSize;

constexpr Size kSmall{800, 600};
constexpr Size kHd{1920, 1080};
constexpr Size kUhd{3840, 2160};

// Collects the median CPU time of each benchmark and prints it against its target at the end.
class SceneReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!median && !single) continue;
            medians_[run.run_name.function_name] =
                run.GetAdjustedCPUTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nMedians of CPU time:\n");
        const std::string small = "PencilDrag32/" + kSmall.name();
        const std::string large = "PencilDrag32/" + kUhd.name();
        const std::string samePath = "PencilDrag32SamePath/" + kUhd.name();
        if (has(small) && has(large)) {
            const double ratio = medians_[large] / medians_[small];
            std::printf("  %-42s %7.2f us / %7.2f us = %5.2fx  target <= 1.20x  %s\n",
                        (large + " / " + kSmall.name()).c_str(), medians_[large], medians_[small], ratio,
                        ratio <= 1.2 ? "met" : "MISSED");
        }
        if (has(small) && has(samePath)) {
            std::printf("  %-42s %7.2f us / %7.2f us = %5.2fx  (the same drawing on both)\n",
                        (samePath + " / " + kSmall.name()).c_str(), medians_[samePath], medians_[small],
                        medians_[samePath] / medians_[small]);
        }
        limit("FullScene/" + kHd.name(), 10000);
        limit("FullScene/" + kUhd.name(), 40000);
    }

private:
    bool has(const std::string& name) const { return medians_.count(name) != 0; }

    void limit(const std::string& name, double maxMicroseconds) {
        if (!has(name)) return;
        const double us = medians_[name];
        std::printf("  %-42s %10.1f us  target < %.0f us  %s\n", name.c_str(), us, maxMicroseconds,
                    us < maxMicroseconds ? "met" : "MISSED");
    }

    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    for (Size s : {kSmall, kUhd}) {
        benchmark::RegisterBenchmark(("PencilDrag32/" + s.name()).c_str(),
                                     [s](benchmark::State& st) { PencilDrag(st, s.width, s.height, 0, 0); });
    }
    // The canvas of an 800x600 screen is 634 x 488.
    benchmark::RegisterBenchmark(("PencilDrag32SamePath/" + kUhd.name()).c_str(), [](benchmark::State& st) {
        PencilDrag(st, kUhd.width, kUhd.height, kSmall.width - 166, kSmall.height - 112);
    });
    for (Size s : {kHd, kUhd}) {
        benchmark::RegisterBenchmark(("FullScene/" + s.name()).c_str(),
                                     [s](benchmark::State& st) { FullScene(st, s.width, s.height); })
            ->Unit(benchmark::kMillisecond);
    }

    SceneReporter reporter;
    return bench::RunWithScratchConfig(argc, argv, reporter);
}
