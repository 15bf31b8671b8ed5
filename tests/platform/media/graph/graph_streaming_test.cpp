// Graph manager: running real pipelines across threads, state changes,
// completion and error events.
#include "graph_fixture.h"

#include "platform/media/base/event.h"
#include "platform/media/evcode.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

PushSourceConfig Frames(LONG count) {
    PushSourceConfig config;
    config.sampleCount = count;
    return config;
}

// A source whose stream waits at a gate before its first sample, so a
// paused graph stays in transition until the test opens it.
class GatedSource : public CSource {
public:
    static ComPtr<GatedSource> Create() {
        HRESULT hr = S_OK;
        return ComPtr<GatedSource>(new GatedSource(&hr));
    }
    void Open() { gate_.Set(); }

private:
    class GatedStream : public TestPushStream {
    public:
        GatedStream(GatedSource* source, HRESULT* phr)
            : TestPushStream(source, phr, u"Output", PushSourceConfig{}), source_(source) {}
        HRESULT FillBuffer(IMediaSample* sample) override {
            source_->gate_.Wait();
            return TestPushStream::FillBuffer(sample);
        }

    private:
        GatedSource* const source_;
    };

    explicit GatedSource(HRESULT* phr) : CSource("Gated source", nullptr, CLSID_TestPushSource, phr) {
        new GatedStream(this, phr);  // owned by CSource from here on
    }
    ~GatedSource() override { gate_.Set(); }

    CAMEvent gate_{true};
};

class GraphStreamingTest : public GraphFixture {
protected:
    // source -> in-place transform -> sink, connected.
    void BuildPipeline(const PushSourceConfig& config, const SinkConfig& sinkConfig = {}) {
        source = TestPushSource::Create(config);
        transform = TestInPlaceTransform::Create();
        sink = TestSink::Create(sinkConfig);
        Add(source.Get(), u"Source");
        Add(transform.Get(), u"Transform");
        Add(sink.Get(), u"Sink");
        ASSERT_EQ(graph->Connect(source->OutputPin(), transform->InputPin()), S_OK);
        ASSERT_EQ(graph->Connect(transform->OutputPin(), sink->InputPin()), S_OK);
    }

    ComPtr<TestPushSource> source;
    ComPtr<TestInPlaceTransform> transform;
    ComPtr<TestSink> sink;
};

TEST_F(GraphStreamingTest, StreamsTenThousandFullSizeSamplesWithoutCopies) {
    PushSourceConfig config;
    config.sampleCount = 10'000;
    config.sampleSize = 144'000;
    BuildPipeline(config);
    RunFreely();

    ASSERT_EQ(control->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(events->WaitForCompletion(120'000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(NextEvent(0), EC_COMPLETE);
    EXPECT_EQ(sink->Samples(), 10'000);
    EXPECT_EQ(sink->Bytes(), 10'000LL * 144'000);
    EXPECT_EQ(transform->Transformed(), 10'000);
    EXPECT_EQ(transform->Copies(), 0);
    EXPECT_EQ(sink->BufferAddresses(), source->Stream().BufferAddresses());
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphStreamingTest, RunsPausesAndStopsAHundredTimesWithoutDeadlock) {
    PushSourceConfig config;
    config.sampleCount = -1;
    config.sampleSize = 144'000;
    BuildPipeline(config);
    RunFreely();

    OAFilterState state = -1;
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(SUCCEEDED(control->Run())) << round;
        // Run returns before the source's thread has delivered anything: each
        // round waits until the sink has rendered a sample of its own.
        ASSERT_TRUE(sink->WaitForSamples(round + 1, 10'000)) << round;
        ASSERT_TRUE(SUCCEEDED(control->Pause())) << round;
        ASSERT_TRUE(SUCCEEDED(control->GetState(1000, &state))) << round;
        EXPECT_EQ(state, State_Paused);
        ASSERT_EQ(control->Stop(), S_OK) << round;
        ASSERT_EQ(control->GetState(0, &state), S_OK);
        EXPECT_EQ(state, State_Stopped);
    }
    EXPECT_EQ(source->Stream().ThreadCreates(), source->Stream().ThreadDestroys());
}

TEST_F(GraphStreamingTest, GetStateIsIntermediateUntilTheRendererHasASample) {
    auto gated = GatedSource::Create();
    sink = TestSink::Create();
    Add(gated.Get(), u"Gated");
    Add(sink.Get(), u"Sink");
    ASSERT_EQ(graph->Connect(gated->GetPin(0), sink->InputPin()), S_OK);

    OAFilterState state = -1;
    EXPECT_TRUE(SUCCEEDED(control->Pause()));
    EXPECT_EQ(control->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(control->GetState(30, &state), VFW_S_STATE_INTERMEDIATE);

    gated->Open();
    EXPECT_EQ(control->GetState(10'000, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphStreamingTest, CompleteReachesTheApplicationOnlyWhenEveryRendererIsDone) {
    BuildPipeline(Frames(5));
    auto slowSource = TestPushSource::Create(Frames(5));
    auto slowSink = TestSink::Create();
    Add(slowSource.Get(), u"Slow Source");
    Add(slowSink.Get(), u"Slow Sink");
    ASSERT_EQ(graph->Connect(slowSource->OutputPin(), slowSink->InputPin()), S_OK);
    RunFreely();
    slowSink->BlockRendering();

    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(sink->WaitForEndOfStream(10'000));
    ASSERT_TRUE(slowSink->WaitUntilBlocked(10'000));
    // One renderer finished, the other has not: nothing for the application yet.
    EXPECT_EQ(NextEvent(100), 0);

    slowSink->Unblock();
    ASSERT_TRUE(slowSink->WaitForEndOfStream(10'000));
    EXPECT_EQ(NextEvent(10'000), EC_COMPLETE);
    EXPECT_EQ(NextEvent(50), 0);
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphStreamingTest, ErrorAbortFromAFailingSourcePassesThrough) {
    PushSourceConfig failing = Frames(100);
    failing.failAt = 3;
    failing.failure = E_OUTOFMEMORY;
    BuildPipeline(failing);
    RunFreely();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    LONG_PTR result = 0;
    EXPECT_EQ(NextEvent(10'000, &result), EC_ERRORABORT);
    EXPECT_EQ(static_cast<HRESULT>(result), E_OUTOFMEMORY);
    LONG code = 0;
    EXPECT_EQ(events->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphStreamingTest, UsesTheSystemClockByDefault) {
    BuildPipeline(Frames(3));
    ComPtr<IMediaFilter> asFilter;
    ASSERT_EQ(graph.As(&asFilter), S_OK);
    ComPtr<IReferenceClock> clock;
    EXPECT_EQ(asFilter->GetSyncSource(clock.GetAddressOf()), S_FALSE);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(asFilter->GetSyncSource(clock.GetAddressOf()), S_OK);
    ASSERT_TRUE(clock);
    // Three NTSC frames on the clock take about a tenth of a second.
    EXPECT_EQ(NextEvent(10'000), EC_COMPLETE);
    EXPECT_EQ(sink->Samples(), 3);
    EXPECT_EQ(asFilter->SetSyncSource(nullptr), VFW_E_NOT_STOPPED);
    EXPECT_EQ(control->Stop(), S_OK);
}

}  // namespace
}  // namespace kvtest
