// The deck's mechanics, tick by tick, without clocks.
#include "platform/devices/tape_transport.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/devices/edevdefs.h"

namespace {

// The frames shown over n single ticks (-1 for a tick that shows nothing).
std::vector<std::int64_t> Shown(TapeTransport& transport, int n) {
    std::vector<std::int64_t> shown;
    for (int i = 0; i < n; ++i) {
        const auto tick = transport.Advance(1);
        shown.push_back(tick.frame.value_or(-1));
    }
    return shown;
}

using Frames = std::vector<std::int64_t>;

TEST(TapeTransport, PlayShowsEveryFrameOnceAndStopsAtTheEnd) {
    TapeTransport transport(4, false);
    EXPECT_EQ(transport.Mode(), ED_MODE_STOP);
    EXPECT_EQ(Shown(transport, 2), (Frames{-1, -1}));  // stopped: nothing
    ASSERT_EQ(transport.SetMode(ED_MODE_PLAY), S_OK);
    EXPECT_EQ(Shown(transport, 6), (Frames{0, 1, 2, 3, -1, -1}));
    EXPECT_EQ(transport.Mode(), ED_MODE_STOP);
    EXPECT_EQ(transport.HeadFrame(), 3);
    ASSERT_EQ(transport.SetMode(ED_MODE_PLAY), S_OK);  // play at the end shows the last frame, then stops
    EXPECT_EQ(Shown(transport, 2), (Frames{3, -1}));
}

TEST(TapeTransport, PauseRepeatsTheFrameUnderTheHeadAndStepsMoveIt) {
    TapeTransport transport(10, false);
    transport.SetMode(ED_MODE_PLAY);
    Shown(transport, 3);
    ASSERT_EQ(transport.SetMode(ED_MODE_FREEZE), S_OK);
    EXPECT_EQ(Shown(transport, 3), (Frames{2, 2, 2}));
    EXPECT_EQ(transport.SetMode(ED_MODE_STEP_FWD), S_OK);
    EXPECT_EQ(transport.Mode(), ED_MODE_FREEZE);
    EXPECT_EQ(Shown(transport, 1), (Frames{3}));
    transport.SetMode(ED_MODE_STEP_REV);
    transport.SetMode(ED_MODE_STEP_REV);
    EXPECT_EQ(Shown(transport, 1), (Frames{1}));
    transport.SetMode(ED_MODE_PLAY);  // play resumes at the still frame
    EXPECT_EQ(Shown(transport, 2), (Frames{1, 2}));
}

TEST(TapeTransport, StepsNeedPauseAndStayOnTheTape) {
    TapeTransport transport(3, false);
    EXPECT_EQ(transport.SetMode(ED_MODE_STEP_FWD), VFW_E_WRONG_STATE);
    transport.SetMode(ED_MODE_PLAY);
    EXPECT_EQ(transport.SetMode(ED_MODE_STEP_REV), VFW_E_WRONG_STATE);
    transport.SetMode(ED_MODE_FREEZE);
    transport.SetMode(ED_MODE_STEP_REV);
    EXPECT_EQ(transport.HeadFrame(), 0);
    for (int i = 0; i < 5; ++i) transport.SetMode(ED_MODE_STEP_FWD);
    EXPECT_EQ(transport.HeadFrame(), 2);
    EXPECT_EQ(transport.SetMode(4299), E_INVALIDARG);  // ED_MODE_THAW: not a DV deck's
    EXPECT_EQ(transport.Mode(), ED_MODE_FREEZE);
}

TEST(TapeTransport, WindingMovesTwentyFramesATickShowsNothingAndStopsAtEitherEnd) {
    TapeTransport transport(100, false);
    transport.SetMode(ED_MODE_FF);
    EXPECT_EQ(Shown(transport, 2), (Frames{-1, -1}));
    EXPECT_EQ(transport.HeadFrame(), 40);
    Shown(transport, 3);
    EXPECT_EQ(transport.HeadFrame(), 99);
    EXPECT_EQ(transport.Mode(), ED_MODE_STOP);
    transport.SetMode(ED_MODE_REW);
    Shown(transport, 1);
    EXPECT_EQ(transport.HeadFrame(), 79);
    Shown(transport, 4);
    EXPECT_EQ(transport.HeadFrame(), 0);
    EXPECT_EQ(transport.Mode(), ED_MODE_STOP);
}

TEST(TapeTransport, SlowPlayShowsEachFrameFiveTimesEitherWay) {
    TapeTransport transport(3, false);
    transport.SetMode(ED_MODE_PLAY_SLOWEST_FWD);
    EXPECT_EQ(Shown(transport, 16), (Frames{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, -1}));
    EXPECT_EQ(transport.Mode(), ED_MODE_STOP);
    transport.SetMode(ED_MODE_PLAY_SLOWEST_REV);
    EXPECT_EQ(Shown(transport, 7), (Frames{2, 2, 2, 2, 2, 1, 1}));
    Shown(transport, 5);
    EXPECT_EQ(Shown(transport, 4), (Frames{0, 0, 0, -1}));
    EXPECT_EQ(transport.Mode(), ED_MODE_STOP);
}

TEST(TapeTransport, LateTicksSkipFramesAndCountThemAsMissed) {
    TapeTransport transport(20, false);
    transport.SetMode(ED_MODE_PLAY);
    auto tick = transport.Advance(1);
    EXPECT_EQ(tick.frame, 0);
    tick = transport.Advance(4);
    EXPECT_EQ(tick.frame, 4);
    EXPECT_EQ(tick.missed, 3);
    transport.SetMode(ED_MODE_FREEZE);
    tick = transport.Advance(3);
    EXPECT_EQ(tick.frame, 4);
    EXPECT_EQ(tick.missed, 2);
    transport.SetMode(ED_MODE_STOP);
    EXPECT_EQ(transport.Advance(5).missed, 0);  // nothing was due
}

TEST(TapeTransport, ACameraLoopsItsLivePictureInEveryMode) {
    TapeTransport transport(3, true);
    EXPECT_EQ(Shown(transport, 4), (Frames{0, 1, 2, 0}));
    EXPECT_EQ(transport.SetMode(ED_MODE_FF), S_OK);
    EXPECT_EQ(transport.Mode(), ED_MODE_FF);  // remembered, the picture goes on
    EXPECT_EQ(Shown(transport, 2), (Frames{1, 2}));
    EXPECT_EQ(transport.Advance(5).frame, 1);
}

}  // namespace
