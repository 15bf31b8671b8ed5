// The AVI reader on files of ours and of ffmpeg, on files cut off by a crash,
// and on input that is no DV AVI at all.
#include "platform/media/filters/avi/avi_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <random>

#include "media_tools.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "support/temp_dir.h"

namespace {

class AviReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        clip_ = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = 20});
        frames_ = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip_), 144000);
        for (const auto& frame : frames_) {
            std::vector<BYTE> pcm;
            ExtractDvAudio(frame, pcm, nullptr);
            pcm_.push_back(std::move(pcm));
        }
    }

    std::filesystem::path WriteOurs(const std::string& name, DvAviType type, std::uint64_t limit, std::size_t count) {
        const auto path = dir_ / name;
        DvAviFormat format;
        format.type = type;
        if (type == DvAviType::Type2) format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
        AviWriter writer(limit);
        EXPECT_EQ(writer.Open(UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)), format), S_OK);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(writer.WriteFrame(frames_[i], type == DvAviType::Type2 ? pcm_[i] : std::vector<BYTE>{}), S_OK);
        EXPECT_EQ(writer.Close(), S_OK);
        return path;
    }

    // Every frame (and its audio) equals the clip's.
    void ExpectClipFrames(const AviReader& reader, std::size_t count, bool withAudio) {
        ASSERT_EQ(reader.FrameCount(), count);
        std::vector<BYTE> frame, pcm;
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_EQ(reader.ReadFrame(i, frame, &pcm), S_OK);
            ASSERT_EQ(frame, frames_[i]) << i;
            if (withAudio) {
                ASSERT_EQ(pcm, pcm_[i]) << i;
            }
        }
        EXPECT_EQ(reader.ReadFrame(count, frame), E_INVALIDARG);
    }

    kvtest::TempDir dir_;
    std::filesystem::path clip_;
    std::vector<std::vector<BYTE>> frames_;
    std::vector<std::vector<BYTE>> pcm_;
};

TEST_F(AviReaderTest, ReadsOurFilesOfBothTypesAcrossRiffs) {
    AviReader reader;
    ASSERT_EQ(reader.Open(WriteOurs("type2.avi", DvAviType::Type2, 1 << 20, 20)), S_OK);
    EXPECT_EQ(reader.Type(), DvAviType::Type2);
    EXPECT_TRUE(reader.System().pal);
    ASSERT_TRUE(reader.Audio());
    EXPECT_EQ(reader.Audio()->nSamplesPerSec, 48000u);
    ExpectClipFrames(reader, 20, true);

    ASSERT_EQ(reader.Open(WriteOurs("type1.avi", DvAviType::Type1, avi::kOpenDmlRiffLimit, 20)), S_OK);
    EXPECT_EQ(reader.Type(), DvAviType::Type1);
    EXPECT_FALSE(reader.Audio());
    ExpectClipFrames(reader, 20, false);
}

TEST_F(AviReaderTest, ReadsWhatFfmpegWrote) {
    const auto path = dir_ / "ffmpeg.avi";
    ASSERT_EQ(kvtest::RunCommand("ffmpeg -nostdin -v error -y -i '" + clip_.string() + "' -c copy '" + path.string() + "'")
                  .exitCode,
              0);
    AviReader reader;
    ASSERT_EQ(reader.Open(path), S_OK);
    EXPECT_EQ(reader.Type(), DvAviType::Type2);
    ASSERT_EQ(reader.FrameCount(), 20u);
    std::vector<BYTE> frame, pcm, allPcm;
    for (std::size_t i = 0; i < 20; ++i) {
        ASSERT_EQ(reader.ReadFrame(i, frame, &pcm), S_OK);
        EXPECT_EQ(frame, frames_[i]);
        allPcm.insert(allPcm.end(), pcm.begin(), pcm.end());
    }
    EXPECT_EQ(allPcm, kvtest::FfmpegPcm(clip_));
}

// A capture cut off by a crash, anywhere: in the middle of a frame, of the
// index, or of a later RIFF; every whole frame before the cut plays.
TEST_F(AviReaderTest, TruncatedFilesPlayUpToTheirLastWholeFrame) {
    const auto whole = WriteOurs("whole.avi", DvAviType::Type2, 1 << 20, 20);
    const auto bytes = kvtest::ReadFileBytes(whole);
    AviReader full;
    ASSERT_EQ(full.Open(whole), S_OK);
    for (const std::size_t cut : {std::size_t(20000), std::size_t(700000), std::size_t(1100000), bytes.size() - 100}) {
        SCOPED_TRACE(cut);
        const auto path = dir_ / "cut.avi";
        kvtest::WriteFileBytes(path, std::vector<BYTE>(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)));
        AviReader reader;
        ASSERT_EQ(reader.Open(path), S_OK);
        // Each frame with its audio takes 151,696 bytes; the headers about 8 KB.
        EXPECT_LE(reader.FrameCount(), cut / 151000);
        EXPECT_GE(reader.FrameCount() + 2, cut / 151696);
        ExpectClipFrames(reader, reader.FrameCount(), true);
    }
}

TEST_F(AviReaderTest, InputThatIsNoDvAviGetsAClearError) {
    AviReader reader;
    kvtest::WriteFileBytes(dir_ / "empty.avi", {});
    EXPECT_EQ(reader.Open(dir_ / "empty.avi"), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(reader.Open(dir_ / "missing.avi"), HRESULT_FROM_WIN32(2));
    std::vector<BYTE> garbage(5000);
    std::mt19937 noise(7);
    for (BYTE& b : garbage) b = BYTE(noise());
    kvtest::WriteFileBytes(dir_ / "garbage.avi", garbage);
    EXPECT_EQ(reader.Open(dir_ / "garbage.avi"), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_EQ(reader.Open(clip_), VFW_E_INVALID_FILE_FORMAT);  // raw DV, no RIFF

    const auto wave = dir_ / "sound.wav";
    const auto mjpeg = dir_ / "mjpeg.avi";
    ASSERT_EQ(kvtest::RunCommand("ffmpeg -nostdin -v error -y -i '" + clip_.string() + "' '" + wave.string() + "'")
                  .exitCode,
              0);
    ASSERT_EQ(kvtest::RunCommand("ffmpeg -nostdin -v error -y -i '" + clip_.string() + "' -c:v mjpeg -an '" +
                                 mjpeg.string() + "'")
                  .exitCode,
              0);
    EXPECT_EQ(reader.Open(wave), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_EQ(reader.Open(mjpeg), VFW_E_UNSUPPORTED_STREAM);
}

// Random damage to the headers and indexes of a small file: whatever the
// reader answers, it answers without a crash, a hang or a read past the file.
TEST_F(AviReaderTest, DamagedFilesNeverCrashTheReader) {
    const auto bytes = kvtest::ReadFileBytes(WriteOurs("small.avi", DvAviType::Type2, 400000, 5));
    std::mt19937 noise(1394);
    std::vector<BYTE> frame, pcm;
    for (int round = 0; round < 300; ++round) {
        std::vector<BYTE> damaged = bytes;
        for (int hit = 0; hit < 8; ++hit) {
            // Mostly the headers, sometimes anywhere (the chunk headers of the data and the indexes).
            const std::size_t at = noise() % 4 == 0 ? noise() % damaged.size() : noise() % 9000;
            damaged[at] = BYTE(noise());
        }
        const int memory = ::memfd_create("damaged.avi", MFD_CLOEXEC);
        ASSERT_GE(memory, 0);
        ASSERT_EQ(::write(memory, damaged.data(), damaged.size()), ssize_t(damaged.size()));
        AviReader reader;
        if (reader.Open(UniqueFd(memory)) != S_OK) continue;
        for (std::uint64_t i = 0; i < reader.FrameCount(); ++i) reader.ReadFrame(i, frame, &pcm);
    }
}

}  // namespace
