// Damaged input never makes the reader read outside its buffer (the buffers
// here are exactly as large as stated, so AddressSanitizer sees any overrun),
// crash or change the record from a frame it cannot read whole.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "dvshared/dv_frame_reader.h"
#include "support/dv/dv_frame_builder.h"

namespace {

using kvtest::BlankDvFrame;
using kvtest::DvSystem;

// Exercises every query and writer; returns whether FillInfo accepted the frame.
bool ReadEverything(DvFrameReader& reader, DvFrameInfo& info) {
    DvFrameReader::Pack pack{};
    for (std::uint8_t id : {0x13, 0x61, 0x62, 0x63, 0xFF}) {
        reader.FindSubcodePack(id, pack);
        reader.FindVauxPack(id, pack);
    }
    reader.IsWide();
    const bool filled = reader.FillInfo(info);
    reader.WriteTimeCodeFromFrameCount(12345);
    return filled;
}

DvFrameInfo Marked() {
    DvFrameInfo info;
    info.is625 = 7;
    info.wide = 7;
    info.frameMs = 7;
    info.tcHours = 7;
    info.recYear = 7;
    return info;
}

void ExpectUnchanged(const DvFrameInfo& info) {
    EXPECT_EQ(info.is625, 7);
    EXPECT_EQ(info.wide, 7);
    EXPECT_EQ(info.frameMs, 7);
    EXPECT_EQ(info.tcHours, 7);
    EXPECT_EQ(info.recYear, 7);
}

// A frame one byte shorter than its own system's size, with the packs the
// reader looks for in the bytes that are there.
TEST(DvFrameReaderBadInput, BufferShorterThanItsSystemsFrameIsSkipped) {
    for (DvSystem system : {DvSystem::Pal625, DvSystem::Ntsc525}) {
        auto full = BlankDvFrame(system);
        kvtest::PutSubcodePack(full, 0, 0, 0, {0x13, 0x01, 0x02, 0x03, 0x04});
        kvtest::PutVauxPack(full, 0, 0, 0, {0x61, 0x00, 0x07, 0x00, 0x00});
        const std::vector<std::uint8_t> original(full.begin(), full.end() - 1);
        std::vector<std::uint8_t> shortFrame = original;

        DvFrameReader reader;
        reader.Attach(shortFrame.data(), static_cast<std::uint32_t>(shortFrame.size()));
        EXPECT_FALSE(reader.IsComplete());
        EXPECT_EQ(reader.Is625(), system == DvSystem::Pal625);
        DvFrameInfo info = Marked();
        EXPECT_FALSE(ReadEverything(reader, info));
        ExpectUnchanged(info);
        EXPECT_EQ(shortFrame, original);  // writers leave a skipped frame alone
    }
}

// A 625/50 header on a buffer only as large as a 525/60 frame: the flag
// asks for 12 sequences, the buffer holds 10.
TEST(DvFrameReaderBadInput, PalFlagOnAnNtscSizedBufferIsSkipped) {
    auto frame = BlankDvFrame(DvSystem::Ntsc525);
    frame[3] = 0xBF;
    DvFrameReader reader;
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    DvFrameInfo info = Marked();
    EXPECT_FALSE(ReadEverything(reader, info));
    ExpectUnchanged(info);
}

TEST(DvFrameReaderBadInput, EmptyAndTinyBuffers) {
    DvFrameReader reader;
    DvFrameInfo info = Marked();
    EXPECT_FALSE(ReadEverything(reader, info));  // never attached
    ExpectUnchanged(info);

    auto zeroLength = std::make_unique<std::uint8_t[]>(0);
    reader.Attach(zeroLength.get(), 0);
    EXPECT_FALSE(reader.Is625());
    EXPECT_FALSE(ReadEverything(reader, info));
    ExpectUnchanged(info);

    reader.Attach(nullptr, 144000);  // a size without data is no data
    EXPECT_EQ(reader.Size(), 0u);
    EXPECT_FALSE(ReadEverything(reader, info));

    for (std::uint32_t size = 1; size <= 8; ++size) {
        auto tiny = std::make_unique<std::uint8_t[]>(size);
        std::fill_n(tiny.get(), size, 0xFF);
        reader.Attach(tiny.get(), size);
        EXPECT_EQ(reader.Is625(), size > 3);
        EXPECT_FALSE(ReadEverything(reader, info));
        ExpectUnchanged(info);
    }

    ASSERT_TRUE(reader.Copy(zeroLength.get(), 0));
    EXPECT_FALSE(reader.OwnsData());
    EXPECT_FALSE(ReadEverything(reader, info));
}

// A frame of 0xFF bytes (a tape drop-out): 625/50 by its flag, no packs at all.
TEST(DvFrameReaderBadInput, AllOnesFrameHasNoPacks) {
    std::vector<std::uint8_t> frame(144000, 0xFF);
    DvFrameReader reader;
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    DvFrameInfo info = Marked();
    EXPECT_TRUE(ReadEverything(reader, info));
    EXPECT_EQ(info.is625, 1);
    EXPECT_EQ(info.wide, 0);
    EXPECT_EQ(info.frameMs, 40);
    EXPECT_EQ(info.tcHours, 7);
    EXPECT_EQ(info.recYear, 7);
}

TEST(DvFrameReaderBadInput, RandomBytesDecodeWithinTheFieldWidths) {
    std::mt19937 random(20240315);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 40; ++round) {
        // Full-size frames of either system and random lengths around them.
        const bool pal = round % 2 == 0;
        std::size_t size = pal ? 144000 : 120000;
        if (round % 4 >= 2) size = std::uniform_int_distribution<std::size_t>(0, 150000)(random);
        std::vector<std::uint8_t> frame(size);
        for (auto& b : frame) b = static_cast<std::uint8_t>(byte(random));
        if (size > 3) frame[3] = static_cast<std::uint8_t>(pal ? (frame[3] | 0x80) : (frame[3] & 0x7F));

        DvFrameReader reader;
        reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
        DvFrameInfo info;
        ReadEverything(reader, info);
        // The tens masks bound every field: 0x3 -> 45, 0x7 -> 85, 0x1 -> 25, year 1995..2094
        // (or 0 when the frame carries no recording date).
        EXPECT_LE(info.tcHours, 45);
        EXPECT_LE(info.tcMinutes, 85);
        EXPECT_LE(info.tcFrames, 45);
        EXPECT_LE(info.recMonth, 25);
        EXPECT_LE(info.recYear, 2094);
        EXPECT_TRUE(info.recYear == 0 || info.recYear >= 1995) << info.recYear;
        EXPECT_EQ(info.reserved[0], 0);
    }
}

}  // namespace
