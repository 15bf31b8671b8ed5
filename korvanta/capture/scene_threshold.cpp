#include "korvanta/capture/scene_threshold.h"

#include <array>

namespace {

struct ThresholdEntry {
    std::string_view labelKey;
    SceneThreshold seconds;  // entry 0 reads the custom text instead
};

constexpr std::array<ThresholdEntry, kThresholdCount> kThresholds = {{
    {"CapScDiffCustom", 0},
    {"CapScNoScene", kNoSceneSplitting},
    {"CapScDiff1Sec", 1},
    {"CapScDiff1Min", 60},
    {"CapScDiff15Min", 900},
    {"CapScDiff30Min", 1800},
    {"CapScDiff1Hour", 3600},
    {"CapScDiff4Hours", 14400},
    {"CapScDiff8Hours", 28800},
    {"CapScDiff12Hours", 43200},
    {"CapScDiff16Hours", 57600},
    {"CapScDiff1Day", 86400},
    {"CapScDiff2Days", 172800},
    {"CapScDiff7Days", 604800},
    {"CapScDiff14Days", 1209600},
    {"CapScDiff30Days", 2592000},
}};

// The field at [first, first + length) of the text with "_" read as "0", as
// atoi reads it: leading blanks skipped, then digits up to the first other
// character. A sign is not read, so no field is negative; a field beyond the
// text's end is 0.
int Field(std::string_view text, std::size_t first, std::size_t length) {
    if (first >= text.size()) return 0;
    const std::string_view field = text.substr(first, length);
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    int value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i] == '_' ? '0' : field[i];
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string_view ThresholdLabelKey(int index) {
    if (index < 0 || index >= kThresholdCount) return {};
    return kThresholds[static_cast<std::size_t>(index)].labelKey;
}

CustomThreshold ParseCustomThreshold(std::string_view text) {
    const int days = Field(text, 0, 3);
    int hours = Field(text, 5, 2);
    const int minutes = Field(text, 9, 2);
    const int seconds = Field(text, 13, 2);

    CustomThreshold result;
    result.correctedText = std::string(text);
    if (hours > 23) {
        hours = 23;
        result.correctedText = std::string(text.substr(0, 5)) + "23" + std::string(text.substr(7));
    }
    result.seconds = days * 86400 + hours * 3600 + minutes * 60 + seconds;
    return result;
}

SceneThreshold ThresholdSeconds(int index, std::string_view customText) {
    if (index == kCustomThresholdIndex) return ParseCustomThreshold(customText).seconds;
    if (index < 0 || index >= kThresholdCount) return 1;
    return kThresholds[static_cast<std::size_t>(index)].seconds;
}

int ThresholdIndexForSeconds(SceneThreshold seconds) {
    for (int index = 1; index < kThresholdCount; ++index)
        if (kThresholds[static_cast<std::size_t>(index)].seconds == seconds) return index;
    return -1;
}
