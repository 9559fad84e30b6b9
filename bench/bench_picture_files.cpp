// Opening PNG and JPEG pictures, against the decoders' own command-line tools on the same file:
//  - a 1920x1080 photo as PNG (libpng, against netpbm's pngtopam, which decodes with libpng) and
//    as JPEG (libjpeg-turbo, against its djpeg), read whole into a bitmap as Open does;
//  - the picture browser's 280x217 preview of a 6000x4000 JPEG, held to 150 ms, with the peak
//    memory it takes beside the whole read of the same file.
// The tools are separate programs, so these compare real time: each tool's run includes its
// start and writing its output to /dev/null, as a parent would run it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_ratio.h"
#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"

extern char** environ;

namespace {

const std::string kFolder = "/tmp/pictoria-bench-files";
const std::string kPng = kFolder + "/photo.png";
const std::string kJpeg = kFolder + "/photo.jpg";
const std::string kBigJpeg = kFolder + "/big.jpg";
constexpr int kPreviewWidth = 280;
constexpr int kPreviewHeight = 217;

// Photo-like files made once by ImageMagick (a plasma fractal: smooth colour with fine detail).
bool MakeFiles() {
    static const bool made = [] {
        const std::string command = "mkdir -p " + kFolder + " && cd " + kFolder +
                                    " && { [ -s photo.png ] || convert -seed 7 -size 1920x1080 plasma:fractal photo.png; }"
                                    " && { [ -s photo.jpg ] || convert photo.png -quality 90 photo.jpg; }"
                                    " && { [ -s big.jpg ] || convert photo.png -resize '6000x4000!' -quality 90 big.jpg; }";
        return std::system(command.c_str()) == 0;
    }();
    return made;
}

void Setup() {
    static platform::HeadlessPlatform desktop;
    static const bool ready = [] {
        platform::InstallPlatform(&desktop);
        tb_Init();
        return true;
    }();
    (void)ready;
}

// The program's reading: the file opened, read whole (or as the preview), closed.
int ReadOnce(const std::string& file, bool preview) {
    std::string path = file;
    if (tb_OpenFile(path, 0) != 1) return -1;
    Rect rect{};
    const int bitmap = preview ? tb_ReadBitmapPreview(kPreviewWidth, kPreviewHeight, &rect) : tb_ReadBitmapFromFile(&rect);
    tb_CloseFile();
    if (bitmap >= 0) tb_DisposeBitmap(bitmap);
    return bitmap;
}

void Ours(benchmark::State& state, const std::string& file, bool preview) {
    Setup();
    if (!MakeFiles()) return state.SkipWithError("ImageMagick could not make the files");
    for (auto _ : state) {
        if (ReadOnce(file, preview) < 0) return state.SkipWithError("refused");
    }
}

// One run of a tool with its output thrown away.
bool RunTool(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return started && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Tool(benchmark::State& state, std::vector<std::string> arguments) {
    if (!MakeFiles()) return state.SkipWithError("ImageMagick could not make the files");
    for (auto _ : state) {
        if (!RunTool(arguments)) return state.SkipWithError(("could not run " + arguments[0]).c_str());
    }
}

// Resident memory at its peak during one read, above what was resident before it.
long PeakKilobytes(const std::string& file, bool preview) {
    auto status = [](const char* key) {
        std::ifstream in("/proc/self/status");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
        }
        return 0L;
    };
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
    const long before = status("VmRSS:");
    ReadOnce(file, preview);
    return status("VmHWM:") - before;
}

void Memory(benchmark::State& state, const std::string& file, bool preview) {
    Setup();
    if (!MakeFiles()) return state.SkipWithError("ImageMagick could not make the files");
    long peak = 0;
    for (auto _ : state) peak = PeakKilobytes(file, preview);
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("OpenPng1080p/ours", Ours, kPng, false)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenPng1080p/pngtopam", Tool, std::vector<std::string>{"pngtopam", kPng})
        ->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenJpeg1080p/ours", Ours, kJpeg, false)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenJpeg1080p/djpeg", Tool, std::vector<std::string>{"djpeg", kJpeg})
        ->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PreviewJpeg6000x4000", Ours, kBigJpeg, true)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MemoryPreviewJpeg6000x4000", Memory, kBigJpeg, true)->Iterations(1);
    benchmark::RegisterBenchmark("MemoryWholeJpeg6000x4000", Memory, kBigJpeg, false)->Iterations(1);
    return bench::RunWithRatios(argc, argv,
                                {{"OpenPng1080p", "pngtopam", 1.3, true}, {"OpenJpeg1080p", "djpeg", 1.3, true}},
                                {{"PreviewJpeg6000x4000", 150000}});
}
