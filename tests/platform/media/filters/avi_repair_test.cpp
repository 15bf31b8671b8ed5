// Files the AVI writer never closed, repaired: a writer killed at random
// moments (types 1 and 2, across RIFF boundaries), then the repair, must give
// the very bytes a writer closed after the same frames gives; files that need
// no repair, or are not ours, stay as they are.
#include "platform/media/filters/avi/avi_repair.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <csignal>
#include <random>
#include <thread>

#include "media_tools.h"
#include "platform/media/filters/avi/avi_writer.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint64_t kRiffLimit = 1 << 20;  // six frames a RIFF: a short file crosses many
constexpr std::size_t kFramesWritten = 40;

struct Clip {
    std::vector<std::vector<BYTE>> frames;
    std::vector<std::vector<BYTE>> pcm;
};

DvAviFormat FormatOf(int type) {
    DvAviFormat format;
    format.type = type == 1 ? DvAviType::Type1 : DvAviType::Type2;
    if (type == 2) format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 48000 * 4, 4, 16, 0};
    else format.dvInfo.dwDVAAuxSrc = 0xC0C8D6D0;
    return format;
}

UniqueFd CreateFile(const fs::path& path) {
    return UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

// Writes frames of the clip in turn, with their sound in type 2; closes after `count` unless told to stop short.
void WriteFrames(AviWriter& writer, const Clip& clip, std::size_t count, int type) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = i % clip.frames.size();
        ASSERT_EQ(writer.WriteFrame(clip.frames[n], type == 2 ? clip.pcm[n] : std::vector<BYTE>{}), S_OK);
    }
}

// The total frame count the file's OpenDML header gives.
DWORD HeaderFrameCount(const std::vector<BYTE>& file) {
    const std::string dmlh = "dmlh";
    const auto at = std::search(file.begin(), file.end(), dmlh.begin(), dmlh.end());
    if (at == file.end() || file.end() - at < 12) return 0;
    const BYTE* p = &*at + 8;
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

class AviRepairTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        clips_ = new kvtest::TempDir;
        clip_ = new Clip;
        const auto raw = kvtest::ReadFileBytes(kvtest::MakeDvClip(clips_->path(), {.pal = true, .frames = 25}));
        clip_->frames = kvtest::SplitDvFrames(raw, kDvSystem625.frameBytes);
        for (const auto& frame : clip_->frames) {
            std::vector<BYTE> pcm;
            EXPECT_EQ(ExtractDvAudio(frame, pcm, nullptr), S_OK);
            clip_->pcm.push_back(std::move(pcm));
        }
    }
    static void TearDownTestSuite() {
        delete clip_;
        delete clips_;
    }

    // The file a writer closed after the first `count` frames.
    fs::path WriteClosedFile(std::size_t count, int type, std::uint64_t limit = kRiffLimit) {
        const fs::path path = out_ / "closed.avi";
        AviWriter writer(limit);
        EXPECT_EQ(writer.Open(CreateFile(path), FormatOf(type)), S_OK);
        WriteFrames(writer, *clip_, count, type);
        EXPECT_EQ(writer.Close(), S_OK);
        return path;
    }
    std::vector<BYTE> ClosedFile(std::size_t count, int type) {
        return kvtest::ReadFileBytes(WriteClosedFile(count, type));
    }

    // Starts a writer of `frames` frames in a child process (waiting `pace`
    // after each) that never closes its file, and kills it once the file has
    // grown to `target` bytes.
    bool KillWriterPast(const fs::path& path, int type, std::uint64_t limit, std::size_t frames,
                        std::uint64_t target, std::chrono::microseconds pace) {
        fs::remove(path);
        const pid_t child = ::fork();
        if (child < 0) return false;
        if (child == 0) {
            AviWriter writer(limit);
            if (writer.Open(CreateFile(path), FormatOf(type)) != S_OK) ::_exit(1);
            for (std::size_t i = 0; i < frames; ++i) {
                const std::size_t n = i % clip_->frames.size();
                if (writer.WriteFrame(clip_->frames[n], type == 2 ? clip_->pcm[n] : std::vector<BYTE>{}) != S_OK)
                    ::_exit(1);
                std::this_thread::sleep_for(pace);
            }
            for (;;) ::pause();  // never closes: the kill comes first
        }
        const auto deadline = std::chrono::steady_clock::now() + 120s;
        const auto size = [&] {
            std::error_code absent;
            const std::uintmax_t bytes = fs::file_size(path, absent);
            return absent ? 0 : bytes;
        };
        while (size() < target && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(200us);
        ::kill(child, SIGKILL);
        int status = 0;
        return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
    }

    kvtest::TempDir out_;
    static inline kvtest::TempDir* clips_ = nullptr;
    static inline Clip* clip_ = nullptr;
};

// A writer in a child process, paced like a capture, killed once its file has
// grown past a random size: in the middle of a frame, of an index, of a new
// RIFF, or after its last frame; and a copy of what it left, cut at a random byte.
TEST_F(AviRepairTest, KilledWriterRepairsToTheFileAClosedWriterGives) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    for (const int type : {1, 2}) {
        for (int round = 0; round < 4; ++round) {
            SCOPED_TRACE(testing::Message() << "type " << type << " round " << round);
            const fs::path path = out_ / "killed.avi";
            const std::uint64_t target =
                std::uniform_int_distribution<std::uint64_t>(200000, kFramesWritten * 151000)(random);
            ASSERT_TRUE(KillWriterPast(path, type, kRiffLimit, kFramesWritten, target, 1ms));

            const DWORD headerCount = HeaderFrameCount(kvtest::ReadFileBytes(path));
            // The same file cut short at any byte, as a write cut off half way leaves it.
            std::vector<BYTE> cut = kvtest::ReadFileBytes(path);
            cut.resize(std::uniform_int_distribution<std::size_t>(200000, cut.size())(random));
            kvtest::WriteFileBytes(out_ / "cut.avi", cut);
            const AviRepairResult result = RepairAviFile(path, kRiffLimit);
            ASSERT_EQ(result.outcome, AviRepairOutcome::Repaired) << result.error;
            // The headers were at most a second of frames behind.
            EXPECT_LE(headerCount, result.frames);
            EXPECT_LE(result.frames, headerCount + 25);
            const std::vector<BYTE> repaired = kvtest::ReadFileBytes(path);
            ASSERT_TRUE(repaired == ClosedFile(result.frames, type)) << result.frames << " frames";
            EXPECT_EQ(kvtest::ProbeStream(path, "v:0")["nb_read_packets"], std::to_string(result.frames));
            EXPECT_EQ(RepairAviFile(path, kRiffLimit).outcome, AviRepairOutcome::AlreadyWhole);

            const AviRepairResult cutResult = RepairAviFile(out_ / "cut.avi", kRiffLimit);
            ASSERT_NE(cutResult.outcome, AviRepairOutcome::NotOurs);
            if (cutResult.outcome != AviRepairOutcome::NoWholeFrame) {
                EXPECT_TRUE(kvtest::ReadFileBytes(out_ / "cut.avi") == ClosedFile(cutResult.frames, type));
            }
        }
    }
}

// Killed past the first RIFF's 1 GiB, at the real limit: takes a minute and
// 2.5 GB of disk, so it runs only when KORVANTA_LONG_TESTS is set.
TEST_F(AviRepairTest, KilledPastTheFirstGigabyteRepairsToTheFileAClosedWriterGives) {
    if (!std::getenv("KORVANTA_LONG_TESTS")) GTEST_SKIP() << "set KORVANTA_LONG_TESTS to write 2.5 GB";
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    for (const int type : {1, 2}) {
        SCOPED_TRACE(type);
        const fs::path path = out_ / "killed.avi";
        const std::uint64_t target = std::uniform_int_distribution<std::uint64_t>(1080000000, 1200000000)(random);
        ASSERT_TRUE(KillWriterPast(path, type, avi::kOpenDmlRiffLimit, 8400, target, 0us));
        const AviRepairResult result = RepairAviFile(path);
        ASSERT_EQ(result.outcome, AviRepairOutcome::Repaired) << result.error;
        const fs::path closed = WriteClosedFile(result.frames, type, avi::kOpenDmlRiffLimit);
        EXPECT_EQ(kvtest::RunCommand("cmp -s '" + path.string() + "' '" + closed.string() + "'").exitCode, 0);
        EXPECT_EQ(kvtest::ProbeStream(path, "v:0")["nb_read_packets"], std::to_string(result.frames));
        EXPECT_EQ(kvtest::MediaInfo(path, "Video;%FrameCount%"), std::to_string(result.frames));
        fs::remove(closed);
    }
}

// A whole file, a file not written by us, a file that is not an AVI, and one of
// ours whose fixed header fields were changed: all are left byte for byte and
// time for time as they were. A check of an unfinished file changes nothing either.
TEST_F(AviRepairTest, LeavesWholeAndForeignFilesAsTheyAre) {
    const fs::path whole = out_ / "whole.avi";
    kvtest::WriteFileBytes(whole, ClosedFile(20, 2));
    const fs::path raw = clips_->path() / "raw.dv";
    fs::copy_file(kvtest::MakeDvClip(clips_->path(), {.pal = true, .frames = 25}), raw,
                  fs::copy_options::overwrite_existing);
    const fs::path foreign = out_ / "foreign.avi";
    ASSERT_EQ(kvtest::RunCommand("ffmpeg -v error -y -i '" + raw.string() + "' -c copy '" + foreign.string() + "'")
                  .exitCode,
              0);
    std::vector<BYTE> altered = ClosedFile(8, 1);
    const std::string avih = "avih";
    const auto at = std::search(altered.begin(), altered.end(), avih.begin(), avih.end());
    ASSERT_NE(at, altered.end());
    at[8 + 32] ^= 1;  // dwWidth
    const fs::path changed = out_ / "changed.avi";
    kvtest::WriteFileBytes(changed, altered);

    const fs::path unfinished = out_ / "unfinished.avi";
    {
        AviWriter writer(kRiffLimit);
        ASSERT_EQ(writer.Open(CreateFile(out_ / "open.avi"), FormatOf(2)), S_OK);
        WriteFrames(writer, *clip_, 9, 2);
        fs::copy_file(out_ / "open.avi", unfinished);
    }

    struct Case {
        fs::path path;
        AviRepairOutcome outcome;
        AviRepairOutcome checked;
    };
    for (const Case& item : {Case{whole, AviRepairOutcome::AlreadyWhole, AviRepairOutcome::AlreadyWhole},
                             Case{foreign, AviRepairOutcome::NotOurs, AviRepairOutcome::NotOurs},
                             Case{raw, AviRepairOutcome::NotOurs, AviRepairOutcome::NotOurs},
                             Case{changed, AviRepairOutcome::NotOurs, AviRepairOutcome::NotOurs},
                             Case{unfinished, AviRepairOutcome::Repaired, AviRepairOutcome::Repaired}}) {
        SCOPED_TRACE(item.path.filename().string());
        const std::vector<BYTE> before = kvtest::ReadFileBytes(item.path);
        const auto time = fs::last_write_time(item.path);
        EXPECT_EQ(CheckAviFile(item.path, kRiffLimit).outcome, item.checked);
        EXPECT_TRUE(kvtest::ReadFileBytes(item.path) == before);
        if (item.outcome == AviRepairOutcome::Repaired) continue;
        EXPECT_EQ(RepairAviFile(item.path, kRiffLimit).outcome, item.outcome);
        EXPECT_TRUE(kvtest::ReadFileBytes(item.path) == before);
        EXPECT_EQ(fs::last_write_time(item.path), time);
    }
    EXPECT_EQ(RepairAviFile(out_ / "missing.avi").outcome, AviRepairOutcome::Failed);
}

}  // namespace
