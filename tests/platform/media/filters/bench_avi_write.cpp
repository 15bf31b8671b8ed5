// AVI write throughput: DV type 2 frames with their audio into a file on the
// temporary folder's disk, OpenDML RIFFs included.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "media_tools.h"
#include "platform/media/filters/avi/avi_writer.h"
#include "platform/media/filters/dv/dv_audio.h"

namespace {

void BM_AviWriteType2(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("bench_avi_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto frames = kvtest::SplitDvFrames(
        kvtest::ReadFileBytes(kvtest::MakeDvClip(folder, {.pal = true, .sampleRate = 48000, .frames = 25})), 144000);
    std::vector<std::vector<BYTE>> pcm(frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) ExtractDvAudio(frames[i], pcm[i], nullptr);
    const auto path = folder / "bench.avi";
    const int framesPerFile = int(state.range(0));

    std::uint64_t bytes = 0;
    for (auto _ : state) {
        AviWriter writer;
        DvAviFormat format;
        format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
        writer.Open(UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), format);
        for (int i = 0; i < framesPerFile; ++i) {
            const std::size_t n = std::size_t(i) % frames.size();
            if (writer.WriteFrame(frames[n], pcm[n]) != S_OK) state.SkipWithError("write failed");
        }
        writer.Close();
        bytes += std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(std::int64_t(bytes));
    std::filesystem::remove_all(folder);
}
// 1500 frames: one minute of PAL, 228 MB, crossing no limit; the OpenDML path is the same code.
BENCHMARK(BM_AviWriteType2)->Arg(1500)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
