// Per-frame cost of the DV frame reader and the relay queue on the live
// capture path: decoding one frame's record, and queueing one frame copy.
#include <benchmark/benchmark.h>

#include "dvshared/frame_queue.h"
#include "support/dv/dv_clips.h"
#include "support/dv/dv_frame_builder.h"

namespace {

using kvtest::DvSystem;

std::vector<std::uint8_t> EncodedFrame(DvSystem system) {
    kvtest::DvClipSpec recipe;
    recipe.system = system;
    recipe.wide = true;
    recipe.frames = 1;
    return kvtest::MakeDvFrames(recipe).at(0);
}

// An encoded frame, where the packs sit in the first sequences, and a frame
// without packs, where every search runs through all sequences.
void FillInfo(benchmark::State& state, std::vector<std::uint8_t> frame) {
    DvFrameReader reader;
    DvFrameInfo info;
    for (auto _ : state) {
        reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
        benchmark::DoNotOptimize(reader.FillInfo(info));
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(FillInfo, PalEncoded, EncodedFrame(DvSystem::Pal625));
BENCHMARK_CAPTURE(FillInfo, NtscEncoded, EncodedFrame(DvSystem::Ntsc525));
BENCHMARK_CAPTURE(FillInfo, PalNoPacks, kvtest::BlankDvFrame(DvSystem::Pal625));
BENCHMARK_CAPTURE(FillInfo, NtscNoPacks, kvtest::BlankDvFrame(DvSystem::Ntsc525));

void PushFrame(benchmark::State& state, DvSystem system) {
    auto frame = kvtest::BlankDvFrame(system);
    DvFrameReader sample;
    sample.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    FrameQueue queue;
    int queued = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(queue.PushFrame(sample));
        // Keep the queue short, as a draining frame client would, without timing the frees.
        if (++queued == 32) {
            state.PauseTiming();
            queue.ClearAll();
            queued = 0;
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(frame.size()));
}
BENCHMARK_CAPTURE(PushFrame, Pal, DvSystem::Pal625);
BENCHMARK_CAPTURE(PushFrame, Ntsc, DvSystem::Ntsc525);

}  // namespace

BENCHMARK_MAIN();
