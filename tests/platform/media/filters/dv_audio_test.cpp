// DV audio de-shuffling, sample for sample against what ffmpeg extracts from
// the same frames: clips of ffmpeg's DV encoder, and frames rewritten to
// carry 12-bit non-linear audio, which that encoder does not write.
#include "platform/media/filters/dv/dv_audio.h"

#include <gtest/gtest.h>

#include <random>

#include "media_tools.h"
#include "platform/media/filters/dv/dv_system.h"
#include "support/temp_dir.h"

namespace {

struct ClipAudio {
    std::vector<BYTE> pcm;
    std::vector<DvAudioFormat> formats;  // one per frame
};

ClipAudio ExtractClip(const std::vector<std::vector<BYTE>>& frames) {
    ClipAudio audio;
    for (const auto& frame : frames) {
        DvAudioFormat format;
        EXPECT_EQ(ExtractDvAudio(frame, audio.pcm, &format), S_OK);
        audio.formats.push_back(format);
    }
    return audio;
}

std::vector<BYTE> Join(const std::vector<std::vector<BYTE>>& frames) {
    std::vector<BYTE> all;
    for (const auto& frame : frames) all.insert(all.end(), frame.begin(), frame.end());
    return all;
}

// The audio DIF blocks of the frame's first half (first channel pair), by byte range.
template <typename Visit>
void ForEachFirstHalfAudioBlock(std::vector<BYTE>& frame, const DvSystem& system, Visit visit) {
    for (int sequence = 0; sequence < system.difSequences / 2; ++sequence)
        for (int n = 0; n < 9; ++n) visit(&frame[sequence * kDifSequenceBytes + (6 + 16 * n) * kDifBlockBytes]);
}

class DvAudioTest : public ::testing::Test {
protected:
    kvtest::TempDir dir_;
};

TEST_F(DvAudioTest, SixteenBitAudioEqualsFfmpegSampleForSample) {
    struct Case {
        bool pal;
        int rate;
        DWORD samplesFirstFrame;
    };
    for (const Case& c : {Case{true, 48000, 1920}, Case{true, 44100, 1764}, Case{true, 32000, 1280},
                          Case{false, 48000, 1600}}) {
        SCOPED_TRACE(std::to_string(c.rate) + (c.pal ? " 625/50" : " 525/60"));
        const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = c.pal, .sampleRate = c.rate, .frames = 15});
        const auto frames = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), DvSystemFor(c.pal).frameBytes);
        const ClipAudio audio = ExtractClip(frames);
        EXPECT_EQ(audio.pcm, kvtest::FfmpegPcm(clip));
        EXPECT_EQ(audio.formats[0].samplesPerSecond, DWORD(c.rate));
        EXPECT_EQ(audio.formats[0].sourceBits, 16);
        EXPECT_EQ(audio.formats[0].samples, c.samplesFirstFrame);
    }
}

TEST_F(DvAudioTest, SampleCountFollowsTheSourcePackFrameByFrame) {
    // 48 kHz at 29.97 frames per second: 1600 and 1602 samples in a five-frame pattern.
    const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = false, .sampleRate = 48000, .frames = 15});
    const ClipAudio audio = ExtractClip(kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 120000));
    DWORD total = 0;
    for (const DvAudioFormat& format : audio.formats) {
        EXPECT_TRUE(format.samples == 1600 || format.samples == 1602) << format.samples;
        total += format.samples;
    }
    EXPECT_EQ(total, 1600u * 3 + 1602u * 12);
    EXPECT_EQ(audio.pcm.size(), total * 4u);
}

TEST_F(DvAudioTest, GarbledSamplesDecodeAsFfmpegDecodesThem) {
    // Every audio byte replaced by noise, in both quantisations, and the first
    // slot of every block set to the invalid-sample code.
    std::mt19937 noise(61834);
    for (const int bits : {16, 12}) {
        SCOPED_TRACE(bits);
        const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 32000, .frames = 8});
        auto frames = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 144000);
        for (auto& frame : frames) {
            for (int sequence = 0; sequence < 12; ++sequence) {
                for (int n = 0; n < 9; ++n) {
                    BYTE* block = &frame[sequence * kDifSequenceBytes + (6 + 16 * n) * kDifBlockBytes];
                    // PC4 of the source pack: quantisation 1 is 12-bit non-linear.
                    if (block[3] == 0x50 && bits == 12) block[7] = BYTE((block[7] & 0xF8) | 1);
                    for (int i = 8; i < 80; ++i) block[i] = BYTE(noise());
                    block[8] = 0x80;  // 16-bit: 8000h; 12-bit: 800h in both channels of the group
                    block[9] = bits == 16 ? 0x00 : 0x80;
                    block[10] = bits == 16 ? block[10] : 0x00;
                }
            }
        }
        const auto garbled = dir_ / ("garbled" + std::to_string(bits) + ".dv");
        kvtest::WriteFileBytes(garbled, Join(frames));
        const ClipAudio audio = ExtractClip(frames);
        EXPECT_EQ(audio.formats[0].sourceBits, bits);
        EXPECT_EQ(audio.formats[0].samples, 1280u);
        EXPECT_EQ(audio.pcm, kvtest::FfmpegPcm(garbled));
    }
}

TEST_F(DvAudioTest, TwelveBitCodesExpandAlongTheNonLinearCurve) {
    EXPECT_EQ(ExpandDv12BitSample(0x000), 0);
    EXPECT_EQ(ExpandDv12BitSample(0x1FF), 511);    // end of the linear segments
    EXPECT_EQ(ExpandDv12BitSample(0x200), 512);    // first doubled step
    EXPECT_EQ(ExpandDv12BitSample(0x7FF), 32704);  // top of the scale, steps of 64
    EXPECT_EQ(ExpandDv12BitSample(0xE00), -512);
    EXPECT_EQ(ExpandDv12BitSample(0xFFF), -1);
    EXPECT_EQ(ExpandDv12BitSample(0x801), -32705 + 64);
    // Rising all the way, each step twice the one of the segment nearer zero.
    for (int code = -2047; code < 2047; ++code) {
        const int here = ExpandDv12BitSample(WORD(code & 0xFFF));
        const int next = ExpandDv12BitSample(WORD((code + 1) & 0xFFF));
        ASSERT_GT(next, here) << code;
    }
}

TEST_F(DvAudioTest, FramesWithoutPlayableAudioGiveNone) {
    const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = 8});
    auto frame = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 144000).front();
    std::vector<BYTE> pcm;

    EXPECT_EQ(ExtractDvAudio(std::span(frame).first(100000), pcm, nullptr), E_INVALIDARG);  // cut short
    EXPECT_EQ(ExtractDvAudio({}, pcm, nullptr), E_INVALIDARG);

    auto unknownRate = frame;
    ForEachFirstHalfAudioBlock(unknownRate, kDvSystem625, [](BYTE* block) {
        if (block[3] == 0x50) block[7] |= 0x38;  // SMP 7: not a rate of the standard
    });
    EXPECT_EQ(ExtractDvAudio(unknownRate, pcm, nullptr), S_FALSE);

    // 1920 samples announced in 12-bit groups, which have room for 1296 in a 625/50 frame.
    auto tooMany = frame;
    ForEachFirstHalfAudioBlock(tooMany, kDvSystem625, [](BYTE* block) {
        if (block[3] == 0x50) block[7] = BYTE((block[7] & 0xF8) | 1);
    });
    EXPECT_EQ(ExtractDvAudio(tooMany, pcm, nullptr), S_FALSE);

    auto silent = frame;
    ForEachFirstHalfAudioBlock(silent, kDvSystem625, [](BYTE* block) { std::fill(block + 3, block + 8, 0xFF); });
    EXPECT_EQ(ExtractDvAudio(silent, pcm, nullptr), S_FALSE);
    EXPECT_TRUE(pcm.empty());
}

}  // namespace
