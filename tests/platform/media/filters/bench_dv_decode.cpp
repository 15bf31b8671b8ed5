// DV decoding to RGB32 DIB rows at each resolution step (full, half, quarter, DC).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "media_tools.h"
#include "platform/media/filters/dv/dv_video_decoder.h"

namespace {

void BM_DvDecode(benchmark::State& state) {
    const bool pal = state.range(0) != 0;
    const int lowres = int(state.range(1));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("bench_dv_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const DvSystem& system = DvSystemFor(pal);
    const auto frames = kvtest::SplitDvFrames(
        kvtest::ReadFileBytes(kvtest::MakeDvClip(folder, {.pal = pal, .sampleRate = 48000, .frames = 10})),
        system.frameBytes);
    std::filesystem::remove_all(folder);

    DvVideoDecoder decoder;
    if (decoder.Open(system, lowres) != S_OK) return state.SkipWithError("no DV decoder");
    std::vector<BYTE> dib(decoder.ImageBytes());
    std::size_t n = 0;
    for (auto _ : state) {
        if (decoder.Decode(frames[n++ % frames.size()], dib) != S_OK) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(dib.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(decoder.Width()) + "x" + std::to_string(decoder.Height()));
}
// Wall time: the decoder spreads the slices of a frame over threads.
BENCHMARK(BM_DvDecode)->ArgNames({"pal", "lowres"})->ArgsProduct({{1, 0}, {0, 1, 2, 3}})->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
