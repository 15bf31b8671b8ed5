// Stream control: the start/stop rules on sample times, the events with
// cookies, and a capture pin switched off and on while its filter runs.
#include <gtest/gtest.h>

#include "platform/media/base/memallocator.h"
#include "platform/media/evcode.h"
#include "support/media/capture_source.h"
#include "support/media/fake_graph.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

// The stream control alone, answering IUnknown for itself.
struct Control : CBaseStreamControl {
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
};

class StreamControlRules : public testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = S_OK;
        CMemAllocator::CreateInstance(nullptr, &hr)->NonDelegatingQueryInterface(IID_IMemAllocator,
                                                                                  pool_.GetVoidAddress());
        ALLOCATOR_PROPERTIES want{1, 16, 1, 0};
        ALLOCATOR_PROPERTIES actual{};
        pool_->SetProperties(&want, &actual);
        pool_->Commit();
    }
    // The decision for a sample starting at t (or without times).
    StreamControlState At(REFERENCE_TIME t, bool timed = true) {
        ComPtr<IMediaSample> sample;
        REFERENCE_TIME end = t + 1;
        pool_->GetBuffer(sample.GetAddressOf(), timed ? &t : nullptr, timed ? &end : nullptr, 0);
        return control_.CheckStreamState(sample.Get());
    }

    ComPtr<IMemAllocator> pool_;
    Control control_;
};

TEST_F(StreamControlRules, NowNeverAndOff) {
    EXPECT_EQ(STREAM_FLOWING, At(0));
    EXPECT_EQ(STREAM_FLOWING, At(0, false));
    const REFERENCE_TIME never = MAXLONGLONG;
    ASSERT_EQ(S_OK, control_.StartAt(&never, 0));  // off
    EXPECT_EQ(STREAM_DISCARDING, At(0));
    EXPECT_EQ(STREAM_DISCARDING, At(0, false));
    ASSERT_EQ(S_OK, control_.StartAt(nullptr, 0));  // on now, stop never
    ASSERT_EQ(S_OK, control_.StopAt(&never, FALSE, 0));
    EXPECT_EQ(STREAM_FLOWING, At(123456));
    ASSERT_EQ(S_OK, control_.StopAt(nullptr, FALSE, 0));  // stop now
    EXPECT_EQ(STREAM_DISCARDING, At(123456));
    EXPECT_EQ(STREAM_DISCARDING, At(0, false));
    ASSERT_EQ(S_OK, control_.StartAt(nullptr, 0));  // the later "now" wins
    EXPECT_EQ(STREAM_FLOWING, At(123456));
}

TEST_F(StreamControlRules, TimedWindowAndInfo) {
    const REFERENCE_TIME start = 1000;
    const REFERENCE_TIME stop = 3000;
    control_.StartAt(&start, 7);
    control_.StopAt(&stop, TRUE, 8);
    EXPECT_EQ(STREAM_DISCARDING, At(999));
    EXPECT_EQ(STREAM_FLOWING, At(1000));
    EXPECT_EQ(STREAM_FLOWING, At(2999));
    EXPECT_EQ(STREAM_DISCARDING, At(3000));

    AM_STREAM_INFO info{};
    ASSERT_EQ(S_OK, control_.GetInfo(&info));
    EXPECT_EQ(1000, info.tStart);
    EXPECT_EQ(3000, info.tStop);
    EXPECT_EQ(7u, info.dwStartCookie);
    EXPECT_EQ(8u, info.dwStopCookie);
    EXPECT_EQ(AM_STREAM_INFO_START_DEFINED | AM_STREAM_INFO_STOP_DEFINED | AM_STREAM_INFO_STOP_SEND_EXTRA |
                  AM_STREAM_INFO_DISCARDING,
              info.dwFlags);
    EXPECT_EQ(E_POINTER, control_.GetInfo(nullptr));
}

TEST_F(StreamControlRules, ChangesAreReportedWithTheirCookies) {
    auto graph = FakeGraph::Create();
    control_.SetFilterGraph(graph.Get());
    const REFERENCE_TIME never = MAXLONGLONG;
    control_.StartAt(&never, 0);
    control_.StopAt(nullptr, FALSE, 11);
    EXPECT_EQ(STREAM_DISCARDING, At(0));
    control_.StartAt(nullptr, 12);
    EXPECT_EQ(STREAM_FLOWING, At(1));
    EXPECT_EQ(STREAM_FLOWING, At(2));  // no change, no event
    const auto events = graph->Events();
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(EC_STREAM_CONTROL_STOPPED, events[0].code);
    EXPECT_EQ(11, events[0].param2);
    EXPECT_EQ(EC_STREAM_CONTROL_STARTED, events[1].code);
    EXPECT_EQ(12, events[1].param2);
    control_.SetFilterGraph(nullptr);
}

TEST(CaptureSource, PinsReportTheirCategories) {
    auto source = TestCaptureSource::Create();
    ComPtr<IKsPropertySet> props;
    ASSERT_EQ(S_OK, source->CapturePin().QueryInterface(IID_IKsPropertySet, props.GetVoidAddress()));
    GUID category{};
    DWORD returned = 0;
    ASSERT_EQ(S_OK, props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof(category),
                               &returned));
    EXPECT_EQ(PIN_CATEGORY_CAPTURE, category);
    EXPECT_EQ(sizeof(GUID), returned);
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, props->Get(AMPROPSETID_Pin, 5, nullptr, 0, &category, sizeof(category), nullptr));
    EXPECT_EQ(E_UNEXPECTED, props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, 4, nullptr));

    ASSERT_EQ(S_OK, source->PreviewPin().QueryInterface(IID_IKsPropertySet, props.GetVoidAddress()));
    ASSERT_EQ(S_OK, props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof(category),
                               nullptr));
    EXPECT_EQ(PIN_CATEGORY_PREVIEW, category);
    ComPtr<IAMStreamControl> control;
    EXPECT_EQ(E_NOINTERFACE, source->PreviewPin().QueryInterface(IID_IAMStreamControl, control.GetVoidAddress()));
    EXPECT_EQ(S_OK, source->CapturePin().QueryInterface(IID_IAMStreamControl, control.GetVoidAddress()));
}

TEST(CaptureSource, CaptureStreamSwitchesOffAndOnWhileRunning) {
    PushSourceConfig config = TestCaptureSource::LiveConfig();
    config.frameDuration = 20000;  // 2 ms frames keep the test short
    config.sampleSize = 1000;
    auto graph = FakeGraph::Create();
    auto source = TestCaptureSource::Create(config);
    auto capture = TestSink::Create();
    auto preview = TestSink::Create();
    graph->AddFilter(source.Get(), u"Capture source");
    ASSERT_EQ(S_OK, ConnectPins(&source->CapturePin(), capture->InputPin()));
    ASSERT_EQ(S_OK, ConnectPins(&source->PreviewPin(), preview->InputPin()));
    ComPtr<IAMStreamControl> control;
    ASSERT_EQ(S_OK, source->CapturePin().QueryInterface(IID_IAMStreamControl, control.GetVoidAddress()));

    const REFERENCE_TIME off = MAXLONGLONG;
    ASSERT_EQ(S_OK, control->StartAt(&off, 0));
    for (IBaseFilter* filter : {static_cast<IBaseFilter*>(capture.Get()), static_cast<IBaseFilter*>(preview.Get()),
                                static_cast<IBaseFilter*>(source.Get())})
        ASSERT_EQ(S_OK, filter->Run(0));
    ASSERT_TRUE(preview->WaitForSamples(20, 30000));
    EXPECT_EQ(0, capture->Samples());

    ASSERT_EQ(S_OK, control->StartAt(nullptr, 1));
    ASSERT_EQ(S_OK, control->StopAt(&off, FALSE, 2));
    ASSERT_TRUE(capture->WaitForSamples(10, 30000));
    ASSERT_TRUE(graph->WaitForEvent(EC_STREAM_CONTROL_STARTED, 30000));

    ASSERT_EQ(S_OK, control->StopAt(nullptr, FALSE, 3));
    ASSERT_TRUE(graph->WaitForEvent(EC_STREAM_CONTROL_STOPPED, 30000));
    const LONG captured = capture->Samples();
    const LONG previewed = preview->Samples();
    ASSERT_TRUE(preview->WaitForSamples(previewed + 10, 30000));
    EXPECT_EQ(captured, capture->Samples());

    for (IBaseFilter* filter : {static_cast<IBaseFilter*>(capture.Get()), static_cast<IBaseFilter*>(preview.Get()),
                                static_cast<IBaseFilter*>(source.Get())})
        filter->Stop();
    DisconnectPins(&source->CapturePin());
    DisconnectPins(&source->PreviewPin());
    graph->RemoveFilter(source.Get());
}

}  // namespace
}  // namespace kvtest
