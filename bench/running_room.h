// The whole program on a headless desktop, for the benchmarks of the room and its tools.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/scene.h"
#include "app/shell.h"
#include "bench/bench_ratio.h"
#include "platform/headless/headless_platform.h"

namespace bench {

// The program started on a headless desktop of one size, for the length of one benchmark run.
class RunningRoom {
public:
    RunningRoom(int width, int height) : desktop_(platform::HeadlessConfig{width, height, 24}) {
        platform::InstallPlatform(&desktop_);
        shell::ResetShell();
        ok_ = shell::StartPictoria(shell::AskingScale(1)) == -1;  // the size asked is the room's
    }
    ~RunningRoom() {
        if (ok_) scene::TearDownScene();
        platform::InstallPlatform(nullptr);
    }
    RunningRoom(const RunningRoom&) = delete;
    RunningRoom& operator=(const RunningRoom&) = delete;

    bool ok() const { return ok_; }
    platform::HeadlessPlatform& desktop() { return desktop_; }

private:
    platform::HeadlessPlatform desktop_;
    bool ok_ = false;
};

// One coordinate that walks from `low` to `high` and back in steps of `step`.
struct Bouncer {
    int value, low, high, step;
    int next() {
        if (value + step > high || value + step < low) step = -step;
        value += step;
        return value;
    }
};

// Times one pointer move per iteration along the path, with the button held or up: the current
// tool's event, redraw and present included.
inline void TimeMoves(benchmark::State& state, RunningRoom& room, Bouncer& x, Bouncer& y, bool buttonDown) {
    constexpr int kClearRecordsEvery = 4096;  // the desktop records every present, sound and cursor
    int sinceClear = 0;
    for (auto _ : state) {
        scene::OnMove(x.next(), y.next(), buttonDown);
        if (++sinceClear == kClearRecordsEvery) {
            room.desktop().clearRecords();
            sinceClear = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// Presses at the path's start, times one drag event per iteration along the path, and releases.
inline void TimeDragEvents(benchmark::State& state, RunningRoom& room, Bouncer x, Bouncer y) {
    room.desktop().setButtonState(platform::MouseButton::Left, true);
    scene::OnPress(x.value, y.value);
    TimeMoves(state, room, x, y, true);
    scene::OnRelease(x.value, y.value);
    room.desktop().setButtonState(platform::MouseButton::Left, false);
}

struct ScreenSize {
    int width, height;
    std::string name() const { return std::to_string(width) + "x" + std::to_string(height); }
};

// Runs the registered benchmarks as RunRepeated does, with the preferences the program saves at
// start-up and the recovery copy of a picture left unsaved kept in a temporary folder rather
// than the user's.
inline int RunWithScratchConfig(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    char pattern[] = "/tmp/pictoria-bench-XXXXXX";
    const char* configHome = mkdtemp(pattern);
    if (configHome == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", configHome, 1);
    setenv("XDG_STATE_HOME", configHome, 1);
    RunRepeated(argc, argv, reporter);
    std::error_code ignored;
    std::filesystem::remove_all(configHome, ignored);
    return 0;
}

}  // namespace bench
