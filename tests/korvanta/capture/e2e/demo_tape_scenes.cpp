#include "demo_tape_scenes.h"

namespace kvtest {

const std::vector<DemoScene>& DemoScenes() {
    static const std::vector<DemoScene> scenes = {
        {"20030517 100000", 0, 75},    // 1
        {"20030517 100004", 75, 75},   // 2: 2 s after scene 1
        {"20030517 100007", 150, 75},  // 3: 1 s after (no jump), but 16:9
        {"20030517 100139", 225, 75},  // 4: 90 s
        {"20030517 120141", 300, 75},  // 5: 2 h
        {"20030518 140143", 375, 75},  // 6: 26 h
        {"20030527 140145", 450, 75},  // 7: exactly 9 days
        {"20030520 090000", 525, 75},  // 8: clock set back
        {"--  --", 600, 50},           // 9: no recording date
        {"20030520 093000", 650, 100}, // 10: a time-code break inside; then 25 repeated frames
    };
    return scenes;
}

ExpectedFile ScenesFile(int first, int last) {
    const auto& scenes = DemoScenes();
    ExpectedFile file{scenes[first - 1].date, scenes[first - 1].firstFrame, 0};
    for (int scene = first; scene <= last; ++scene) file.frames += scenes[scene - 1].frames;
    return file;
}

const std::vector<ThresholdCase>& ThresholdCases() {
    // Scene 3 always has files of its own (its picture is 16:9); a jump
    // backwards or to or from a frame without a date always splits; otherwise
    // a file ends where the recording time jumps by more than the threshold.
    const auto each = [](int first, int last) {
        std::vector<ExpectedFile> files;
        for (int scene = first; scene <= last; ++scene) files.push_back(ScenesFile(scene, scene));
        return files;
    };
    const auto join = [](std::vector<ExpectedFile> head, const std::vector<ExpectedFile>& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    static const std::vector<ThresholdCase> cases = {
        {"OneSecond", "1", 1, each(1, 10)},
        {"OneMinute", "60", 2, join({ScenesFile(1, 2)}, each(3, 10))},
        {"OneHour", "3600", 1, join({ScenesFile(1, 2)}, each(3, 10))},
        {"OneDay", "86400", 2, join({ScenesFile(1, 2), ScenesFile(3, 3), ScenesFile(4, 5)}, each(6, 10))},
        {"SevenDays", "604800", 1, join({ScenesFile(1, 2), ScenesFile(3, 3), ScenesFile(4, 6)}, each(7, 10))},
        {"NoSplitting", "none", 2, {ScenesFile(1, 2), ScenesFile(3, 3), ScenesFile(4, 10)}},
        // Exactly the 9 days between scenes 6 and 7: not more than the threshold, so no split.
        {"CustomNineDays", "009 00 00 00", 1, join({ScenesFile(1, 2), ScenesFile(3, 3), ScenesFile(4, 7)}, each(8, 10))},
    };
    return cases;
}

}  // namespace kvtest
