// The buffer between the sound renderer and a Qt sound sink: bytes come out
// as they went in, scaled by the volume around each format's silence, and
// whoever waits on it is released by Abort.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/media/renderers/pcm_buffer.h"

namespace {

WAVEFORMATEX Pcm(WORD bits) {
    const WORD align = bits / 8;
    return {WAVE_FORMAT_PCM, 1, 8000, 8000u * align, align, bits, 0};
}

TEST(PcmBuffer, ScalesSixteenBitSamplesAroundZero) {
    PcmBuffer buffer(Pcm(16), 64, nullptr);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const std::array<std::int16_t, 3> in = {1000, -1000, 32767};
    ASSERT_TRUE(buffer.Push(reinterpret_cast<const BYTE*>(in.data()), sizeof(in)));
    buffer.SetVolume(0.5);
    std::array<std::int16_t, 3> out{};
    ASSERT_EQ(buffer.read(reinterpret_cast<char*>(out.data()), sizeof(out)), qint64{sizeof(out)});
    EXPECT_EQ(out[0], 500);
    EXPECT_EQ(out[1], -500);
    EXPECT_EQ(out[2], 16383);
}

TEST(PcmBuffer, ScalesEightBitSamplesAroundTheirMiddle) {
    PcmBuffer buffer(Pcm(8), 64, nullptr);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const std::array<BYTE, 3> in = {128, 228, 28};
    ASSERT_TRUE(buffer.Push(in.data(), in.size()));
    buffer.SetVolume(0.0);
    std::array<BYTE, 3> out{};
    ASSERT_EQ(buffer.read(reinterpret_cast<char*>(out.data()), out.size()), 3);
    EXPECT_EQ(out, (std::array<BYTE, 3>{128, 128, 128}));
}

TEST(PcmBuffer, NeverSplitsASixteenBitSampleAndNeverWaitsToBeRead) {
    PcmBuffer buffer(Pcm(16), 64, nullptr);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const std::array<BYTE, 4> in = {1, 2, 3, 4};
    ASSERT_TRUE(buffer.Push(in.data(), in.size()));
    std::array<char, 4> out{};
    EXPECT_EQ(buffer.read(out.data(), 3), 2);
    EXPECT_EQ(buffer.read(out.data(), 4), 2);
    EXPECT_EQ(buffer.read(out.data(), 4), 0);  // empty: the sink plays silence, nothing ends
}

TEST(PcmBuffer, PausedGivesTheSinkNothingAndKeepsTheBytesForTheResume) {
    PcmBuffer buffer(Pcm(16), 64, nullptr);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const std::array<BYTE, 4> in = {1, 2, 3, 4};
    ASSERT_TRUE(buffer.Push(in.data(), in.size()));
    buffer.SetPaused(true);
    std::array<char, 4> out{};
    EXPECT_EQ(buffer.bytesAvailable(), 0);
    EXPECT_EQ(buffer.read(out.data(), 4), 0);
    buffer.SetPaused(false);
    EXPECT_EQ(buffer.read(out.data(), 4), 4);
    EXPECT_EQ(out, (std::array<char, 4>{1, 2, 3, 4}));
}

TEST(PcmBuffer, AbortReleasesAPushWaitingForRoom) {
    PcmBuffer buffer(Pcm(16), 4, nullptr);
    const std::array<BYTE, 8> in{};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        buffer.Abort();
    });
    EXPECT_FALSE(buffer.Push(in.data(), in.size()));
    buffer.WaitUntilEmpty();
    stopper.join();
}

}  // namespace
