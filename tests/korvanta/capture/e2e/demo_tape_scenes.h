#pragma once
// What a capture of the PAL demo tape must give, worked out by hand from the
// tape's scene table (platform/devices/DEMO_TAPE.md), never from the
// program's output: 25 frames a second, every scene 3 s except scene 9
// (2 s, no recording date) and scene 10 (4 s written, then 25 frames that
// repeat its last time code and are not written).
#include <string>
#include <vector>

namespace kvtest {

inline constexpr int kPalFrameBytes = 144000;
inline constexpr int kTapeFrames = 775;    // 31 s
inline constexpr int kPlayedFrames = 750;  // the last 25 repeat one time code

struct DemoScene {
    const char* date;  // the file-name part: the first frame's recording date and time
    int firstFrame;    // on the tape
    int frames;        // written
};
// Scenes 1 to 10 at index 0 to 9.
const std::vector<DemoScene>& DemoScenes();

// A file a capture writes: its name without prefix and extension, where its
// frames come from on the tape, and how many there are.
struct ExpectedFile {
    std::string date;
    int firstFrame = 0;
    int frames = 0;
};
// The file made of scenes first to last (1-based, inclusive).
ExpectedFile ScenesFile(int first, int last);

// One threshold and the files a capture of the whole tape with it gives.
struct ThresholdCase {
    const char* label;     // for the test name
    const char* argument;  // --threshold VALUE
    int fileType;          // --type: the rows take turns, so both types meet every split
    std::vector<ExpectedFile> files;
};
const std::vector<ThresholdCase>& ThresholdCases();

}  // namespace kvtest
