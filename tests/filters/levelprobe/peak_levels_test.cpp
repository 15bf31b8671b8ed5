#include "filters/levelprobe/peak_levels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr PcmLayout kMono8{1, 1};
constexpr PcmLayout kStereo8{1, 2};
constexpr PcmLayout kMono16{2, 1};
constexpr PcmLayout kStereo16{2, 2};

std::vector<BYTE> Pcm16(const std::vector<std::int16_t>& samples) {
    std::vector<BYTE> bytes;
    for (const std::int16_t sample : samples) {
        bytes.push_back(static_cast<BYTE>(sample & 0xFF));
        bytes.push_back(static_cast<BYTE>((sample >> 8) & 0xFF));
    }
    return bytes;
}

PeakLevels Measure(const std::vector<BYTE>& data, PcmLayout layout) {
    return MeasurePeakLevels(data.data(), static_cast<LONG>(data.size()), layout);
}

}  // namespace

TEST(PeakLevels, FullScaleReadsAsOne) {
    std::vector<std::int16_t> square;
    for (int frame = 0; frame < 64; ++frame) {
        square.push_back(frame % 2 ? 32767 : -32768);
        square.push_back(frame % 2 ? -32768 : 32767);
    }
    const PeakLevels loud16 = Measure(Pcm16(square), kStereo16);
    EXPECT_EQ(loud16.first, 1.0);
    EXPECT_EQ(loud16.second, 32767.0 / 32768.0);

    const PeakLevels loud8 = Measure(std::vector<BYTE>(64, 0), kStereo8);
    EXPECT_EQ(loud8.first, 1.0);
    EXPECT_EQ(loud8.second, 1.0);
    EXPECT_EQ(Measure(std::vector<BYTE>(64, 255), kMono8).first, 127.0 / 128.0);
    EXPECT_EQ(Measure(std::vector<BYTE>(64, 128), kMono8).first, 0.0);
}

TEST(PeakLevels, MonoReportsItsChannelTwice) {
    const PeakLevels levels = Measure(Pcm16(std::vector<std::int16_t>(32, -16384)), kMono16);
    EXPECT_EQ(levels.first, 0.5);
    EXPECT_EQ(levels.second, 0.5);
}

TEST(PeakLevels, OnlyEverySixteenthFrameIsExamined) {
    // Loud everywhere except on frames 0, 16, 32 and 48: reads as silence.
    std::vector<std::int16_t> blind(64 * 2, 30000);
    for (int frame = 0; frame < 64; frame += 16) blind[frame * 2] = blind[frame * 2 + 1] = 0;
    const PeakLevels silent = Measure(Pcm16(blind), kStereo16);
    EXPECT_EQ(silent.first, 0.0);
    EXPECT_EQ(silent.second, 0.0);

    // The channels are told apart: frame 32 is loud on the second channel only.
    std::vector<std::int16_t> right(64 * 2, 0);
    right[32 * 2 + 1] = -8192;
    const PeakLevels levels = Measure(Pcm16(right), kStereo16);
    EXPECT_EQ(levels.first, 0.0);
    EXPECT_EQ(levels.second, 0.25);
}

TEST(PeakLevels, ReadsNothingPastTheData) {
    // Each buffer is exactly as long as its data, so the sanitizer sees any read beyond it.
    EXPECT_EQ(Measure(std::vector<BYTE>(3, 0), kStereo16).first, 0.0);
    EXPECT_EQ(Measure(std::vector<BYTE>(1, 0), kMono16).first, 0.0);
    EXPECT_EQ(Measure(std::vector<BYTE>(1, 0), kStereo8).second, 0.0);
    // A whole frame at the last stride is examined, a partial one after it is not.
    std::vector<BYTE> tail = Pcm16(std::vector<std::int16_t>(16 * 2 + 1, 0));
    tail[16 * 4] = 0x00;
    tail[16 * 4 + 1] = 0x80;
    EXPECT_EQ(Measure(tail, kStereo16).first, 0.0);
    tail.push_back(0);
    tail.push_back(0);
    EXPECT_EQ(Measure(tail, kStereo16).first, 1.0);
}

TEST(PeakLevels, UnmeasurableInputReadsAsSilence) {
    const std::vector<BYTE> loud(6 * 2 * 32, 0);
    EXPECT_EQ(Measure(loud, PcmLayout{2, 6}).first, 0.0);
    EXPECT_EQ(Measure(loud, PcmLayout{2, 0}).first, 0.0);
    EXPECT_EQ(Measure(loud, PcmLayout{}).second, 0.0);
    EXPECT_EQ(Measure(loud, PcmLayout{3, 1}).first, 0.0);
    EXPECT_EQ(MeasurePeakLevels(nullptr, 64, kMono8).first, 0.0);
    EXPECT_EQ(MeasurePeakLevels(loud.data(), 0, kMono8).first, 0.0);
    EXPECT_EQ(MeasurePeakLevels(loud.data(), -4, kMono8).first, 0.0);
}
