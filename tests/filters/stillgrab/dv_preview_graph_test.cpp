// Meter and grabber in the preview chain the program builds from a DV clip
// made by ffmpeg: DV source → DV splitter, its audio → sound meter → sink, its
// video → DV decoder → video grabber → sink. Both filters come from their
// registered modules.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "dv_clip_source.h"
#include "filters/levelprobe/ilevelprobe.h"
#include "filters/levelprobe/peak_levels.h"
#include "filters/module_registration.h"
#include "filters/stillgrab/istillgrab.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/uuids.h"
#include "support/dv/dv_clips.h"
#include "support/media/test_sink.h"

namespace {

ComPtr<IBaseFilter> Create(REFCLSID clsid) {
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.GetVoidAddress()), S_OK);
    return filter;
}

IPin* PinOf(IBaseFilter* filter, LPCWSTR name) {
    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(name, pin.GetAddressOf()), S_OK);
    return pin.Get();  // the filter keeps the pin alive
}

}  // namespace

TEST(DvPreviewGraph, MeterAndGrabberFollowARealClip) {
    ASSERT_TRUE(kvtest::RegisterBuiltModule("liblevelprobe.so"));
    ASSERT_TRUE(kvtest::RegisterBuiltModule("libstillgrab.so"));
    kvtest::DvClipSpec clip;
    clip.frames = 12;
    const auto frames = kvtest::MakeDvFrames(clip);
    ASSERT_EQ(frames.size(), 12u);

    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.GetVoidAddress()),
              S_OK);
    auto source = kvtest::DvClipSource::Create({{frames.begin(), frames.end()}, {}, true, true});
    ComPtr<IBaseFilter> splitter = Create(CLSID_DVSplitter);
    ComPtr<IBaseFilter> decoder = Create(CLSID_DVVideoCodec);
    ComPtr<IBaseFilter> meter = Create(CLSID_LevelProbe);
    ComPtr<IBaseFilter> grabber = Create(CLSID_StillGrab);
    auto audioSink = kvtest::TestSink::Create();
    auto videoSink = kvtest::TestSink::Create();
    ASSERT_TRUE(splitter && decoder && meter && grabber);
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(splitter.Get(), u"DV Splitter"), S_OK);
    ASSERT_EQ(graph->AddFilter(decoder.Get(), u"DV Decoder"), S_OK);
    ASSERT_EQ(graph->AddFilter(meter.Get(), u"Sound Meter"), S_OK);
    ASSERT_EQ(graph->AddFilter(grabber.Get(), u"Video Grabber"), S_OK);
    ASSERT_EQ(graph->AddFilter(audioSink.Get(), u"Audio Sink"), S_OK);
    ASSERT_EQ(graph->AddFilter(videoSink.Get(), u"Video Sink"), S_OK);
    ASSERT_EQ(graph->Connect(source->Pin(0), PinOf(splitter.Get(), u"Input")), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(splitter.Get(), u"AudOut00"), PinOf(meter.Get(), u"Input")), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(meter.Get(), u"Output"), audioSink->InputPin()), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(splitter.Get(), u"DVVidOut0"), PinOf(decoder.Get(), u"XForm In")), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(decoder.Get(), u"XForm Out"), PinOf(grabber.Get(), u"Input")), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(grabber.Get(), u"Output"), videoSink->InputPin()), S_OK);
    ASSERT_EQ(graph.As<IMediaFilter>()->SetSyncSource(nullptr), S_OK);

    // The preview player's order: arm, then let frames flow, then poll.
    ComPtr<IStillGrab> grab = grabber.As<IStillGrab>();
    ASSERT_EQ(grab->SetGrab(1), S_OK);
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    BYTE ready = 0;
    for (int poll = 0; poll <= 100 && !ready; ++poll) {
        grab->IsFrameReady(&ready);
        if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    LONG code = 0;
    EXPECT_EQ(graph.As<IMediaEventEx>()->WaitForCompletion(30000, &code), S_OK);
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_EQ(audioSink->Samples(), 12);
    EXPECT_EQ(videoSink->Samples(), 12);

    ASSERT_TRUE(ready);
    LONG size = 0;
    BITMAPINFOHEADER header{};
    grab->GetFrameSize(&size);
    grab->GetFrameHeader(&header);
    EXPECT_GT(size, 0);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biSizeImage, DWORD(size));
    EXPECT_EQ(header.biWidth * std::abs(header.biHeight) * 4, size);

    // No sample was a discontinuity, so the ninth buffer (frame 8) was the one measured.
    std::vector<BYTE> pcm;
    ASSERT_EQ(ExtractDvAudio(frames[8], pcm, nullptr), S_OK);
    const PeakLevels expected = MeasurePeakLevels(pcm.data(), static_cast<LONG>(pcm.size()), {2, 2});
    EXPECT_GT(expected.first, 0.0);
    // Read after the stop: the last measured pair stays.
    double first = 0.0;
    double second = 0.0;
    EXPECT_EQ(meter.As<ILevelProbe>()->GetLevels(&first, &second), S_OK);
    EXPECT_EQ(first, expected.first);
    EXPECT_EQ(second, expected.second);
}
