// Streaming through source → in-place transform → sink on real threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "platform/media/base/inputpin.h"
#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "pipeline.h"

namespace kvtest {
namespace {

constexpr DWORD kWait = 30000;  // ms; only reached when something is broken

TEST(Streaming, TenThousandDvFramesArriveInOrderWithoutCopies) {
    PushSourceConfig config;
    config.sampleCount = 10000;
    config.sampleSize = 144000;
    Pipeline p(config);
    p.Connect();
    ASSERT_EQ(S_OK, p.Pause());
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));

    EXPECT_EQ(10000, p.sink->Samples());
    EXPECT_EQ(10000LL * 144000, p.sink->Bytes());
    EXPECT_EQ(10000, p.transform->Transformed());
    EXPECT_EQ(0, p.transform->Copies());
    const auto times = p.sink->StartTimes();
    ASSERT_EQ(10000u, times.size());
    for (std::size_t i = 0; i < times.size(); ++i) ASSERT_EQ(static_cast<REFERENCE_TIME>(i) * 333667, times[i]);
    EXPECT_EQ(1, p.sink->Discontinuities());
    // Every buffer the sink saw is one the source filled: the memory travelled, not copies of it.
    const auto filled = p.source->Stream().BufferAddresses();
    const auto seen = p.sink->BufferAddresses();
    EXPECT_EQ(filled, seen);
    EXPECT_LE(seen.size(), 4u);
    EXPECT_EQ(1, p.graph->CountOf(EC_COMPLETE));
    EXPECT_EQ(0, p.graph->CountOf(EC_ERRORABORT));
}

}  // namespace
}  // namespace kvtest

namespace kvtest {
namespace {

// Runs fn on another thread and fails (rather than hangs) if it takes longer than the time.
template <class Fn>
void FinishesWithin(std::chrono::milliseconds limit, Fn fn) {
    auto done = std::async(std::launch::async, fn);
    if (done.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << "deadlock: the call did not return";
        std::abort();
    }
    done.get();
}

PushSourceConfig Small(LONG count, LONG size = 1000) {
    PushSourceConfig config;
    config.type = VideoType(MEDIASUBTYPE_TestA, static_cast<ULONG>(size));
    config.sampleCount = count;
    config.sampleSize = size;
    return config;
}

IMemInputPin* MemInput(IPin* pin) { return static_cast<CBaseInputPin*>(pin); }

TEST(Streaming, BytesArriveIntactAndTheTransformWritesInPlace) {
    PushSourceConfig config = Small(50, 4000);
    config.writePattern = true;
    SinkConfig check;
    check.checkPattern = true;
    check.skipPatternBytes = 1;  // the transform's mark
    Pipeline p(config, check, /*markData=*/true);
    p.Connect();
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
    EXPECT_EQ(50, p.sink->Samples());
    EXPECT_EQ(0, p.sink->PatternErrors());
    EXPECT_EQ(0, p.transform->Copies());
}

TEST(Streaming, ReadOnlySamplesAreCopiedOnlyForATransformThatWrites) {
    for (const bool writes : {false, true}) {
        PushSourceConfig config = Small(20, 2000);
        config.writePattern = true;
        SinkConfig check;
        check.checkPattern = true;
        check.skipPatternBytes = 1;
        Pipeline p(config, check, writes);
        p.Connect();
        // The upstream side declares its samples read-only.
        ASSERT_EQ(S_OK, MemInput(p.transform->InputPin())->NotifyAllocator(p.source->Stream().Allocator(), TRUE));
        ASSERT_EQ(S_OK, p.Run());
        ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
        EXPECT_EQ(20, p.sink->Samples());
        EXPECT_EQ(writes ? 20 : 0, p.transform->Copies());
        EXPECT_EQ(0, p.sink->PatternErrors());
    }
}

TEST(Streaming, PauseHoldsTheFirstSampleAndEndOfStreamWaitsForRun) {
    Pipeline p(Small(5));
    p.Connect();
    FILTER_STATE state;
    ASSERT_EQ(S_OK, p.sink->Pause());
    // Paused with nothing yet: the pause has not completed.
    EXPECT_EQ(VFW_S_STATE_INTERMEDIATE, p.sink->GetState(10, &state));
    EXPECT_EQ(State_Paused, state);
    ASSERT_EQ(S_OK, p.Pause());
    EXPECT_EQ(S_OK, p.sink->GetState(kWait, &state));
    EXPECT_EQ(0, p.sink->Samples());
    EXPECT_EQ(0, p.graph->CountOf(EC_COMPLETE));

    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
    // EC_COMPLETE is reported after the last sample was rendered, once, naming the sink.
    EXPECT_EQ(5, p.sink->Samples());
    EXPECT_EQ(1, p.sink->EndOfStreams());
    const auto events = p.graph->Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(p.sink.Get())), events[0].param2);
}

TEST(Streaming, RunPauseStopAHundredTimes) {
    Pipeline p(Small(-1));
    p.Connect();
    FinishesWithin(std::chrono::seconds(120), [&] {
        for (int i = 0; i < 100; ++i) {
            p.sink->Reset();
            ASSERT_EQ(S_OK, p.Pause());
            ASSERT_EQ(S_OK, p.Run());
            ASSERT_TRUE(p.sink->WaitForSamples(3, kWait)) << "cycle " << i;
            ASSERT_EQ(S_OK, p.Pause());
            ASSERT_EQ(S_OK, p.Stop());
        }
    });
    EXPECT_EQ(100, p.source->Stream().ThreadCreates());
    EXPECT_EQ(100, p.source->Stream().ThreadDestroys());
    EXPECT_EQ(0, p.graph->CountOf(EC_ERRORABORT));
}

TEST(Streaming, StopReturnsWhileTheSinkBlocks) {
    Pipeline p(Small(-1));
    p.Connect();
    p.sink->BlockRendering();
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.sink->WaitUntilBlocked(kWait));
    FinishesWithin(std::chrono::seconds(10), [&] { EXPECT_EQ(S_OK, p.Stop()); });
    // And the chain runs again afterwards.
    ASSERT_EQ(S_OK, p.Run());
    EXPECT_TRUE(p.sink->WaitForSamples(p.sink->Samples() + 5, kWait));
}

TEST(Streaming, StopReturnsWhileTheSourceWaitsForABuffer) {
    Pipeline p(Small(-1));
    p.Connect();
    // Paused: the sink holds one sample, the source fills the rest of the pool and waits.
    ASSERT_EQ(S_OK, p.Pause());
    FILTER_STATE state;
    ASSERT_EQ(S_OK, p.sink->GetState(kWait, &state));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    FinishesWithin(std::chrono::seconds(10), [&] { EXPECT_EQ(S_OK, p.Stop()); });
}

TEST(Streaming, FlushDropsTheHeldSampleAndStreamingResumesAfterIt) {
    Pipeline p(Small(1));
    p.Connect();
    ASSERT_EQ(S_OK, p.Pause());
    FILTER_STATE state;
    ASSERT_EQ(S_OK, p.sink->GetState(kWait, &state));

    ASSERT_EQ(S_OK, p.source->Stream().DeliverBeginFlush());
    IMemAllocator* pool = p.source->Stream().Allocator();
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, pool->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0));
    EXPECT_EQ(S_FALSE, MemInput(p.transform->InputPin())->Receive(sample.Get()));
    EXPECT_EQ(S_FALSE, p.transform->InputPin()->EndOfStream());
    ASSERT_EQ(S_OK, p.source->Stream().DeliverEndFlush());

    ASSERT_EQ(S_OK, p.Run());
    EXPECT_EQ(S_OK, MemInput(p.transform->InputPin())->Receive(sample.Get()));
    EXPECT_EQ(1, p.sink->Samples());  // only the one sent after the flush
    EXPECT_EQ(S_OK, p.transform->InputPin()->EndOfStream());
    EXPECT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
}

TEST(Streaming, InputPinRefusesSamplesInTheWrongState) {
    Pipeline p(Small(0));
    p.Connect();
    IMemAllocator* pool = p.source->Stream().Allocator();
    ASSERT_EQ(S_OK, pool->Commit());
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, pool->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0));
    EXPECT_EQ(E_POINTER, MemInput(p.sink->InputPin())->Receive(nullptr));
    EXPECT_EQ(VFW_E_WRONG_STATE, MemInput(p.sink->InputPin())->Receive(sample.Get()));
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));  // the empty source ended its stream
    EXPECT_EQ(VFW_E_SAMPLE_REJECTED_EOS, MemInput(p.sink->InputPin())->Receive(sample.Get()));
    EXPECT_EQ(S_OK, MemInput(p.sink->InputPin())->ReceiveCanBlock());
    EXPECT_EQ(S_OK, MemInput(p.transform->InputPin())->ReceiveCanBlock());
}

TEST(Streaming, AFormatChangeCarriedByASampleReachesTheSink) {
    PushSourceConfig config = Small(10);
    config.changeTypeAt = 5;
    config.changedType = VideoType(MEDIASUBTYPE_TestB, 1000);
    SinkConfig anyVideo;
    anyVideo.accept = PartialType(MEDIATYPE_Video);
    Pipeline p(config, anyVideo);
    p.Connect();
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
    EXPECT_EQ(10, p.sink->Samples());
    EXPECT_EQ(MEDIASUBTYPE_TestB, *p.sink->ConnectionType().Subtype());
    const std::vector<GUID> expected{MEDIASUBTYPE_TestA, MEDIASUBTYPE_TestB};
    EXPECT_EQ(expected, p.sink->SubtypesSeen());
}

TEST(Streaming, AFormatChangeTheSinkRefusesAbortsTheStream) {
    PushSourceConfig config = Small(10);
    config.changeTypeAt = 5;
    config.changedType = VideoType(MEDIASUBTYPE_TestB, 1000);
    SinkConfig onlyA;
    onlyA.accept = PartialType(MEDIATYPE_Video, MEDIASUBTYPE_TestA);
    Pipeline p(config, onlyA);
    p.Connect();
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_ERRORABORT, kWait));
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
    EXPECT_EQ(5, p.sink->Samples());
    EXPECT_EQ(MEDIASUBTYPE_TestA, *p.sink->ConnectionType().Subtype());
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, p.graph->Events().front().param1);
}

TEST(Streaming, SourceFailureAbortsWithItsCodeThenEndsTheStream) {
    PushSourceConfig config = Small(10);
    config.failAt = 3;
    config.failure = E_OUTOFMEMORY;
    Pipeline p(config);
    p.Connect();
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
    EXPECT_EQ(3, p.sink->Samples());
    const auto events = p.graph->Events();
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(EC_ERRORABORT, events[0].code);
    EXPECT_EQ(E_OUTOFMEMORY, events[0].param1);
    EXPECT_EQ(EC_COMPLETE, events[1].code);
}

TEST(Streaming, RendererPresentsEachSampleAtItsTimeOnTheClock) {
    PushSourceConfig config = Small(3);
    config.frameDuration = 1000;
    Pipeline p(config);
    p.Connect();
    auto clock = TestClock::Create();
    for (IBaseFilter* filter : p.Filters()) filter->SetSyncSource(clock.Get());
    ASSERT_EQ(S_OK, p.Pause());
    ASSERT_EQ(S_OK, p.Run(5000));  // stream time zero is clock time 5000

    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(0, p.sink->Samples());
    clock->SetTime(5000);
    EXPECT_TRUE(p.sink->WaitForSamples(1, kWait));
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(1, p.sink->Samples());
    clock->SetTime(7000);
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, kWait));
    EXPECT_EQ(3, p.sink->Samples());
    for (IBaseFilter* filter : p.Filters()) filter->SetSyncSource(nullptr);
}

TEST(Streaming, StopReleasesASampleWaitingForItsTime) {
    Pipeline p(Small(3));
    p.Connect();
    auto clock = TestClock::Create();
    for (IBaseFilter* filter : p.Filters()) filter->SetSyncSource(clock.Get());
    ASSERT_EQ(S_OK, p.Run(1'000'000'000));
    FILTER_STATE state;
    ASSERT_EQ(S_OK, p.sink->GetState(kWait, &state));
    FinishesWithin(std::chrono::seconds(10), [&] { EXPECT_EQ(S_OK, p.Stop()); });
    EXPECT_EQ(0, p.sink->Samples());
    for (IBaseFilter* filter : p.Filters()) filter->SetSyncSource(nullptr);
}

}  // namespace
}  // namespace kvtest
