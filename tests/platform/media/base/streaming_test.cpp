// Streaming through source → in-place transform → sink on real threads.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "pipeline.h"

namespace kvtest {
namespace {

constexpr DWORD kWait = 30000;

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
