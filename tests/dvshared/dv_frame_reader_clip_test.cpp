// The reader against frames written by ffmpeg's DV encoder and muxer: what
// was asked of ffmpeg must come back out of every frame.
#include <gtest/gtest.h>

#include "dvshared/dv_frame_reader.h"
#include "support/dv/dv_clips.h"

namespace {

using kvtest::DvClipSpec;
using kvtest::DvSystem;

struct ClipCase {
    DvSystem system;
    bool wide;
};

class DvFrameReaderClip : public testing::TestWithParam<ClipCase> {};

TEST_P(DvFrameReaderClip, ReadsBackWhatFfmpegWasAsked) {
    DvClipSpec recipe;
    recipe.system = GetParam().system;
    recipe.wide = GetParam().wide;
    recipe.creationTime = {2024, 3, 15, 13, 45, 56};
    recipe.startTimeCode = {1, 2, 3, 4};
    recipe.frames = 3;
    auto frames = kvtest::MakeDvFrames(recipe);
    ASSERT_EQ(frames.size(), 3u);

    const bool pal = recipe.system == DvSystem::Pal625;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        SCOPED_TRACE(n);
        DvFrameReader reader;
        reader.Attach(frames[n].data(), static_cast<std::uint32_t>(frames[n].size()));
        DvFrameInfo info;
        ASSERT_TRUE(reader.FillInfo(info));
        EXPECT_EQ(info.is625, pal ? 1 : 0);
        EXPECT_EQ(info.wide, recipe.wide ? 1 : 0);
        EXPECT_EQ(info.frameMs, pal ? 40 : 33);
        EXPECT_EQ(info.tcHours, 1);
        EXPECT_EQ(info.tcMinutes, 2);
        EXPECT_EQ(info.tcSeconds, 3);
        EXPECT_EQ(info.tcFrames, 4 + static_cast<int>(n));
        EXPECT_EQ(info.recYear, 2024);
        EXPECT_EQ(info.recMonth, 3);
        EXPECT_EQ(info.recDay, 15);
        EXPECT_EQ(info.recHour, 13);
        EXPECT_EQ(info.recMinute, 45);
        EXPECT_EQ(info.recSecond, 56);
        EXPECT_EQ(info.reserved[0], 0);
        EXPECT_EQ(info.reserved[1], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, DvFrameReaderClip,
                         testing::Values(ClipCase{DvSystem::Pal625, false}, ClipCase{DvSystem::Pal625, true},
                                         ClipCase{DvSystem::Ntsc525, false}, ClipCase{DvSystem::Ntsc525, true}),
                         [](const auto& info) {
                             return std::string(info.param.system == DvSystem::Pal625 ? "Pal" : "Ntsc") +
                                    (info.param.wide ? "Wide" : "Standard");
                         });

// Across the turn of the century: the two-digit year and the time code both
// roll over inside the clip, one second after its first frame.
TEST(DvFrameReaderClipRollover, CenturyAndTimeCodeRollOverAfterOneSecond) {
    DvClipSpec recipe;
    recipe.system = DvSystem::Pal625;
    recipe.creationTime = {1999, 12, 31, 23, 59, 59};
    recipe.startTimeCode = {23, 59, 59, 0};
    recipe.frames = 26;
    auto frames = kvtest::MakeDvFrames(recipe);
    ASSERT_EQ(frames.size(), 26u);

    DvFrameReader reader;
    DvFrameInfo info;
    reader.Attach(frames[24].data(), static_cast<std::uint32_t>(frames[24].size()));
    ASSERT_TRUE(reader.FillInfo(info));
    EXPECT_EQ(info.recYear, 1999);
    EXPECT_EQ(info.recSecond, 59);
    EXPECT_EQ(info.tcFrames, 24);

    reader.Attach(frames[25].data(), static_cast<std::uint32_t>(frames[25].size()));
    ASSERT_TRUE(reader.FillInfo(info));
    EXPECT_EQ(info.recYear, 2000);
    EXPECT_EQ(info.recMonth, 1);
    EXPECT_EQ(info.recDay, 1);
    EXPECT_EQ(info.recHour, 0);
    EXPECT_EQ(info.recMinute, 0);
    EXPECT_EQ(info.recSecond, 0);
    EXPECT_EQ(info.tcHours, 0);
    EXPECT_EQ(info.tcMinutes, 0);
    EXPECT_EQ(info.tcSeconds, 0);
    EXPECT_EQ(info.tcFrames, 0);
}

// The time code written from a frame count replaces the encoder's own pack
// (which carries flag bits) and reads back through the reader.
TEST(DvFrameReaderClipWrite, WrittenTimeCodeReadsBackFromARealFrame) {
    DvClipSpec recipe;
    recipe.system = DvSystem::Ntsc525;
    recipe.startTimeCode = {10, 20, 30, 5};
    recipe.frames = 1;
    auto frames = kvtest::MakeDvFrames(recipe);
    ASSERT_EQ(frames.size(), 1u);

    DvFrameReader reader;
    reader.Attach(frames[0].data(), static_cast<std::uint32_t>(frames[0].size()));
    ASSERT_TRUE(reader.WriteTimeCodeFromFrameCount(1000));
    std::int32_t h = -1, m = -1, s = -1, f = -1;
    ASSERT_TRUE(reader.GetTimeCode(h, m, s, f));
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 33);
    EXPECT_EQ(f, 0);
}

}  // namespace
