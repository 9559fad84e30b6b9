// Side-by-side benchmarks: every job runs as "<job>/ours" and "<job>/<peer>" in one process,
// repeated, and after the usual table this prints the ratio of our median CPU time to each
// peer's, with the target it is held to. Jobs with an absolute limit print that instead.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct RatioTarget {
    std::string job;
    std::string peer;
    double maxRatio;  // ours / peer at most this
    // Compare real (wall-clock) times: for a peer that is a separate program, whose CPU time
    // this process never sees.
    bool realTime = false;
};

struct TimeLimit {
    std::string name;  // full benchmark name
    double maxMicroseconds;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter(std::vector<RatioTarget> ratios, std::vector<TimeLimit> limits)
        : ratios_(std::move(ratios)), limits_(std::move(limits)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
            // In microseconds whatever unit the benchmark chose.
            const double unit = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            medians_[run.run_name.function_name] = run.GetAdjustedCPUTime() * unit;
            realMedians_[run.run_name.function_name] = run.GetAdjustedRealTime() * unit;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nMedians of CPU time (real time where marked), ours against the peer in the same run:\n");
        for (const RatioTarget& t : ratios_) {
            const std::map<std::string, double>& medians = t.realTime ? realMedians_ : medians_;
            const auto ours = medians.find(t.job + "/ours");
            const auto peer = medians.find(t.job + "/" + t.peer);
            if (ours == medians.end() || peer == medians.end()) {
                std::printf("  %-28s vs %-14s  (not run)\n", t.job.c_str(), t.peer.c_str());
                continue;
            }
            const double ratio = ours->second / peer->second;
            std::printf("  %-28s vs %-14s  %10.1f us / %10.1f us = %5.2fx  target <= %.2fx  %s%s\n", t.job.c_str(),
                        t.peer.c_str(), ours->second, peer->second, ratio, t.maxRatio,
                        ratio <= t.maxRatio ? "met" : "MISSED", t.realTime ? "  (real time)" : "");
        }
        for (const TimeLimit& l : limits_) {
            const auto it = medians_.find(l.name);
            if (it == medians_.end()) continue;
            std::printf("  %-45s %10.1f us  target < %.0f us  %s\n", l.name.c_str(), it->second, l.maxMicroseconds,
                        it->second < l.maxMicroseconds ? "met" : "MISSED");
        }
    }

private:
    std::vector<RatioTarget> ratios_;
    std::vector<TimeLimit> limits_;
    std::map<std::string, double> medians_;
    std::map<std::string, double> realMedians_;
};

// Runs the registered benchmarks, ten repetitions of each unless the command line asks otherwise,
// all of them in random order, so that a change of machine load during the run falls on every
// case alike.
inline void RunRepeated(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=10";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    bool hasRepetitions = false;
    for (int i = 1; i < argc; ++i) hasRepetitions |= std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    if (!hasRepetitions) {
        args.push_back(repetitions.data());
        args.push_back(aggregates.data());
    }
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

inline int RunWithRatios(int argc, char** argv, std::vector<RatioTarget> ratios, std::vector<TimeLimit> limits) {
    RatioReporter reporter(std::move(ratios), std::move(limits));
    RunRepeated(argc, argv, reporter);
    return 0;
}

}  // namespace bench
