// The picture work in the running room, headless:
//  - the frames of each clearing transition (the canvas changed, composited into the room and
//    copied to the window), at 1920x1080 and 3840x2160, against their frame times;
//  - showing the picture browser on a folder of 100 pictures of 1920x1080, and stepping on;
//  - writing and reading a 1920x1080 picture against copying the same file.
// Time in the headless desktop is virtual, so the frames' waits cost nothing here: what is
// timed is the work of the frames alone. The real desktop's present is measured by
// measure_transitions.sh.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/pictures.h"
#include "app/room.h"
#include "bench/running_room.h"
#include "toolbox/toolbox.h"

namespace fs = std::filesystem;

namespace {

using bench::RunningRoom;
using bench::ScreenSize;

constexpr ScreenSize kSizes[] = {{1920, 1080}, {3840, 2160}};
const char* const kTransitionNames[] = {"Wipe", "Melt", "Shrink", "Slide"};

// One transition per iteration. The desktop's clock moves only when a frame waits out its
// time, so its advance is the sum of the frame times; "share" is the real time the frames took
// against that sum: under 50 % means a frame takes less than half its frame time on average.
void Transition(benchmark::State& state, int which, ScreenSize size) {
    RunningRoom room(size.width, size.height);
    if (!room.ok()) return state.SkipWithError("no room");
    double frameTime = 0, realTime = 0;
    for (auto _ : state) {
        shell::Shell().nextTransition = which;
        const uint32_t before = tb_GetTime();
        const auto start = std::chrono::steady_clock::now();
        scene::PlayNextTransition();
        realTime += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        frameTime += tb_GetTime() - before;
        room.desktop().clearRecords();
    }
    state.counters["frame_times_ms"] = benchmark::Counter(frameTime, benchmark::Counter::kAvgIterations);
    state.counters["share_%"] = realTime / frameTime * 100;
}

// A folder of 1920x1080 pictures, made once.
fs::path PictureFolder(int count) {
    static fs::path folder;
    if (!folder.empty()) return folder;
    char pattern[] = "/tmp/pictoria-bench-gallery-XXXXXX";
    folder = mkdtemp(pattern);
    Rect rect{0, 0, 1920, 1080};
    const int picture = tb_CreateBitmap(&rect, -1, 24);
    for (int i = 0; i < count; ++i) {
        tb_SetForeColor(picture, (i * 2500) % 65025, 30000, 65025 - i * 600);
        tb_PaintRect(picture, &rect);
        std::string path = (folder / ("picture" + std::to_string(1000 + i) + ".bmp")).string();
        tb_CreateFile(path, 0);
        tb_WriteBitmapToFile(picture);
        tb_CloseFile();
    }
    tb_DisposeBitmap(picture);
    return folder;
}

// The browser shown, stepped `steps` times with the next arrow, and closed with Escape.
void Browser(benchmark::State& state, int steps) {
    RunningRoom room(1920, 1080);
    if (!room.ok()) return state.SkipWithError("no room");
    const std::string folder = PictureFolder(100).string() + "/";
    for (auto _ : state) {
        shell::Shell().programFolder = folder;
        shell::Shell().browserPosition = 0;
        room.desktop().answerDialog([&](platform::NativeWindow d) {
            for (int i = 0; i < steps; ++i) room.desktop().click(335, 390, d);
            room.desktop().typeKey(platform::kVkEscape, d);
        });
        scene::ChoosePicture();
        room.desktop().clearRecords();
    }
}

std::string Picture1080() { return (PictureFolder(100) / "picture1000.bmp").string(); }

void WritePicture(benchmark::State& state) {
    RunningRoom room(640, 480);
    Rect rect{0, 0, 1920, 1080};
    const int picture = tb_CreateBitmap(&rect, -1, 24);
    const std::string target = (PictureFolder(100) / "written.bmp").string();
    for (auto _ : state) {
        std::string path = target;
        tb_CreateFile(path, 0);
        tb_WriteBitmapToFile(picture);
        if (tb_CloseFile() != 1) state.SkipWithError("not written");
    }
    tb_DisposeBitmap(picture);
}

void ReadPicture(benchmark::State& state) {
    RunningRoom room(640, 480);
    for (auto _ : state) {
        std::string path = Picture1080();
        tb_OpenFile(path, 0);
        Rect rect{};
        const int picture = tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        if (picture < 0) return state.SkipWithError("not read");
        tb_DisposeBitmap(picture);
    }
}

// What cp does with the same file, with the copy flushed to disk as a save is.
void CopyFile(benchmark::State& state, bool flush) {
    const fs::path from = Picture1080(), to = PictureFolder(100) / "copied.bmp";
    for (auto _ : state) {
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
        if (flush) {
            const int fd = open(to.c_str(), O_WRONLY);
            fsync(fd);
            close(fd);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (const ScreenSize& s : kSizes) {
        for (int which = 1; which <= 4; ++which) {
            const std::string name = std::string("Transition") + kTransitionNames[which - 1] + "/" + s.name();
            benchmark::RegisterBenchmark(name.c_str(), Transition, which, s)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("BrowserShow100x1080p", Browser, 0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BrowserShowAndStep20x1080p", Browser, 20)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("WritePicture1080p/ours", WritePicture)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("WritePicture1080p/cp_and_fsync", CopyFile, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("WritePicture1080p/cp", CopyFile, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReadPicture1080p/ours", ReadPicture)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReadPicture1080p/cp", CopyFile, false)->Unit(benchmark::kMillisecond);

    bench::RatioReporter reporter({{"WritePicture1080p", "cp_and_fsync", 1.5},
                                   {"ReadPicture1080p", "cp", 1.5}},
                                  {});
    const int result = bench::RunWithScratchConfig(argc, argv, reporter);
    std::error_code ignored;
    fs::remove_all(PictureFolder(100), ignored);
    return result;
}
