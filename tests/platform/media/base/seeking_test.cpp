// Seeking asked of a renderer or a transform goes upstream to the source.
#include <gtest/gtest.h>

#include "platform/media/evcode.h"
#include "pipeline.h"

namespace kvtest {
namespace {

TEST(Seeking, RendererAndTransformPassItToTheSource) {
    PushSourceConfig config;
    config.sampleCount = 25;
    config.sampleSize = 100;
    Pipeline p(config);
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, p.sink->QueryInterface(IID_IMediaSeeking, seeking.GetVoidAddress()));
    LONGLONG duration = 0;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, seeking->GetDuration(&duration));
    EXPECT_EQ(E_POINTER, seeking->GetDuration(nullptr));

    p.Connect();
    ASSERT_EQ(S_OK, seeking->SetTimeFormat(&TIME_FORMAT_FRAME));
    ASSERT_EQ(S_OK, seeking->GetDuration(&duration));
    EXPECT_EQ(25, duration);
    EXPECT_EQ(S_OK, seeking->IsUsingTimeFormat(&TIME_FORMAT_FRAME));
    ASSERT_EQ(S_OK, seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME));
    ASSERT_EQ(S_OK, seeking->GetDuration(&duration));
    EXPECT_EQ(25 * 333667, duration);

    ComPtr<IMediaSeeking> fromTransform;
    ASSERT_EQ(S_OK, p.transform->OutputPin()->QueryInterface(IID_IMediaSeeking, fromTransform.GetVoidAddress()));
    ASSERT_EQ(S_OK, p.Run());
    ASSERT_TRUE(p.graph->WaitForEvent(EC_COMPLETE, 30000));
    LONGLONG current = 0;
    LONGLONG stop = 0;
    ASSERT_EQ(S_OK, fromTransform->GetPositions(&current, &stop));
    EXPECT_EQ(25 * 333667, current);
    EXPECT_EQ(25 * 333667, stop);
    // What the source refuses comes back unchanged.
    EXPECT_EQ(E_NOTIMPL, fromTransform->SetPositions(&current, AM_SEEKING_AbsolutePositioning, nullptr, 0));
    // The seeking object belongs to the sink: asking it for the filter finds the filter.
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, seeking->QueryInterface(IID_IBaseFilter, filter.GetVoidAddress()));
    EXPECT_EQ(static_cast<IBaseFilter*>(p.sink.Get()), filter.Get());
}

}  // namespace
}  // namespace kvtest
