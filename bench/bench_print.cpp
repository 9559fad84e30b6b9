// Printing the picture, headless: from the Print button to the finished document handed over,
// for a 1920x1080 canvas on A4 at 600 dpi, with ink saving on and off. The headless printer
// writes the same cairo PDF document that GTK's printing spools, into a file.
//
// "extra_MB" is the most resident memory one print added to what the program held before it:
// the kernel's peak counter is reset before each print. Large blocks are kept out of the
// allocator's pools, so memory freed by one print cannot hide what the next one takes.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/preferences.h"
#include "app/room.h"
#include "bench/running_room.h"
#include "toolbox/toolbox.h"

namespace {

// A canvas of 1920x1080 sits in a room of 2086x1192.
constexpr int kScreenWidth = 2086;
constexpr int kScreenHeight = 1192;

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Something like a child's picture: flat colour, big shapes, a few thin lines.
void Paint(int canvas, const Rect& picture) {
    tb_SetForeColor(canvas, 65025, 60000, 30000);
    tb_PaintRect(canvas, &picture);
    for (int i = 0; i < 40; ++i) {
        tb_SetForeColor(canvas, (i * 7919) % 65025, (i * 4391) % 65025, (i * 2903) % 65025);
        Rect r{(i * 173) % 1700, (i * 97) % 900, (i * 173) % 1700 + 60 + i * 5, (i * 97) % 900 + 40 + i * 4};
        if (i % 2 == 0) tb_PaintEllipse(canvas, &r);
        else tb_PaintRect(canvas, &r);
        tb_Line(canvas, 0, i * 27, 1919, 1079 - i * 27, 1 + i % 9);
    }
}

void Print(benchmark::State& state, bool saveInk) {
    bench::RunningRoom room(kScreenWidth, kScreenHeight);
    if (!room.ok()) return state.SkipWithError("no room");
    const scene::Room& r = scene::TheRoom();
    if (r.picture.width() != 1920 || r.picture.height() != 1080) return state.SkipWithError("canvas not 1920x1080");
    Paint(r.canvas, r.picture);
    shell::Prefs().printOption = saveInk;
    char pattern[] = "/tmp/pictoria-bench-print-XXXXXX";
    const std::string pdf = std::string(mkdtemp(pattern)) + "/page.pdf";
    long extraKb = 0;
    for (auto _ : state) {
        platform::PrintAnswer answer{.print = true, .outputPath = pdf, .keepPictures = false};
        answer.choice = platform::PrintChoice{"", 8.27, 11.69, 600, 600};
        room.desktop().answerPrintDialog(answer);
        ResetPeak();
        const long before = StatusKb("VmRSS:");
        scene::PrintPicture();
        extraKb = std::max(extraKb, StatusKb("VmHWM:") - before);
        state.PauseTiming();
        if (room.desktop().printed().size() != 1) state.SkipWithError("nothing printed");
        room.desktop().clearRecords();
        state.ResumeTiming();
    }
    state.counters["extra_MB"] = static_cast<double>(extraKb) / 1024.0;
    std::ifstream file(pdf, std::ios::binary | std::ios::ate);
    state.counters["pdf_MB"] = static_cast<double>(file.tellg()) / 1e6;
    std::remove(pdf.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    benchmark::RegisterBenchmark("PrintPicture1080pA4at600/ink_saving", Print, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PrintPicture1080pA4at600/plain", Print, false)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
