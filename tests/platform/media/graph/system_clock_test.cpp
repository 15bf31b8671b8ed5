// System clock: monotonic time and advises fired on the clock thread.
#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/event.h"
#include "platform/media/uuids.h"

namespace {

constexpr REFERENCE_TIME kMillisecond = 10'000;

class SystemClockTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER, IID_IReferenceClock,
                                   clock_.GetVoidAddress()),
                  S_OK);
    }
    REFERENCE_TIME Now() {
        REFERENCE_TIME now = 0;
        EXPECT_EQ(clock_->GetTime(&now), S_OK);
        return now;
    }
    ComPtr<IReferenceClock> clock_;
};

TEST_F(SystemClockTest, AdviseTimeFiresOnceAtItsTime) {
    CAMEvent fired;
    DWORD_PTR cookie = 0;
    const REFERENCE_TIME start = Now();
    ASSERT_EQ(clock_->AdviseTime(start, 20 * kMillisecond, fired.Handle(), &cookie), S_OK);
    ASSERT_TRUE(fired.Wait(5000));
    EXPECT_GE(Now() - start, 20 * kMillisecond);
    EXPECT_FALSE(fired.Wait(50));
    // A fired one-shot advise is gone.
    EXPECT_EQ(clock_->Unadvise(cookie), S_FALSE);
}

TEST_F(SystemClockTest, PeriodicAdviseRepeatsUntilUnadvised) {
    CAMEvent tick;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock_->AdvisePeriodic(Now(), 5 * kMillisecond, tick.Handle(), &cookie), S_OK);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(tick.Wait(5000)) << i;
    EXPECT_EQ(clock_->Unadvise(cookie), S_OK);
    tick.Reset();
    EXPECT_FALSE(tick.Wait(50));
}

TEST_F(SystemClockTest, UnadvisedEventIsNeverSet) {
    CAMEvent never;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock_->AdviseTime(Now(), 30 * kMillisecond, never.Handle(), &cookie), S_OK);
    EXPECT_EQ(clock_->Unadvise(cookie), S_OK);
    EXPECT_FALSE(never.Wait(80));
}

TEST_F(SystemClockTest, TimeNeverGoesBackAndBadArgumentsAreRefused) {
    REFERENCE_TIME last = Now();
    for (int i = 0; i < 1000; ++i) {
        const REFERENCE_TIME now = Now();
        ASSERT_GE(now, last);
        last = now;
    }
    CAMEvent event;
    DWORD_PTR cookie = 0;
    EXPECT_EQ(clock_->GetTime(nullptr), E_POINTER);
    EXPECT_EQ(clock_->AdviseTime(0, 0, event.Handle(), nullptr), E_POINTER);
    EXPECT_EQ(clock_->AdviseTime(0, 0, 0, &cookie), E_INVALIDARG);
    EXPECT_EQ(clock_->AdviseTime(MAXLONGLONG, MAXLONGLONG, event.Handle(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock_->AdvisePeriodic(0, 0, event.Handle(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock_->Unadvise(12345), S_FALSE);
    // An advise at the end of time simply waits; releasing the clock ends it cleanly.
    EXPECT_EQ(clock_->AdvisePeriodic(MAXLONGLONG - 1, MAXLONGLONG, event.Handle(), &cookie), S_OK);
}

}  // namespace
