// The demo tapes the build records: their systems, and the scene table the
// README gives, checked by applying the program's scene rule to every frame.
#include <gtest/gtest.h>

#include <ctime>
#include <map>

#include "dvshared/dv_frame_reader.h"
#include "platform/devices/tape_file.h"

namespace {

const std::filesystem::path kDemoDir = std::filesystem::path(KORVANTA_BINARY_DIR) / "demo";

struct Frame {
    std::time_t recorded;  // local standard time, as the scene rule converts it
    std::array<std::int32_t, 6> fields;
    bool wide;
    std::int32_t timeCodeFrames;
};

std::vector<Frame> ReadTape(const std::filesystem::path& path, bool* is625) {
    TapeFile tape;
    EXPECT_EQ(tape.Open(path), S_OK) << path << " is made by the demo_tapes target";
    *is625 = tape.Is625();
    std::vector<Frame> frames;
    std::vector<std::uint8_t> bytes(tape.FrameBytes());
    for (std::int64_t i = 0; i < tape.FrameCount(); ++i) {
        EXPECT_TRUE(tape.ReadFrame(i, bytes));
        DvFrameReader reader;
        reader.Attach(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        Frame frame{};
        auto& f = frame.fields;
        EXPECT_TRUE(reader.GetRecordingDateTime(f[0], f[1], f[2], f[3], f[4], f[5])) << "frame " << i;
        std::tm t{};
        t.tm_year = f[0] - 1900;
        t.tm_mon = f[1] - 1;
        t.tm_mday = f[2];
        t.tm_hour = f[3];
        t.tm_min = f[4];
        t.tm_sec = f[5];
        t.tm_isdst = 0;
        frame.recorded = std::mktime(&t);
        frame.wide = reader.IsWide();
        std::int32_t h = 0, m = 0, s = 0, ff = 0;
        EXPECT_TRUE(reader.GetTimeCode(h, m, s, ff));
        frame.timeCodeFrames = ((h * 60 + m) * 60 + s) * 25 + ff;
        frames.push_back(frame);
    }
    return frames;
}

// Files a capture of the whole tape started at its first frame gives: a new
// file at every change of the 16:9 flag, and with a threshold above 0 at
// every jump of the recording time above the threshold or backwards.
int FilesFor(const std::vector<Frame>& frames, long threshold) {
    int files = 1;
    bool wide = frames.front().wide;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const Frame& now = frames[i];
        const Frame& before = frames[i - 1];
        if (now.wide != wide) {
            wide = now.wide;
            ++files;
            continue;
        }
        const long jump = static_cast<long>(now.recorded - before.recorded);
        if (threshold > 0 && now.fields != before.fields && (jump > threshold || jump < 0)) ++files;
    }
    return files;
}

TEST(DemoTape, ThePalTapeGivesTheFileCountsOfTheSceneTable) {
    bool is625 = false;
    const auto frames = ReadTape(kDemoDir / "demo-pal.dv", &is625);
    ASSERT_TRUE(is625);
    EXPECT_EQ(frames.size(), 775u);  // 31 s
    const std::map<long, int> expected{{-1, 3},      {1, 10},     {60, 9},      {900, 9},      {1800, 9},
                                       {3600, 9},    {14400, 8},  {28800, 8},   {43200, 8},    {57600, 8},
                                       {86400, 8},   {172800, 7}, {604800, 7},  {1209600, 6},  {2592000, 6}};
    for (const auto& [threshold, files] : expected) EXPECT_EQ(FilesFor(frames, threshold), files) << threshold;
}

TEST(DemoTape, ThePalTapeHoldsATimeCodeBreakAndAPause) {
    bool is625 = false;
    const auto frames = ReadTape(kDemoDir / "demo-pal.dv", &is625);
    ASSERT_FALSE(frames.empty());
    int breaks = 0, repeats = 0;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const int step = frames[i].timeCodeFrames - frames[i - 1].timeCodeFrames;
        if (step == 0) ++repeats;
        if (step > 1) ++breaks;
    }
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(repeats, 25);  // the last frame once more for each of the pause's 25 frames
}

TEST(DemoTape, TheNtscTapeLastsTenSeconds) {
    bool is625 = true;
    const auto frames = ReadTape(kDemoDir / "demo-ntsc.dv", &is625);
    EXPECT_FALSE(is625);
    EXPECT_NEAR(static_cast<double>(frames.size()) * 1001.0 / 30000.0, 10.0, 0.1);
}

}  // namespace
