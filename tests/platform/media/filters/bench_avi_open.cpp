// Opening a 10-minute DV type 2 file (15,000 PAL frames, 2.3 GB, OpenDML) and
// reading a frame anywhere in it: the latency the preview player sees.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "media_tools.h"
#include "platform/media/filters/avi/avi_reader.h"
#include "platform/media/filters/dv/dv_audio.h"

namespace {

constexpr std::size_t kTenMinutes = 15000;

const std::filesystem::path& TenMinuteFile() {
    static const std::filesystem::path path = [] {
        const auto folder = std::filesystem::temp_directory_path() / ("bench_open_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const auto frames = kvtest::SplitDvFrames(
            kvtest::ReadFileBytes(kvtest::MakeDvClip(folder, {.pal = true, .sampleRate = 48000, .frames = 25})),
            144000);
        std::vector<std::vector<BYTE>> pcm(frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i) ExtractDvAudio(frames[i], pcm[i], nullptr);
        DvAviFormat format;
        format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
        AviWriter writer;
        const auto file = folder / "ten_minutes.avi";
        writer.Open(UniqueFd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), format);
        for (std::size_t i = 0; i < kTenMinutes; ++i) writer.WriteFrame(frames[i % 25], pcm[i % 25]);
        writer.Close();
        return file;
    }();
    return path;
}

void BM_AviOpen(benchmark::State& state) {
    const auto& file = TenMinuteFile();
    for (auto _ : state) {
        AviReader reader;
        if (reader.Open(file) != S_OK || reader.FrameCount() != kTenMinutes) state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_AviOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AviSeekAndReadFrame(benchmark::State& state) {
    AviReader reader;
    if (reader.Open(TenMinuteFile()) != S_OK) return state.SkipWithError("open failed");
    std::mt19937 positions(10);
    std::vector<BYTE> frame, pcm;
    for (auto _ : state) reader.ReadFrame(positions() % kTenMinutes, frame, &pcm);
}
BENCHMARK(BM_AviSeekAndReadFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(TenMinuteFile().parent_path());
    return 0;
}
