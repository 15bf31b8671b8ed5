// The video grabber as the program uses it: registered with korvanta-regsvr,
// created by its CLSID, inserted into a running graph of RGB32 frames, armed
// and polled from another thread in the program's calling order.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "filters/module_registration.h"
#include "filters/stillgrab/istillgrab.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/uuids.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace {

constexpr LONG kFrameBytes = 64 * 48 * 4;

CMediaType Rgb32Type(LONG width, LONG height) {
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_RGB32);
    mt.SetFormatType(&FORMAT_VideoInfo);
    mt.SetSampleSize(static_cast<ULONG>(width * height * 4));
    VIDEOINFOHEADER vih{};
    vih.AvgTimePerFrame = 400000;
    vih.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB,
                     static_cast<DWORD>(width * height * 4), 0, 0, 0, 0};
    mt.SetFormat(reinterpret_cast<const BYTE*>(&vih), sizeof vih);
    return mt;
}

struct Still {
    std::vector<BYTE> bits;
    BITMAPINFOHEADER header;
};

// One still as the program takes it: arm, poll every 10 ms at most 100
// times, then size, bits and header.
std::optional<Still> TakeStill(IStillGrab* grab) {
    grab->SetGrab(1);
    BYTE ready = 0;
    for (int poll = 0; poll <= 100 && !ready; ++poll) {
        grab->IsFrameReady(&ready);
        if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ready) return std::nullopt;
    LONG size = 0;
    grab->GetFrameSize(&size);
    Still still{std::vector<BYTE>(static_cast<std::size_t>(size)), {}};
    grab->GetFrame(still.bits.data());
    grab->GetFrameHeader(&still.header);
    return still;
}

// The source writes (31 n + i) & 0xFF at offset i of frame n: the bits of
// one whole frame rise by one from byte to byte.
bool IsOneWholeFrame(const std::vector<BYTE>& bits) {
    for (std::size_t i = 1; i < bits.size(); ++i)
        if (bits[i] != static_cast<BYTE>(bits[i - 1] + 1)) return false;
    return true;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, LPCWSTR name) {
    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(name, pin.GetAddressOf()), S_OK);
    return pin;
}

}  // namespace

TEST(StillGrabGraph, StillsFromARunningStreamFollowItsFormat) {
    ASSERT_TRUE(kvtest::RegisterBuiltModule("libstillgrab.so"));
    ComPtr<IBaseFilter> grabber;
    ASSERT_EQ(CoCreateInstance(CLSID_StillGrab, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               grabber.GetVoidAddress()),
              S_OK);
    ComPtr<IStillGrab> grab = grabber.As<IStillGrab>();
    ASSERT_TRUE(grab);

    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.GetVoidAddress()),
              S_OK);
    kvtest::PushSourceConfig config;
    config.type = Rgb32Type(64, 48);
    config.sampleSize = kFrameBytes;
    config.sampleCount = -1;
    config.frameDuration = 100000;  // a frame every 10 ms
    config.realTime = true;
    config.writePattern = true;
    // From frame 20 on the picture is 96 x 32 in the same buffers.
    config.changeTypeAt = 20;
    config.changedType = Rgb32Type(96, 32);
    auto source = kvtest::TestPushSource::Create(config);
    auto sink = kvtest::TestSink::Create();
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(grabber.Get(), u"Video Grabber"), S_OK);
    ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(graph->Connect(source->OutputPin(), PinOf(grabber.Get(), u"Input").Get()), S_OK);
    ASSERT_EQ(graph->Connect(PinOf(grabber.Get(), u"Output").Get(), sink->InputPin()), S_OK);
    ASSERT_EQ(graph.As<IMediaFilter>()->SetSyncSource(nullptr), S_OK);

    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    // The program's thread takes stills while the stream runs.
    std::vector<std::optional<Still>> before;
    std::vector<std::optional<Still>> after;
    std::thread program([&] {
        for (int i = 0; i < 3; ++i) before.push_back(TakeStill(grab.Get()));
        EXPECT_TRUE(sink->WaitForSamples(config.changeTypeAt + 1, 10000));
        for (int i = 0; i < 3; ++i) after.push_back(TakeStill(grab.Get()));
    });
    program.join();
    EXPECT_EQ(control->Stop(), S_OK);

    // Early stills may fall on either side of the change; header and bits always agree.
    for (const auto& still : before) {
        ASSERT_TRUE(still);
        EXPECT_EQ(still->bits.size(), std::size_t{kFrameBytes});
        EXPECT_TRUE(IsOneWholeFrame(still->bits));
        EXPECT_EQ(still->header.biSizeImage, DWORD{kFrameBytes});
        EXPECT_EQ(still->header.biWidth * still->header.biHeight * 4, kFrameBytes);
    }
    // Once the changed frame has passed, every still carries the new picture size.
    for (const auto& still : after) {
        ASSERT_TRUE(still);
        EXPECT_TRUE(IsOneWholeFrame(still->bits));
        EXPECT_EQ(still->header.biWidth, 96);
        EXPECT_EQ(still->header.biHeight, 32);
    }
    // Stopped: the last still stays held.
    LONG size = 0;
    EXPECT_EQ(grab->GetFrameSize(&size), S_OK);
    EXPECT_EQ(size, kFrameBytes);
}
