// Ways in without a mouse, on the headless desktop, at 800x600 and 3840x2160:
//
//   KeysPencilDrag/WxH: one auto-repeated arrow key while Space holds the button, through the
//                       keyboard pointer's filter: the pointer moved and the Pencil's drag event
//                       it becomes (a size-32 line, the redraw of the dirty rectangle, the
//                       present), back and forth across the canvas. It runs at every key repeat, as a
//                       mouse's move does at every move. Held to 1 ms.
//   ScanStep/WxH:       one step of the scanning highlight round the room: the rim of the old
//                       glow put back from the scene, the label, the new glow drawn. Each
//                       round takes in every tool, can and hotspot and the canvas. Held to 5 ms.
//   ScanSweep/WxH:      one step of the line sweeping down the canvas (a pick starts the line
//                       again after its last stop). Held to 5 ms.
//
// After the table the program prints the medians of CPU time against these limits.
#include <benchmark/benchmark.h>

#include <string>

#include "app/room.h"
#include "app/scene.h"
#include "app/switch_scan.h"
#include "bench/running_room.h"
#include "platform/keyboard_pointer.h"

namespace {

using bench::RunningRoom;

constexpr int kInset = 40;  // the pointer turns this far inside the canvas's edges

// Feeds one message of the desktop's queue through the keyboard pointer to the room.
void RunQueued(RunningRoom& room) {
    platform::Message msg;
    while (room.desktop().peekMessage(msg))
        if (platform::KeyboardPointerFilter(room.desktop(), msg, false)) room.desktop().dispatchMessage(msg);
}

void KeysPencilDrag(benchmark::State& state, int width, int height) {
    RunningRoom room(width, height);
    if (!room.ok()) return state.SkipWithError("the program did not start");
    platform::SetKeyboardPointer(true);
    scene::TheRoom().objects[scene::kPencil].size = 32;  // as in bench_scene's PencilDrag32
    const Rect& area = scene::TheRoom().canvasArea;
    room.desktop().setCursorPos(Point{area.left + kInset, area.top + area.height() / 2});
    room.desktop().keyDown(platform::kVkSpace);
    RunQueued(room);
    int key = platform::kVkRight;
    int sinceClear = 0;
    for (auto _ : state) {
        const int x = room.desktop().cursorPos().x;
        if (x >= area.right - kInset) key = platform::kVkLeft;
        if (x <= area.left + kInset) key = platform::kVkRight;
        room.desktop().keyDown(key);
        RunQueued(room);
        if (++sinceClear == 4096) room.desktop().clearRecords(), sinceClear = 0;
    }
    room.desktop().keyUp(platform::kVkSpace);
    RunQueued(room);
    platform::SetKeyboardPointer(false);
    if (!scene::TheRoom().modified) state.SkipWithError("the keys painted nothing");
    state.SetItemsProcessed(state.iterations());
}

void Scanning(benchmark::State& state, int width, int height, bool sweep) {
    RunningRoom room(width, height);
    if (!room.ok()) return state.SkipWithError("the program did not start");
    scene::SetUpScanning(true, 1200, platform::kVkSpace);
    int sinceClear = 0;
    for (auto _ : state) {
        if (sweep && scene::CurrentScanPhase() == scene::ScanPhase::Room) {
            while (scene::ScanHighlight().rect != scene::TheRoom().canvasArea) scene::ScanStep();
            scene::ScanKey(platform::kVkSpace, true), scene::ScanKey(platform::kVkSpace, false);
        }
        scene::ScanStep();
        if (++sinceClear == 4096) room.desktop().clearRecords(), sinceClear = 0;
    }
    scene::SetUpScanning(false, 0, 0);
}

using Size = bench::ScreenSize;

}  // namespace

int main(int argc, char** argv) {
    std::vector<bench::TimeLimit> limits;
    for (Size s : {Size{800, 600}, Size{3840, 2160}}) {
        const std::string keys = "KeysPencilDrag/" + s.name(), step = "ScanStep/" + s.name(), sweep = "ScanSweep/" + s.name();
        benchmark::RegisterBenchmark(keys.c_str(), [s](benchmark::State& st) { KeysPencilDrag(st, s.width, s.height); });
        benchmark::RegisterBenchmark(step.c_str(), [s](benchmark::State& st) { Scanning(st, s.width, s.height, false); });
        benchmark::RegisterBenchmark(sweep.c_str(), [s](benchmark::State& st) { Scanning(st, s.width, s.height, true); });
        limits.push_back({keys, 1000});
        limits.push_back({step, 5000});
        limits.push_back({sweep, 5000});
    }
    bench::RatioReporter reporter({}, limits);
    return bench::RunWithScratchConfig(argc, argv, reporter);
}
