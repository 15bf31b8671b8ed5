// Repair of a 1.3 GB DV type 2 file a writer never closed (a crash after its
// last frame, the headers a second behind, no index), and the check of a whole
// one: both read the chunk headers only, never the frames.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "media_tools.h"
#include "platform/media/filters/avi/avi_repair.h"
#include "platform/media/filters/avi/avi_writer.h"
#include "platform/media/filters/dv/dv_audio.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 8600;  // 5 min 44 s of PAL: 1.3 GB, past the first RIFF's 1 GiB

struct CutFile {
    fs::path folder;
    fs::path path;
    std::uintmax_t size = 0;  // as the crash left it
};

// Writes the file in a child process that ends without closing it.
const CutFile& TheCutFile() {
    static const CutFile file = [] {
        CutFile cut;
        cut.folder = fs::temp_directory_path() / ("bench_repair_" + std::to_string(::getpid()));
        fs::create_directories(cut.folder);
        cut.path = cut.folder / "cut.avi";
        const auto frames = kvtest::SplitDvFrames(
            kvtest::ReadFileBytes(kvtest::MakeDvClip(cut.folder, {.pal = true, .frames = 25})), 144000);
        const pid_t child = ::fork();
        if (child == 0) {
            AviWriter writer;
            DvAviFormat format;
            format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
            writer.Open(UniqueFd(::open(cut.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), format);
            std::vector<std::vector<BYTE>> pcm(frames.size());
            for (std::size_t i = 0; i < frames.size(); ++i) ExtractDvAudio(frames[i], pcm[i], nullptr);
            for (std::size_t i = 0; i < std::size_t(kFrames); ++i)
                if (writer.WriteFrame(frames[i % frames.size()], pcm[i % frames.size()]) != S_OK) ::_exit(1);
            ::_exit(0);  // no Close: as a crash leaves it
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        cut.size = fs::file_size(cut.path);
        return cut;
    }();
    return file;
}

void BM_RepairCutFile(benchmark::State& state) {
    const CutFile& cut = TheCutFile();
    for (auto _ : state) {
        state.PauseTiming();
        fs::resize_file(cut.path, cut.size);  // the indexes of the last repair go again
        state.ResumeTiming();
        const AviRepairResult result = RepairAviFile(cut.path);
        if (result.outcome != AviRepairOutcome::Repaired || result.frames != kFrames)
            state.SkipWithError("not repaired");
    }
    state.counters["MB"] = double(cut.size) / 1e6;
}
BENCHMARK(BM_RepairCutFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_CheckWholeFile(benchmark::State& state) {
    const CutFile& cut = TheCutFile();
    if (RepairAviFile(cut.path).outcome == AviRepairOutcome::Failed) state.SkipWithError("not repaired");
    for (auto _ : state)
        if (CheckAviFile(cut.path).outcome != AviRepairOutcome::AlreadyWhole) state.SkipWithError("not whole");
    fs::remove_all(cut.folder);
}
BENCHMARK(BM_CheckWholeFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
