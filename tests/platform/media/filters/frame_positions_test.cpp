// Positions of the AVI source in frames and in media time: exact frames at
// 29.97 frames per second, the stop as the last frame shown, clamping.
#include "platform/media/filters/avisource/frame_positions.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kNtscRate = 30000, kNtscScale = 1001;

TEST(FramePositionsTest, FrameNumbersSurviveMediaTimeAtEveryRate) {
    for (const auto& [rate, scale] : {std::pair<DWORD, DWORD>{25, 1}, {kNtscRate, kNtscScale}}) {
        const FramePositions positions(100000, rate, scale);
        for (std::uint64_t frame : {0ull, 1ull, 2ull, 3ull, 29ull, 30ull, 1799ull, 53945ull, 99999ull}) {
            LONGLONG time = 0, back = 0;
            ASSERT_EQ(positions.Convert(&time, TIME_FORMAT_MEDIA_TIME, LONGLONG(frame), TIME_FORMAT_FRAME), S_OK);
            ASSERT_EQ(positions.Convert(&back, TIME_FORMAT_FRAME, time, TIME_FORMAT_MEDIA_TIME), S_OK);
            EXPECT_EQ(back, LONGLONG(frame)) << rate << "/" << scale;
            // The last 100 ns before a frame still belong to the one before it.
            EXPECT_EQ(positions.FrameAt(time - 1), frame == 0 ? 0 : frame - 1);
        }
    }
    EXPECT_EQ(FramePositions(10, 25, 1).FrameStart(1), 400000);
    EXPECT_EQ(FramePositions(10, kNtscRate, kNtscScale).FrameStart(1), 333667);  // 333666.67 rounded up
    LONGLONG out = 0;
    EXPECT_EQ(FramePositions(10, 25, 1).Convert(&out, TIME_FORMAT_BYTE, 0, TIME_FORMAT_FRAME), E_INVALIDARG);
}

TEST(FramePositionsTest, StopsInFramesAreLastFramesAndInMediaTimeEnds) {
    FramePositions positions(50, 25, 1);
    EXPECT_EQ(positions.Duration(TIME_FORMAT_FRAME), 50);
    EXPECT_EQ(positions.Duration(TIME_FORMAT_MEDIA_TIME), 20'000'000);
    EXPECT_EQ(positions.Stop(TIME_FORMAT_FRAME), 49);

    LONGLONG current = 12, stop = 12;
    ASSERT_EQ(positions.Set(TIME_FORMAT_FRAME, &current, AM_SEEKING_AbsolutePositioning, &stop,
                            AM_SEEKING_AbsolutePositioning),
              S_OK);
    EXPECT_EQ(positions.First(), 12u);
    EXPECT_EQ(positions.Last(), 12u);  // exactly one frame

    // Media time: frames that begin before the stop; the current time's own frame.
    current = 400000 * 3 + 1;
    stop = 400000 * 6;
    ASSERT_EQ(positions.Set(TIME_FORMAT_MEDIA_TIME, &current, AM_SEEKING_AbsolutePositioning, &stop,
                            AM_SEEKING_AbsolutePositioning | AM_SEEKING_ReturnTime),
              S_OK);
    EXPECT_EQ(positions.First(), 3u);
    EXPECT_EQ(positions.Last(), 5u);
    EXPECT_EQ(stop, 400000 * 6);

    // Relative and incremental moves, in frames.
    current = 2;
    stop = 4;
    ASSERT_EQ(positions.Set(TIME_FORMAT_FRAME, &current, AM_SEEKING_RelativePositioning, &stop,
                            AM_SEEKING_IncrementalPositioning),
              S_OK);
    EXPECT_EQ(positions.First(), 5u);
    EXPECT_EQ(positions.Last(), 9u);
    EXPECT_EQ(positions.Set(TIME_FORMAT_FRAME, &current, AM_SEEKING_IncrementalPositioning, nullptr,
                            AM_SEEKING_NoPositioning),
              E_INVALIDARG);
    EXPECT_EQ(positions.Set(TIME_FORMAT_FRAME, nullptr, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning),
              E_POINTER);
}

TEST(FramePositionsTest, PositionsOutsideTheFileAreClamped) {
    FramePositions positions(20, 25, 1);
    LONGLONG current = 500, stop = -4;
    ASSERT_EQ(positions.Set(TIME_FORMAT_FRAME, &current, AM_SEEKING_AbsolutePositioning, &stop,
                            AM_SEEKING_AbsolutePositioning),
              S_OK);
    EXPECT_EQ(positions.First(), 19u);
    EXPECT_EQ(positions.Last(), 19u);  // a stop before the current still shows the current frame
    current = -7;
    stop = 1000;
    ASSERT_EQ(positions.Set(TIME_FORMAT_FRAME, &current, AM_SEEKING_AbsolutePositioning, &stop,
                            AM_SEEKING_AbsolutePositioning),
              S_OK);
    EXPECT_EQ(positions.First(), 0u);
    EXPECT_EQ(positions.Last(), 19u);

    FramePositions empty(0, 25, 1);
    current = 3;
    EXPECT_EQ(empty.Set(TIME_FORMAT_FRAME, &current, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(empty.First(), 0u);
    EXPECT_EQ(empty.Duration(TIME_FORMAT_FRAME), 0);
    EXPECT_EQ(empty.Stop(TIME_FORMAT_MEDIA_TIME), 0);
}

}  // namespace
