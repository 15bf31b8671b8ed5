#pragma once
// The scene thresholds the user picks from: the threshold list's index (the
// setting CapSceneDiff) and the custom text "ddd hh mm ss" typed through the
// mask "[0-9][0-9][0-9]d [0-2][0-9]h [0-5][0-9]m [0-5][0-9]s" (the setting
// CapSceneDiffCustom), turned into the seconds the frame server compares.
#include <cstdint>
#include <string>
#include <string_view>

// Seconds between two frames' recording times; -1 means no scene splitting
// and 0 (an all-zero custom text) works like it.
using SceneThreshold = std::int32_t;

inline constexpr int kThresholdCount = 16;
inline constexpr int kCustomThresholdIndex = 0;
inline constexpr SceneThreshold kNoSceneSplitting = -1;

// The language label key of list entry index (0 "CapScDiffCustom",
// 1 "CapScNoScene", 2 "CapScDiff1Sec" ... 15 "CapScDiff30Days"); empty
// outside 0-15.
std::string_view ThresholdLabelKey(int index);

// The custom threshold read from its text: days in characters 0-2, hours
// 5-6, minutes 9-10, seconds 13-14, each with "_" read as "0". Hours above 23
// become 23 and the text's hour field is rewritten to "23"; correctedText is
// the text to show (equal to the input when nothing was corrected).
struct CustomThreshold {
    SceneThreshold seconds = 0;
    std::string correctedText;
};
CustomThreshold ParseCustomThreshold(std::string_view text);

// The seconds of list entry index: the custom text for 0, -1 for 1, the
// table's seconds for 2-15, and 1 second for any other index.
SceneThreshold ThresholdSeconds(int index, std::string_view customText);

// Which list entry gives exactly these seconds (2-15), or -1 when none does;
// -1 seconds gives entry 1. Used by the headless command to name a threshold.
int ThresholdIndexForSeconds(SceneThreshold seconds);
