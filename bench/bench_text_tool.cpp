// The text tool on the headless desktop:
//   TextPreview80/WxH: one pointer move while a confirmed "Type your text in here." at size 80
//                      waits to be placed: the last preview taken off the window (RedrawRect of
//                      its box: canvas to scene buffer to window), the line drawn straight into
//                      the window, and both presents; steps of (8, 5) over the canvas.
//   Pencil32/WxH:      one drag event of the Pencil at its largest size, for comparison.
//   TextDialogOpen:    the text dialog opened with the installed font list, shown, and closed
//                      with Escape; ...ReadingFonts: with the installed families read afresh, as
//                      at the first opening of a run.
#include <benchmark/benchmark.h>

#include "app/room.h"
#include "app/scene.h"
#include "bench/running_room.h"
#include "dialogs/dialogs.h"
#include "platform/text_pango.h"
#include "toolbox/toolbox.h"

namespace {

using bench::Bouncer;
using bench::RunningRoom;
using bench::ScreenSize;

constexpr ScreenSize kSizes[] = {{1920, 1080}, {3840, 2160}};

Bouncer Across(int low, int extent, int step) { return Bouncer{low + 100, low + 100, low + extent - 100, step}; }

void TextPreview(benchmark::State& state, ScreenSize s) {
    RunningRoom room(s.width, s.height);
    if (!room.ok()) return state.SkipWithError("no room");
    scene::Room& r = scene::TheRoom();
    dialogs::Text().sizeIndex = 4;
    r.placingText = true;
    Bouncer x = Across(r.canvasArea.left, r.canvasArea.width(), 8);
    Bouncer y = Across(r.canvasArea.top, r.canvasArea.height(), 5);
    bench::TimeMoves(state, room, x, y, false);
    r.placingText = false;
}

void PencilDrag(benchmark::State& state, ScreenSize s) {
    RunningRoom room(s.width, s.height);
    if (!room.ok()) return state.SkipWithError("no room");
    scene::Room& r = scene::TheRoom();
    r.currentTool = scene::kPencil;
    r.objects[scene::kPencil].size = 32;
    Bouncer x = Across(r.canvasArea.left, r.canvasArea.width(), 8);
    Bouncer y = Across(r.canvasArea.top, r.canvasArea.height(), 5);
    bench::TimeDragEvents(state, room, x, y);
}

void DialogOpen(benchmark::State& state, bool readFonts) {
    RunningRoom room(1920, 1080);
    if (!room.ok()) return state.SkipWithError("no room");
    for (auto _ : state) {
        if (readFonts) text::ClearTextCaches();  // the installed families are read again
        room.desktop().answerDialog(
            [&](platform::NativeWindow d) { room.desktop().typeKey(platform::kVkEscape, d); });
        dialogs::TextSettingsDialog();
        room.desktop().clearRecords();
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (const ScreenSize& s : kSizes) {
        benchmark::RegisterBenchmark(("TextPreview80/" + s.name()).c_str(), TextPreview, s)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Pencil32/" + s.name()).c_str(), PencilDrag, s)->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("TextDialogOpen", DialogOpen, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TextDialogOpenReadingFonts", DialogOpen, true)->Unit(benchmark::kMillisecond);
    bench::RatioReporter reporter({}, {});
    return bench::RunWithScratchConfig(argc, argv, reporter);
}
