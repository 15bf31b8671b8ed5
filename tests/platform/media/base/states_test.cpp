// Every test filter, created by CLSID and left unconnected, goes through
// every state change and reports each state.
#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "support/media/test_filter_classes.h"
#include "support/media/test_types.h"

namespace kvtest {
namespace {

class EveryTestFilter : public testing::TestWithParam<CLSID> {};

TEST_P(EveryTestFilter, GoesThroughEveryStateChange) {
    ASSERT_EQ(S_OK, RegisterTestFilterClasses());
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, CoCreateInstance(GetParam(), nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     filter.GetVoidAddress()));
    const auto expectState = [&](FILTER_STATE expected) {
        FILTER_STATE state;
        EXPECT_TRUE(SUCCEEDED(filter->GetState(0, &state)));
        EXPECT_EQ(expected, state);
    };
    expectState(State_Stopped);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(S_OK, filter->Pause());
        expectState(State_Paused);
        EXPECT_EQ(S_OK, filter->Run(0));
        expectState(State_Running);
        EXPECT_EQ(S_OK, filter->Pause());
        expectState(State_Paused);
        EXPECT_EQ(S_OK, filter->Stop());
        expectState(State_Stopped);
        EXPECT_EQ(S_OK, filter->Run(0));  // straight from stopped
        expectState(State_Running);
        EXPECT_EQ(S_OK, filter->Stop());
        EXPECT_EQ(S_OK, filter->Stop());
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, EveryTestFilter,
                         testing::Values(CLSID_TestPushSource, CLSID_TestInPlace, CLSID_TestSink, CLSID_TestConverter,
                                         CLSID_TestCaptureSource));

}  // namespace
}  // namespace kvtest
