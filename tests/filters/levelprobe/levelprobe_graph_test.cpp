// The sound meter as the program uses it: registered with korvanta-regsvr,
// created by its CLSID, inserted into a running graph between a PCM source
// and a renderer while another thread reads its levels.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "filters/levelprobe/ilevelprobe.h"
#include "filters/levelprobe/peak_levels.h"
#include "filters/module_registration.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace {

constexpr LONG kSamples = 200;
constexpr LONG kSampleBytes = 7680;  // 40 ms of 48 kHz 16-bit stereo

CMediaType Pcm16Stereo() {
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    mt.SetSampleSize(4);
    const WAVEFORMATEX wave{WAVE_FORMAT_PCM, 2, 48000, 48000 * 4, 4, 16, 0};
    mt.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    return mt;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, LPCWSTR name) {
    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(name, pin.GetAddressOf()), S_OK);
    return pin;
}

}  // namespace

TEST(LevelProbeGraph, PcmStreamsThroughWhileLevelsAreRead) {
    ASSERT_TRUE(kvtest::RegisterBuiltModule("liblevelprobe.so"));
    ComPtr<IBaseFilter> meter;
    ASSERT_EQ(CoCreateInstance(CLSID_LevelProbe, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               meter.GetVoidAddress()),
              S_OK);
    ComPtr<ILevelProbe> probe = meter.As<ILevelProbe>();
    ASSERT_TRUE(probe);

    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.GetVoidAddress()),
              S_OK);
    kvtest::PushSourceConfig config;
    config.type = Pcm16Stereo();
    config.sampleSize = kSampleBytes;
    config.sampleCount = kSamples;
    config.frameDuration = 400000;
    config.writePattern = true;
    auto source = kvtest::TestPushSource::Create(config);
    auto sink = kvtest::TestSink::Create({.checkPattern = true});
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(meter.Get(), u"Sound Meter"), S_OK);
    ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(graph->Connect(source->OutputPin(), PinOf(meter.Get(), u"Input").Get()), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(meter.Get(), u"Output").Get(), sink->InputPin()), S_OK);
    ASSERT_EQ(graph.As<IMediaFilter>()->SetSyncSource(nullptr), S_OK);  // stream flat out

    // The program's meter timer, on its own thread.
    std::atomic<bool> streaming{true};
    std::atomic<LONG> outOfRange{0};
    std::thread reader([&] {
        while (streaming) {
            double first = -1.0;
            double second = -1.0;
            probe->GetLevels(&first, &second);
            if (first < 0.0 || first > 1.0 || second < 0.0 || second > 1.0) ++outOfRange;
            std::this_thread::yield();
        }
    });
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    LONG code = 0;
    EXPECT_EQ(graph.As<IMediaEventEx>()->WaitForCompletion(30000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(control->Stop(), S_OK);
    streaming = false;
    reader.join();

    EXPECT_EQ(outOfRange, 0);
    EXPECT_EQ(sink->Samples(), kSamples);
    EXPECT_EQ(sink->PatternErrors(), 0);
    // Sample 0 is a discontinuity, then every ninth is measured: 198 was the last.
    std::vector<BYTE> last(kSampleBytes);
    for (LONG i = 0; i < kSampleBytes; ++i) last[i] = kvtest::PatternByte(198, i);
    const PeakLevels expected = MeasurePeakLevels(last.data(), kSampleBytes, {2, 2});
    ASSERT_GT(expected.first, 0.0);
    // Stopped: the last pair stays readable.
    double first = 0.0;
    double second = 0.0;
    EXPECT_EQ(probe->GetLevels(&first, &second), S_OK);
    EXPECT_EQ(first, expected.first);
    EXPECT_EQ(second, expected.second);
}
