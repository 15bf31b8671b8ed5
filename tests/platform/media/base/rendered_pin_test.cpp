// A sink built from CBaseFilter and CRenderedInputPin reports its end of
// stream as EC_COMPLETE once per run, and only while running.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/media/base/basefilter.h"
#include "platform/media/base/renderedinputpin.h"
#include "platform/media/evcode.h"
#include "support/media/fake_graph.h"
#include "support/media/push_source.h"

namespace kvtest {
namespace {

class NullSink : public CBaseFilter {
public:
    NullSink() : CBaseFilter("Null sink", nullptr, &lock_, GUID{}) {
        HRESULT hr = S_OK;
        pin_ = std::make_unique<Pin>(this, &lock_, &hr);
    }
    CBasePin* GetPin(int n) override { return n == 0 ? pin_.get() : nullptr; }
    int GetPinCount() override { return 1; }

private:
    struct Pin : CRenderedInputPin {
        Pin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr) : CRenderedInputPin("Null pin", filter, lock, phr, u"In") {}
        HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    };
    CCritSec lock_;
    std::unique_ptr<Pin> pin_;
};

TEST(RenderedInputPin, EndOfStreamIsReportedOncePerRunAndOnlyWhileRunning) {
    auto graph = FakeGraph::Create();
    PushSourceConfig config;
    config.sampleCount = 3;
    auto source = TestPushSource::Create(config);
    ComPtr<NullSink> sink(new NullSink());
    graph->AddFilter(sink.Get(), u"Null");
    ASSERT_EQ(S_OK, ConnectPins(source->OutputPin(), sink->GetPin(0)));

    // Paused: the source ends its stream, nothing is reported yet.
    ASSERT_EQ(S_OK, sink->Pause());
    ASSERT_EQ(S_OK, source->Pause());
    for (int i = 0; i < 200 && source->Stream().SamplesDelivered() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(0, graph->CountOf(EC_COMPLETE));

    ASSERT_EQ(S_OK, sink->Run(0));
    ASSERT_EQ(S_OK, source->Run(0));
    ASSERT_TRUE(graph->WaitForEvent(EC_COMPLETE, 30000));
    EXPECT_EQ(S_OK, sink->GetPin(0)->EndOfStream());
    EXPECT_EQ(1, graph->CountOf(EC_COMPLETE));  // a second end of stream in the same run says nothing

    // A new run from stopped reports again.
    ASSERT_EQ(S_OK, sink->Stop());
    ASSERT_EQ(S_OK, source->Stop());
    ASSERT_EQ(S_OK, sink->Run(0));
    ASSERT_EQ(S_OK, source->Run(0));
    for (int i = 0; i < 6000 && graph->CountOf(EC_COMPLETE) < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(2, graph->CountOf(EC_COMPLETE));

    sink->Stop();
    source->Stop();
    DisconnectPins(source->OutputPin());
    graph->RemoveFilter(sink.Get());
}

}  // namespace
}  // namespace kvtest
