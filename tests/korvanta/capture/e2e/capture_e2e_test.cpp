// The capture end to end: korvanta-capture run as a child process on the
// real graphs and filter modules (registered by korvanta-regsvr into the
// test's private registry), capturing the PAL demo tape from a virtual deck.
// Every capture is checked against the tape itself: the files listed and
// written, their names and frame counts, and their frames byte for byte
// against the tape's frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "demo_tape_scenes.h"
#include "media_tools.h"
#include "platform/media/filters/avi/avi_reader.h"
#include "support/temp_dir.h"
#include "tests/filters/relaysink/time_zone.h"
#include "tests/korvanta/capture/support/capture_run.h"
#include "tests/korvanta/capture/support/demo_deck.h"
#include "tests/korvanta/capture/support/listed_files.h"
#include "tests/korvanta/capture/support/module_registration.h"
#include "tests/platform/com/child_process.h"

namespace kvtest {

// A threshold row shows as its label in test output.
void PrintTo(const ThresholdCase& row, std::ostream* out) { *out << row.label; }

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const fs::path kBin = fs::path(KORVANTA_BINARY_DIR) / "bin";
const fs::path kTape = fs::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv";
constexpr const char* kDeviceName = "KORVANTA - DV Camcorder";
constexpr const char* kPrefix = "Tape";
// The fastest deck at which a capture of the whole tape still loses no frame
// under the sanitizers on a busy two-core machine (about 4 s of tape play).
constexpr double kFastSpeed = 8;
// Slow enough for buttons pressed on the deck to land in the middle of a scene.
constexpr double kButtonSpeed = 2;
// Far beyond any capture here, so only a hang reaches it.
constexpr auto kRunLimit = 120s;

struct Capture {
    std::optional<int> exitCode;
    std::string error;
    std::vector<ListedFile> files;
};

std::vector<std::string> CaptureCommand(const fs::path& folder, const std::vector<std::string>& options) {
    std::vector<std::string> command = {(kBin / "korvanta-capture").string(), "--device", kDeviceName, "--folder",
                                        folder.string(), "--prefix", kPrefix};
    command.insert(command.end(), options.begin(), options.end());
    return command;
}

Capture RunCapture(const fs::path& folder, const std::vector<std::string>& options) {
    const TempDir work;
    CaptureRun child(CaptureCommand(folder, options), work.path(), work.path());
    Capture capture;
    capture.exitCode = child.Wait(kRunLimit);
    capture.error = child.Error();
    capture.files = ListedFiles(child.Output());
    return capture;
}

// The listing names exactly the expected files in folder, in tape order, and
// each file holds the expected frames of the tape, byte for byte.
void ExpectFiles(const Capture& capture, const fs::path& folder, const std::vector<ExpectedFile>& expected,
                 const std::string& copySuffix = "") {
    std::vector<ListedFile> wanted;
    for (const ExpectedFile& file : expected)
        wanted.push_back({folder / (std::string(kPrefix) + " " + file.date + copySuffix + ".avi"),
                          static_cast<std::uint64_t>(file.frames)});
    ASSERT_EQ(capture.files, wanted) << capture.error;

    ASSERT_EQ(fs::file_size(kTape), std::uintmax_t(kTapeFrames) * kPalFrameBytes);
    std::ifstream tape(kTape, std::ios::binary);
    std::vector<char> original(kPalFrameBytes);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        AviReader reader;
        ASSERT_TRUE(SUCCEEDED(reader.Open(wanted[i].path))) << wanted[i].path;
        ASSERT_EQ(reader.FrameCount(), wanted[i].frames) << wanted[i].path;
        tape.seekg(std::streamoff(expected[i].firstFrame) * kPalFrameBytes);
        std::vector<BYTE> frame;
        for (int n = 0; n < expected[i].frames; ++n) {
            ASSERT_TRUE(SUCCEEDED(reader.ReadFrame(std::uint64_t(n), frame)));
            ASSERT_TRUE(tape.read(original.data(), kPalFrameBytes));
            ASSERT_TRUE(frame.size() == std::size_t(kPalFrameBytes) &&
                        std::memcmp(frame.data(), original.data(), kPalFrameBytes) == 0)
                << "frame " << n << " of " << wanted[i].path << " is not tape frame " << expected[i].firstFrame + n;
        }
    }
}

// The files in folder, by name.
std::set<std::string> FolderNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::set<std::string> ListedNames(const std::vector<ListedFile>& files) {
    std::set<std::string> names;
    for (const ListedFile& file : files) names.insert(file.path.filename().string());
    return names;
}

// Polls until the condition holds or the time is up.
template <class Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// The modules registered once per process, the time zone fixed (the scene
// rule reads recording times as local time; the child inherits TZ) and one
// deck plugged in for the suite.
class CaptureEndToEnd : public testing::Test {
protected:
    static void SetUpTestSuite() {
        zone_ = std::make_unique<ScopedTimeZone>("UTC");
        static std::once_flag once;
        std::call_once(once, [] { registered_ = RegisterCaptureModules(); });
    }
    static void TearDownTestSuite() { zone_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(registered_) << "korvanta-regsvr could not register the modules";
        ASSERT_TRUE(fs::exists(kTape)) << kTape;
        deck_ = std::make_unique<DemoDeck>("Demo", Speed());
        ASSERT_TRUE(deck_->Added());
    }
    void TearDown() override { deck_.reset(); }

    virtual double Speed() const { return kFastSpeed; }

    std::unique_ptr<DemoDeck> deck_;
    TempDir folder_;

private:
    static inline bool registered_ = true;
    static inline std::unique_ptr<ScopedTimeZone> zone_;
};

// For every threshold, one capture of the whole tape from its first frame:
// the files, their names and frame counts as the scene table gives them, and
// the frames of all files together are the tape's, minus only the 25 frames
// that repeat a time code. The tape running out ends the capture normally.
class ThresholdCapture : public CaptureEndToEnd, public testing::WithParamInterface<ThresholdCase> {};

TEST_P(ThresholdCapture, WritesTheSceneTableFromTheTapesFrames) {
    const ThresholdCase& row = GetParam();
    const Capture capture = RunCapture(folder_.path(), {"--threshold", row.argument, "--type",
                                                        std::to_string(row.fileType), "--play"});
    ASSERT_EQ(capture.exitCode, 0) << capture.error;
    ExpectFiles(capture, folder_.path(), row.files);
    EXPECT_EQ(FolderNames(folder_.path()), ListedNames(capture.files));

    int written = 0;
    for (const ExpectedFile& file : row.files) written += file.frames;
    EXPECT_EQ(written, kPlayedFrames);
}

INSTANTIATE_TEST_SUITE_P(DemoTape, ThresholdCapture, testing::ValuesIn(ThresholdCases()),
                         [](const testing::TestParamInfo<ThresholdCase>& info) { return info.param.label; });

// A raw DV file on disk split by --input: for every threshold the very files
// a capture of the same tape from a deck gives (the scene table), as fast as
// they can be written, with the output lines and exit code of a capture. A
// file that is not DV is refused, and no deck of either run stays behind.
class InputFileCapture : public CaptureEndToEnd, public testing::WithParamInterface<ThresholdCase> {};

TEST_P(InputFileCapture, WritesTheSceneTableFromTheFilesFrames) {
    const ThresholdCase& row = GetParam();
    const TempDir work;
    CaptureRun child({(kBin / "korvanta-capture").string(), "--input", kTape.string(), "--folder",
                      folder_.path().string(), "--prefix", kPrefix, "--threshold", row.argument, "--type",
                      std::to_string(row.fileType)},
                     work.path(), work.path());
    Capture capture;
    capture.exitCode = child.Wait(kRunLimit);
    capture.error = child.Error();
    capture.files = ListedFiles(child.Output());
    ASSERT_EQ(capture.exitCode, 0) << capture.error;
    ExpectFiles(capture, folder_.path(), row.files);
    EXPECT_EQ(FolderNames(folder_.path()), ListedNames(capture.files));
    EXPECT_EQ(capture.error.find("dropped"), std::string::npos) << capture.error;

    const ChildResult refused = RunChild({(kBin / "korvanta-capture").string(), "--input", (kBin / "korvanta-capture").string(),
                                          "--folder", folder_.path().string()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("is not a raw DV file"), std::string::npos) << refused.output;
    const ChildResult decks = RunChild({(kBin / "korvanta-deck").string(), "list"});
    EXPECT_EQ(decks.output.find("korvanta-capture input"), std::string::npos) << decks.output;
}

INSTANTIATE_TEST_SUITE_P(DemoTape, InputFileCapture, testing::ValuesIn(ThresholdCases()),
                         [](const testing::TestParamInfo<ThresholdCase>& info) { return info.param.label; });

// ffprobe and mediainfo, written by others, read a file as a DV AVI of 75
// frames of 720x576 at 25 frames a second with 48 kHz 16-bit stereo sound.
void ExpectToolsReadScene(const fs::path& file) {
    SCOPED_TRACE(file.string());
    auto video = ProbeStream(file, "v:0");
    EXPECT_EQ(video["codec_name"], "dvvideo");
    EXPECT_EQ(video["nb_read_packets"], "75");
    EXPECT_EQ(video["width"], "720");
    EXPECT_EQ(video["height"], "576");
    EXPECT_EQ(video["r_frame_rate"], "25/1");
    auto audio = ProbeStream(file, "a:0");
    EXPECT_EQ(audio["codec_name"], "pcm_s16le");
    EXPECT_EQ(audio["sample_rate"], "48000");
    EXPECT_EQ(audio["channels"], "2");
    EXPECT_EQ(MediaInfo(file, "Video;%FrameCount% %Width%x%Height% %FrameRate%"), "75 720x576 25.000");
}

// Start on scene waits for the first jump of the recording time (scene 2);
// stop on defined scene ends before the first jump above the threshold of
// 1 hour (scene 5), the 16:9 scene 3 between them in a file of its own. The
// first run rewinds a tape already at its start. The second run into the same
// folder writes the same names again: the files get the writer's numbered
// names, the listing names them, and the first run's files stay as they were.
TEST_F(CaptureEndToEnd, StartOnSceneToStopOnDefinedSceneTwiceIntoOneFolder) {
    const std::vector<ExpectedFile> expected = {ScenesFile(2, 2), ScenesFile(3, 3), ScenesFile(4, 4)};
    const std::vector<std::string> options = {"--start", "scene", "--stop", "defined-scene", "--threshold", "3600",
                                              "--type", "1", "--play"};
    std::vector<std::string> rewound = options;
    rewound.push_back("--rewind");
    const Capture first = RunCapture(folder_.path(), rewound);
    ASSERT_EQ(first.exitCode, 0) << first.error;
    ExpectFiles(first, folder_.path(), expected);

    const Capture second = RunCapture(folder_.path(), options);
    ASSERT_EQ(second.exitCode, 0) << second.error;
    ExpectFiles(second, folder_.path(), expected, " (2)");
    ExpectFiles(first, folder_.path(), expected);

    std::set<std::string> both = ListedNames(first.files);
    both.merge(ListedNames(second.files));
    EXPECT_EQ(FolderNames(folder_.path()), both);

    ExpectToolsReadScene(first.files.front().path);
    EXPECT_EQ(MediaInfo(first.files.front().path, "Audio;%SamplingRate% %Channels%"), "48000 2");
}

// Start on defined scene with a threshold of 1 second begins at scene 2 (2 s
// after scene 1); stop on scene ends before scene 4, the next jump, keeping
// the 16:9 scene 3 (no jump before it) in a file of its own. Type 2 files
// carry the sound as a PCM stream of their own.
TEST_F(CaptureEndToEnd, StartOnDefinedSceneToStopOnScene) {
    const Capture capture = RunCapture(folder_.path(), {"--start", "defined-scene", "--threshold", "1", "--stop",
                                                        "scene", "--type", "2", "--play"});
    ASSERT_EQ(capture.exitCode, 0) << capture.error;
    ExpectFiles(capture, folder_.path(), {ScenesFile(2, 2), ScenesFile(3, 3)});

    const fs::path file = capture.files.front().path;
    ExpectToolsReadScene(file);
    EXPECT_EQ(ProbeStream(file, "a:0")["bits_per_sample"], "16");
    EXPECT_EQ(MediaInfo(file, "Audio;%Format% %SamplingRate% %Channels% %BitDepth%"), "PCM 48000 2 16");
    AviReader reader;
    ASSERT_TRUE(SUCCEEDED(reader.Open(file)));
    EXPECT_EQ(reader.Type(), DvAviType::Type2);
    ASSERT_TRUE(reader.Audio().has_value());
    EXPECT_EQ(reader.Audio()->nSamplesPerSec, 48000u);
    EXPECT_EQ(reader.Audio()->nChannels, 2);
    EXPECT_EQ(reader.Audio()->wBitsPerSample, 16);
}

// A capture killed at a random moment (SIGKILL: no chance to close its file),
// then korvanta-capture --repair on what it left: every file holds exactly
// the whole frames written, byte for byte the tape's, and ffprobe and
// mediainfo count them from the headers and indexes of the repaired files.
TEST_F(CaptureEndToEnd, KilledCaptureIsRepairedToItsWholeFrames) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const std::vector<ExpectedFile> scenes = {ScenesFile(1, 2), ScenesFile(3, 3), ScenesFile(4, 10)};
    for (const int type : {1, 2}) {
        SCOPED_TRACE(type);
        const fs::path folder = folder_ / std::to_string(type);
        fs::create_directories(folder);
        const std::size_t killedIn = std::uniform_int_distribution<std::size_t>(0, scenes.size() - 1)(random);
        const std::uintmax_t killedAt = std::uniform_int_distribution<std::uintmax_t>(
            300000, std::uintmax_t(scenes[killedIn].frames - 2) * kPalFrameBytes)(random);
        const fs::path killedFile = folder / (std::string(kPrefix) + " " + scenes[killedIn].date + ".avi");
        {
            const TempDir work;
            CaptureRun child(CaptureCommand(folder, {"--threshold", "none", "--type", std::to_string(type), "--play"}),
                             work.path(), work.path());
            ASSERT_TRUE(Eventually(
                [&] {
                    std::error_code absent;
                    const std::uintmax_t size = fs::file_size(killedFile, absent);
                    return (!absent && size >= killedAt) || !child.Running();
                },
                kRunLimit));
            child.Signal(SIGKILL);
            ASSERT_EQ(child.Wait(kRunLimit), -SIGKILL) << child.Error();
        }

        std::vector<std::string> repair = {(kBin / "korvanta-capture").string(), "--repair"};
        std::vector<ExpectedFile> expected(scenes.begin(), scenes.begin() + std::ptrdiff_t(killedIn) + 1);
        for (const ExpectedFile& file : expected)
            repair.push_back((folder / (std::string(kPrefix) + " " + file.date + ".avi")).string());
        const ChildResult repaired = RunChild(repair);
        ASSERT_EQ(repaired.exitCode, 0) << repaired.output;
        EXPECT_EQ(FolderNames(folder).size(), expected.size());

        // The files before the killed one were closed; the killed one says how many whole frames it kept.
        static const std::regex line(R"((repaired|whole): (.*) frames: (\d+)\n)");
        Capture capture{0, "", {}};
        for (auto it = std::sregex_iterator(repaired.output.begin(), repaired.output.end(), line);
             it != std::sregex_iterator(); ++it) {
            EXPECT_EQ((*it)[1] == "repaired", capture.files.size() == killedIn) << (*it)[0];
            capture.files.push_back({(*it)[2].str(), std::stoull((*it)[3])});
        }
        ASSERT_EQ(capture.files.size(), expected.size()) << repaired.output;
        const std::uint64_t kept = capture.files.back().frames;
        EXPECT_GE(kept * 152000 + 300000, killedAt);  // a frame and its sound take less than 152000 bytes
        expected.back().frames = static_cast<int>(kept);
        ExpectFiles(capture, folder, expected);
        for (const ListedFile& file : capture.files) {
            EXPECT_EQ(ProbeStream(file.path, "v:0")["nb_read_packets"], std::to_string(file.frames));
            EXPECT_EQ(MediaInfo(file.path, "Video;%FrameCount%"), std::to_string(file.frames));
        }
    }
}

// Buttons pressed on the deck itself during a capture.
class DeckButtonCapture : public CaptureEndToEnd {
protected:
    double Speed() const override { return kButtonSpeed; }

    int Press(const std::string& button) {
        return RunChild({(kBin / "korvanta-deck").string(), "press", deck_->Name(), button}).exitCode;
    }
    bool Playing() {
        const ChildResult status = RunChild({(kBin / "korvanta-deck").string(), "status", deck_->Name()});
        return status.exitCode == 0 && status.output.starts_with("play");
    }
};

// Pause and play on the deck are followed without a frame lost or doubled;
// stop on the deck ends the capture with every frame so far in readable
// files, the tape's frames from its start in order.
TEST_F(DeckButtonCapture, PauseAndStopOnTheDeckAreFollowed) {
    const TempDir work;
    CaptureRun child(CaptureCommand(folder_.path(), {"--threshold", "1", "--type", "2", "--play"}), work.path(),
                     work.path());
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(Eventually([&] { return Playing() || !child.Running(); }, 30s));
    std::this_thread::sleep_for(1s);
    ASSERT_EQ(Press("pause"), 0);
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(Press("play"), 0);
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(Press("stop"), 0);
    const std::optional<int> exitCode = child.Wait(kRunLimit);
    ASSERT_EQ(exitCode, 0) << child.Error();

    const std::vector<ListedFile> files = ListedFiles(child.Output());
    ASSERT_FALSE(files.empty()) << child.Error();
    ASSERT_LT(files.size(), DemoScenes().size()) << child.Error();
    EXPECT_EQ(FolderNames(folder_.path()), ListedNames(files));
    std::vector<ExpectedFile> expected;
    int next = 0;
    for (const ListedFile& file : files) {
        expected.push_back({"", next, static_cast<int>(file.frames)});
        next += static_cast<int>(file.frames);
    }
    // About 2 s of play at twice real time, and far from the tape's end.
    EXPECT_GT(next, 25);
    EXPECT_LT(next, 400);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& scene = DemoScenes()[i];
        expected[i].date = scene.date;
        EXPECT_EQ(expected[i].firstFrame, scene.firstFrame) << files[i];
    }
    Capture capture{exitCode, child.Error(), files};
    ExpectFiles(capture, folder_.path(), expected);
}

}  // namespace
}  // namespace kvtest
