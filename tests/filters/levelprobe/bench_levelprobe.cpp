// Per-sample cost of the sound meter on the streaming thread: a steady stream
// (eight buffers of nine pass unmeasured) and a stream whose every buffer is
// measured (each one a discontinuity). 7680 bytes is one DV frame of 48 kHz
// 16-bit stereo.
#include <benchmark/benchmark.h>

#include <vector>

#include "filters/levelprobe/levelprobe.h"
#include "filters/memory_samples.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace {

constexpr LONG kFrameAudioBytes = 7680;

void RunMeter(benchmark::State& state, bool everyBufferMeasured) {
    HRESULT hr = S_OK;
    CUnknown* object = LevelProbeFilter::CreateInstance(nullptr, &hr);
    ComPtr<IBaseFilter> owner;
    object->NonDelegatingQueryInterface(IID_IBaseFilter, owner.GetVoidAddress());
    auto* meter = static_cast<LevelProbeFilter*>(object);

    CMediaType pcm(&MEDIATYPE_Audio);
    pcm.SetFormatType(&FORMAT_WaveFormatEx);
    const WAVEFORMATEX wave{WAVE_FORMAT_PCM, 2, 48000, 48000 * 4, 4, 16, 0};
    pcm.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    meter->CheckInputType(&pcm);

    kvtest::MemorySamples samples(kFrameAudioBytes);
    std::vector<BYTE> sound(kFrameAudioBytes);
    for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<BYTE>(i * 7);
    ComPtr<IMediaSample> sample = samples.Next(sound, everyBufferMeasured);
    if (!sample) {
        state.SkipWithError("no sample");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(meter->Transform(sample.Get()));
    double first = 0.0;
    double second = 0.0;
    meter->GetLevels(&first, &second);
    benchmark::DoNotOptimize(first + second);
}

void BM_LevelProbeSteadyStream(benchmark::State& state) { RunMeter(state, false); }
void BM_LevelProbeEveryBufferMeasured(benchmark::State& state) { RunMeter(state, true); }

}  // namespace

BENCHMARK(BM_LevelProbeSteadyStream);
BENCHMARK(BM_LevelProbeEveryBufferMeasured);
BENCHMARK_MAIN();
