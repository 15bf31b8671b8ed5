#include "korvanta/capture/scene_threshold.h"

#include <gtest/gtest.h>

namespace {

TEST(SceneThreshold, ListEntries) {
    EXPECT_EQ(ThresholdLabelKey(0), "CapScDiffCustom");
    EXPECT_EQ(ThresholdLabelKey(1), "CapScNoScene");
    EXPECT_EQ(ThresholdLabelKey(15), "CapScDiff30Days");
    EXPECT_EQ(ThresholdLabelKey(16), "");
    EXPECT_EQ(ThresholdLabelKey(-1), "");

    EXPECT_EQ(ThresholdSeconds(0, "001d 00h 00m 30s"), 86430);
    EXPECT_EQ(ThresholdSeconds(1, "001d 00h 00m 30s"), kNoSceneSplitting);
    EXPECT_EQ(ThresholdSeconds(2, ""), 1);
    EXPECT_EQ(ThresholdSeconds(4, ""), 900);
    EXPECT_EQ(ThresholdSeconds(10, ""), 57600);
    EXPECT_EQ(ThresholdSeconds(15, ""), 2592000);
    EXPECT_EQ(ThresholdSeconds(16, ""), 1);
    EXPECT_EQ(ThresholdSeconds(-3, ""), 1);

    // Every listed value names its own entry.
    for (int index = 1; index < kThresholdCount; ++index)
        EXPECT_EQ(ThresholdIndexForSeconds(ThresholdSeconds(index, "")), index);
    EXPECT_EQ(ThresholdIndexForSeconds(0), -1);
    EXPECT_EQ(ThresholdIndexForSeconds(61), -1);
}

TEST(SceneThreshold, CustomText) {
    const struct {
        const char* text;
        SceneThreshold seconds;
        const char* shown;
    } cases[] = {
        {"001d 02h 03m 04s", 86400 + 7200 + 180 + 4, "001d 02h 03m 04s"},
        {"999d 23h 59m 59s", 999 * 86400 + 86399, "999d 23h 59m 59s"},
        {"000d 00h 00m 00s", 0, "000d 00h 00m 00s"},
        {"___d __h __m __s", 0, "___d __h __m __s"},
        {"_1_d 1_h _5m 0_s", 10 * 86400 + 10 * 3600 + 5 * 60, "_1_d 1_h _5m 0_s"},
        {"002d 29h 00m 01s", 2 * 86400 + 23 * 3600 + 1, "002d 23h 00m 01s"},  // hours above 23
        {"000d 24", 23 * 3600, "000d 23"},
        {"", 0, ""},
        {"5", 5 * 86400, "5"},
        {"-01d -1h -1m -1s", 0, "-01d -1h -1m -1s"},  // no negative field
        {"abcdefghijklmnopqrstuvwxyz", 0, "abcdefghijklmnopqrstuvwxyz"},
    };
    for (const auto& c : cases) {
        const CustomThreshold parsed = ParseCustomThreshold(c.text);
        EXPECT_EQ(parsed.seconds, c.seconds) << c.text;
        EXPECT_EQ(parsed.correctedText, c.shown);
    }
}

}  // namespace
