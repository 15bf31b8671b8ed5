#include "korvanta/capture/capture_texts.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(CaptureTexts, TimecodeTextAndValidity) {
    const struct {
        BcdTimecode bcd;
        const char* text;
        bool valid;
    } cases[] = {
        {0x01234512, "01:23:45.12", true},  {0x02234512, "02:23:45.12", true},  // the hours alone changed
        {0x03595929, "03:59:59.29", true},  {0x00000030, "00:00:00.30", true},
        {0x04000000, "04:00:00.00", false},  // four hours
        {0x00005A00, "00:00:5a.00", false},  // a nibble above 9
        {0x00000031, "00:00:00.31", false},  // 31 frames
        {0x00600000, "00:60:00.00", false},  {0xFFFFFFFF, "ff:ff:ff.ff", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimecodeText(c.bcd), c.text);
        EXPECT_EQ(IsValidTimecode(c.bcd), c.valid) << c.text;
    }
}

TEST(CaptureTexts, FieldAndFrameCountTexts) {
    EXPECT_EQ(TimecodeFieldsText(25, 59, 59, 30), "25:59:59.30");
    EXPECT_EQ(TimecodeFieldsText(26, 0, 0, 0), "--:--:--.--");
    EXPECT_EQ(TimecodeFieldsText(0, 0, 0, 31), "--:--:--.--");
    EXPECT_EQ(TimecodeFieldsText(0, -1, 0, 0), "--:--:--.--");

    EXPECT_EQ(FrameCountText(90, 40), "00:00:03.15");
    EXPECT_EQ(FrameCountText(1, 33), "00:00:00.01");
    EXPECT_EQ(FrameCountText(9'000'000, 40), "100:00:00.00");  // hours not cut to two digits
    EXPECT_EQ(FrameCountText(90, 0), "");
    EXPECT_EQ(FrameCountText(90, -40), "");
    // The milliseconds of the largest count do not wrap.
    EXPECT_EQ(FrameCountText(std::numeric_limits<std::uint64_t>::max(), 40), "204963823041217:14:24.15");
}

TEST(CaptureTexts, RecordingDateAndStamp) {
    EXPECT_TRUE(IsRecordingDateTime(2004, 2, 29, 23, 59, 59));
    EXPECT_TRUE(IsRecordingDateTime(2000, 2, 29, 0, 0, 0));
    for (const auto& f : std::initializer_list<std::array<int, 6>>{
             {0, 0, 0, 0, 0, 0}, {2003, 2, 29, 12, 0, 0}, {1900, 2, 29, 12, 0, 0}, {2003, 4, 31, 12, 0, 0},
             {99, 1, 1, 0, 0, 0}, {10000, 1, 1, 0, 0, 0}, {2003, 13, 1, 0, 0, 0}, {2003, 12, 24, 24, 0, 0},
             {2003, 12, 24, 0, 60, 0}, {2003, 12, 24, 0, 0, -1}}) {
        EXPECT_FALSE(IsRecordingDateTime(f[0], f[1], f[2], f[3], f[4], f[5])) << f[0] << "-" << f[1] << "-" << f[2];
        EXPECT_EQ(RecordingDateText(f[0], f[1], f[2], f[3], f[4], f[5]), "--  --");
        EXPECT_EQ(RecordingStampText(f[0], f[1], f[2], f[3], f[4], f[5], 0, 12, 34, 5), "--  --");
    }

    EXPECT_EQ(RecordingStampText(2003, 12, 24, 18, 30, 5, 0, 12, 34, 5), "20031224 183005 00123405");
    EXPECT_EQ(RecordingStampText(2004, 1, 2, 3, 4, 5, 1, 2, 3, 4), "20040102 030405 01020304");

    // The locale decides the form; midnight shows the date alone and the time shows its seconds.
    const std::string midnight = RecordingDateText(2003, 12, 24, 0, 0, 0);
    const std::string oneSecondLater = RecordingDateText(2003, 12, 24, 0, 0, 1);
    EXPECT_FALSE(midnight.empty());
    EXPECT_EQ(oneSecondLater.rfind(midnight + " ", 0), 0u) << oneSecondLater;
    EXPECT_NE(RecordingDateText(2003, 12, 24, 18, 30, 5), RecordingDateText(2003, 12, 24, 18, 30, 6));
    EXPECT_NE(RecordingDateText(2003, 12, 24, 18, 30, 5), RecordingDateText(2003, 12, 23, 18, 30, 5));
}

TEST(CaptureTexts, TapePosition) {
    const struct {
        TapeTextState state;
        const char* text;
    } cases[] = {
        {{false, 90, 40, true, 0x01020304}, "00:00:03.15"},  // camera mode counts frames
        {{false, 90, 0, false, 0}, "--:--:--.--"},
        {{false, -1, 40, false, 0}, "--:--:--.--"},
        {{true, 90, 40, true, 0x01020304}, "01:02:03.04"},  // a tape plays: its time code
        {{true, 90, 40, false, 0x01020304}, "--:--:--.--"},
    };
    for (const auto& c : cases) EXPECT_EQ(TapePositionText(c.state), c.text);
}

}  // namespace
