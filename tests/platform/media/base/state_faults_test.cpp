// State changes that go wrong half way and streams that fail downstream:
// nothing is left streaming under a stopped filter, and the end of a stream
// still reaches the renderer.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/media/base/transinplacefilter.h"
#include "support/media/fake_graph.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

// An in-place transform that counts StartStreaming and StopStreaming and can fail every sample.
class CountingTransform : public CTransInPlaceFilter {
public:
    static ComPtr<CountingTransform> Create() {
        HRESULT hr = S_OK;
        return ComPtr<CountingTransform>(new CountingTransform(&hr));
    }
    HRESULT CheckInputType(const CMediaType*) override { return S_OK; }
    HRESULT Transform(IMediaSample*) override { return failSamples ? E_FAIL : S_OK; }
    HRESULT StartStreaming() override {
        ++started;
        return S_OK;
    }
    HRESULT StopStreaming() override {
        ++stopped;
        return S_OK;
    }

    std::atomic<int> started{0};
    std::atomic<int> stopped{0};
    bool failSamples = false;

private:
    explicit CountingTransform(HRESULT* phr) : CTransInPlaceFilter("Counting transform", nullptr, GUID{}, phr) {}
};

// A source with two pins whose second cannot start its thread.
class HalfStartingSource : public CSource {
public:
    static ComPtr<HalfStartingSource> Create() {
        HRESULT hr = S_OK;
        return ComPtr<HalfStartingSource>(new HalfStartingSource(&hr));
    }
    TestPushStream* first = nullptr;

private:
    class FailingStream : public TestPushStream {
    public:
        FailingStream(CSource* source, HRESULT* phr) : TestPushStream(source, phr, u"Second", PushSourceConfig{}) {}
        HRESULT OnThreadCreate() override { return E_OUTOFMEMORY; }
    };
    explicit HalfStartingSource(HRESULT* phr) : CSource("Half-starting source", nullptr, GUID{}, phr) {
        PushSourceConfig endless;
        endless.sampleCount = -1;
        first = new TestPushStream(this, phr, u"First", endless);  // owned by CSource from here on
        new FailingStream(this, phr);
    }
};

TEST(StateFaultsTest, APauseThatFailsHalfWayLeavesNoPinStreaming) {
    auto graph = FakeGraph::Create();
    auto source = HalfStartingSource::Create();
    auto firstSink = TestSink::Create();
    auto secondSink = TestSink::Create();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(firstSink.Get(), u"First sink");
    graph->AddFilter(secondSink.Get(), u"Second sink");
    ASSERT_EQ(ConnectPins(source->GetPin(0), firstSink->InputPin()), S_OK);
    ASSERT_EQ(ConnectPins(source->GetPin(1), secondSink->InputPin()), S_OK);
    ASSERT_EQ(firstSink->Pause(), S_OK);
    ASSERT_EQ(secondSink->Pause(), S_OK);

    EXPECT_EQ(source->Pause(), E_OUTOFMEMORY);
    FILTER_STATE state{};
    source->GetState(0, &state);
    EXPECT_EQ(state, State_Stopped);
    EXPECT_EQ(source->first->ThreadCreates(), 1);

    // Stopped as the graph stops it, downstream first: the first pin's thread ends too.
    firstSink->Stop();
    secondSink->Stop();
    EXPECT_EQ(source->Stop(), S_OK);
    EXPECT_EQ(source->first->ThreadDestroys(), 1);
    DisconnectPins(source->GetPin(0));
    DisconnectPins(source->GetPin(1));
}

TEST(StateFaultsTest, ATransformWithOnlyItsInputConnectedStopsStreaming) {
    auto graph = FakeGraph::Create();
    auto source = TestPushSource::Create();
    auto transform = CountingTransform::Create();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(transform.Get(), u"Transform");
    ASSERT_EQ(ConnectPins(source->OutputPin(), transform->GetPin(0)), S_OK);

    ASSERT_EQ(transform->Pause(), S_OK);
    ASSERT_EQ(transform->Stop(), S_OK);
    EXPECT_EQ(transform->started, 1);
    EXPECT_EQ(transform->stopped, 1);
    DisconnectPins(source->OutputPin());
}

TEST(StateFaultsTest, ADeliveryThatFailsStillEndsTheStreamDownstream) {
    auto graph = FakeGraph::Create();
    auto source = TestPushSource::Create();
    auto transform = CountingTransform::Create();
    auto sink = TestSink::Create();
    transform->failSamples = true;
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(transform.Get(), u"Transform");
    graph->AddFilter(sink.Get(), u"Sink");
    ASSERT_EQ(ConnectPins(source->OutputPin(), transform->GetPin(0)), S_OK);
    ASSERT_EQ(ConnectPins(transform->GetPin(1), sink->InputPin()), S_OK);
    for (IBaseFilter* filter : {static_cast<IBaseFilter*>(sink.Get()), static_cast<IBaseFilter*>(transform.Get()),
                                static_cast<IBaseFilter*>(source.Get())})
        ASSERT_EQ(filter->Run(0), S_OK);

    EXPECT_TRUE(sink->WaitForEndOfStream(10'000));
    EXPECT_EQ(sink->Samples(), 0);

    for (IBaseFilter* filter : {static_cast<IBaseFilter*>(sink.Get()), static_cast<IBaseFilter*>(transform.Get()),
                                static_cast<IBaseFilter*>(source.Get())})
        filter->Stop();
    DisconnectPins(source->OutputPin());
    DisconnectPins(transform->GetPin(1));
}

}  // namespace
}  // namespace kvtest
