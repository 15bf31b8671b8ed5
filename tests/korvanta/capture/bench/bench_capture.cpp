// The capture pipeline from tape to files: the PAL demo tape played by a
// virtual deck into korvanta-capture, one file per scene. Reports frames per
// second from tape to files at the deck's highest speed factor for both file
// types, and the capture's CPU use while the tape plays in real time. Frames
// lost (written fewer than the tape's 675 distinct frames) are counted too.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr double kHighestSpeed = 1000.0;
constexpr int kTapeFramesWritten = 750;  // the demo tape without its 25 repeated frames

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    long framesWritten = 0;
    int exitCode = -1;
};

fs::path MakeTempFolder(const char* name) {
    fs::path folder = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// A private registry with the filter modules, the platform's filters and one deck.
void PrepareRegistry(double speed) {
    static const fs::path registry = MakeTempFolder("kv-bench-registry");
    ::setenv("KORVANTA_REGISTRY", registry.c_str(), 1);
    static bool registered = false;
    if (!registered) {
        for (const auto& module : fs::directory_iterator(KORVANTA_MODULE_DIR))
            Shell(Quoted(BENCH_REGSVR) + " " + Quoted(module.path()) + " >/dev/null");
        Shell(Quoted(BENCH_REGSVR) + " --platform >/dev/null");
        registered = true;
    }
    Shell(Quoted(BENCH_DECK) + " remove Bench >/dev/null 2>&1");
    char speedText[32];
    std::snprintf(speedText, sizeof speedText, "%g", speed);
    Shell(Quoted(BENCH_DECK) + " add --name Bench --vendor BENCH --model DECK --tape " + Quoted(BENCH_TAPE) +
          " --speed " + speedText + " >/dev/null");
}

Run Capture(double speed, int fileType, const std::string& stop) {
    PrepareRegistry(speed);
    const fs::path folder = MakeTempFolder("kv-bench-captures");
    const std::string command = Quoted(BENCH_CAPTURE) + " --device 'BENCH DECK - DV Camcorder' --threshold 60 --play" +
                                " --type " + std::to_string(fileType) + " --folder " + Quoted(folder) + " " + stop +
                                " 2>/dev/null";
    rusage before{};
    ::getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    Run run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char line[4096];
    static const std::regex fileLine(R"(^file: .* frames: (\d+)\s*$)");
    while (std::fgets(line, sizeof line, pipe)) {
        std::cmatch match;
        if (std::regex_match(line, match, fileLine)) run.framesWritten += std::stol(match[1]);
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage after{};
    ::getrusage(RUSAGE_CHILDREN, &after);
    const auto cpu = [](const rusage& usage) {
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    run.cpuSeconds = cpu(after) - cpu(before);
    fs::remove_all(folder);
    return run;
}

void Report(benchmark::State& state, const Run& run) {
    if (run.exitCode != 0) state.SkipWithError("korvanta-capture failed");
    state.SetIterationTime(run.seconds);
    state.counters["frames"] = static_cast<double>(run.framesWritten);
    state.counters["fps"] = run.seconds > 0 ? run.framesWritten / run.seconds : 0;
    state.counters["cpu_share_of_one_core"] = run.seconds > 0 ? run.cpuSeconds / run.seconds : 0;
    state.counters["frames_lost"] = static_cast<double>(kTapeFramesWritten - run.framesWritten);
}

// The whole tape at a speed factor (range 0) into files of a type (range 1):
// at the deck's highest factor the deck outruns the pipeline and frames_lost
// counts what it could not take; at lower factors fps is lossless throughput.
void BM_CaptureWholeTape(benchmark::State& state) {
    for (auto _ : state)
        Report(state, Capture(static_cast<double>(state.range(0)), static_cast<int>(state.range(1)), ""));
}
BENCHMARK(BM_CaptureWholeTape)
    ->ArgNames({"speed", "type"})
    ->Args({static_cast<long>(kHighestSpeed), 1})
    ->Args({static_cast<long>(kHighestSpeed), 2})
    ->Args({16, 1})
    ->Args({16, 2})
    ->Args({64, 1})
    ->Args({64, 2})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// Ten seconds in real time: what a capture costs while the tape plays.
void BM_CaptureTenSecondsInRealTime(benchmark::State& state) {
    for (auto _ : state) {
        Run run = Capture(1.0, static_cast<int>(state.range(0)), "--stop after=10");
        Report(state, run);
        state.counters["frames_lost"] = 0;  // a stop after ten seconds writes part of the tape by design
    }
}
BENCHMARK(BM_CaptureTenSecondsInRealTime)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
