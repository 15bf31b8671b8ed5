// Per-sample cost of the video grabber on the streaming thread for one
// 720 x 576 RGB32 frame: not armed (the everyday case) and armed (the copy).
#include <benchmark/benchmark.h>

#include <vector>

#include "filters/memory_samples.h"
#include "filters/stillgrab/stillgrab.h"

namespace {

constexpr LONG kFrameBytes = 720 * 576 * 4;

void RunGrabber(benchmark::State& state, bool armed) {
    HRESULT hr = S_OK;
    CUnknown* object = StillGrabFilter::CreateInstance(nullptr, &hr);
    ComPtr<IBaseFilter> owner;
    object->NonDelegatingQueryInterface(IID_IBaseFilter, owner.GetVoidAddress());
    auto* grabber = static_cast<StillGrabFilter*>(object);

    kvtest::MemorySamples samples(kFrameBytes);
    ComPtr<IMediaSample> sample = samples.Next(std::vector<BYTE>(kFrameBytes, 0x40));
    if (!sample) {
        state.SkipWithError("no sample");
        return;
    }
    for (auto _ : state) {
        if (armed) grabber->SetGrab(1);
        benchmark::DoNotOptimize(grabber->Transform(sample.Get()));
    }
    if (armed) state.SetBytesProcessed(state.iterations() * kFrameBytes);
}

void BM_StillGrabNotArmed(benchmark::State& state) { RunGrabber(state, false); }
void BM_StillGrabArmedCopy(benchmark::State& state) { RunGrabber(state, true); }

}  // namespace

BENCHMARK(BM_StillGrabNotArmed);
BENCHMARK(BM_StillGrabArmedCopy);
BENCHMARK_MAIN();
