// The reader on hand-made frames: pack search order and extent, BCD fields,
// what stays untouched, the time code writer, private copies.
#include <gtest/gtest.h>

#include <cstring>

#include "dvshared/dv_frame_reader.h"
#include "support/dv/dv_frame_builder.h"

namespace {

using kvtest::BlankDvFrame;
using kvtest::DvPack;
using kvtest::DvSystem;
using kvtest::PutSubcodePack;
using kvtest::PutVauxPack;

std::uint32_t SizeOf(const std::vector<std::uint8_t>& frame) {
    return static_cast<std::uint32_t>(frame.size());
}

DvFrameInfo Decode(std::vector<std::uint8_t>& frame, DvFrameInfo info = {}) {
    DvFrameReader reader;
    reader.Attach(frame.data(), SizeOf(frame));
    EXPECT_TRUE(reader.FillInfo(info));
    return info;
}

// A record whose every field holds a value no frame here decodes to, to see what changes.
DvFrameInfo Sentinel() {
    DvFrameInfo info;
    info.tcHours = info.tcMinutes = info.tcSeconds = info.tcFrames = -7;
    info.recYear = info.recMonth = info.recDay = -7;
    info.recHour = info.recMinute = info.recSecond = -7;
    return info;
}

TEST(DvFrameReaderSearch, LowerSequenceThenBlockThenSlotWinsForReadAndWrite) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    PutSubcodePack(frame, 3, 0, 0, {0x13, 0x01, 0x00, 0x00, 0x00});
    PutSubcodePack(frame, 1, 1, 0, {0x13, 0x02, 0x00, 0x00, 0x00});
    PutSubcodePack(frame, 1, 0, 5, {0x13, 0x03, 0x00, 0x00, 0x00});
    PutSubcodePack(frame, 1, 0, 4, {0x13, 0x04, 0x00, 0x00, 0x00});

    DvFrameReader reader;
    reader.Attach(frame.data(), SizeOf(frame));
    DvFrameReader::Pack pack{};
    ASSERT_TRUE(reader.FindSubcodePack(0x13, pack));
    EXPECT_EQ(pack[1], 0x04);

    ASSERT_TRUE(reader.WriteSubcodePack(0x13, {0x13, 0x09, 0x08, 0x07, 0x06}));
    const auto at = kvtest::SubcodePackAt(1, 0, 4);
    EXPECT_EQ(DvPack({frame[at], frame[at + 1], frame[at + 2], frame[at + 3], frame[at + 4]}),
              DvPack({0x13, 0x09, 0x08, 0x07, 0x06}));
    // The other copies are left as they were.
    EXPECT_EQ(frame[kvtest::SubcodePackAt(1, 0, 5) + 1], 0x03);
    EXPECT_EQ(frame[kvtest::SubcodePackAt(3, 0, 0) + 1], 0x01);
}

TEST(DvFrameReaderSearch, VauxPacksAreSearchedInTheirOwnArea) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    PutVauxPack(frame, 0, 2, 14, {0x61, 0x00, 0x02, 0x00, 0x00});
    PutSubcodePack(frame, 0, 0, 0, {0x61, 0x00, 0x00, 0x00, 0x00});
    DvFrameReader reader;
    reader.Attach(frame.data(), SizeOf(frame));
    DvFrameReader::Pack pack{};
    ASSERT_TRUE(reader.FindVauxPack(0x61, pack));
    EXPECT_EQ(pack[2], 0x02);
    EXPECT_FALSE(reader.FindVauxPack(0x13, pack));
}

// 625/50 frames have 12 DIF sequences, 525/60 frames 10: the system flag,
// not the buffer size, decides how far the search goes.
TEST(DvFrameReaderSearch, SequenceCountFollowsTheSystemFlag) {
    auto pal = BlankDvFrame(DvSystem::Pal625);
    PutSubcodePack(pal, 11, 1, 5, {0x13, 0x00, 0x00, 0x00, 0x00});
    PutVauxPack(pal, 11, 2, 14, {0x61, 0x00, 0x07, 0x00, 0x00});
    DvFrameReader reader;
    reader.Attach(pal.data(), SizeOf(pal));
    DvFrameReader::Pack pack{};
    EXPECT_TRUE(reader.FindSubcodePack(0x13, pack));
    EXPECT_TRUE(reader.IsWide());

    // The same bytes with the 525/60 flag: sequences 10 and 11 are not searched.
    pal[3] = 0x3F;
    reader.Attach(pal.data(), SizeOf(pal));
    EXPECT_FALSE(reader.FindSubcodePack(0x13, pack));
    EXPECT_FALSE(reader.IsWide());

    PutSubcodePack(pal, 9, 1, 5, {0x13, 0x00, 0x00, 0x00, 0x00});
    EXPECT_TRUE(reader.FindSubcodePack(0x13, pack));
}

TEST(DvFrameReaderSystem, SizeAndDurationFollowByteThree) {
    auto pal = BlankDvFrame(DvSystem::Pal625);
    auto ntsc = BlankDvFrame(DvSystem::Ntsc525);
    DvFrameReader reader;
    reader.Attach(pal.data(), SizeOf(pal));
    EXPECT_TRUE(reader.Is625());
    EXPECT_EQ(reader.FrameSize(), 144000);
    EXPECT_EQ(reader.FrameDuration(), 40);
    reader.Attach(ntsc.data(), SizeOf(ntsc));
    EXPECT_FALSE(reader.Is625());
    EXPECT_EQ(reader.FrameSize(), 120000);
    EXPECT_EQ(reader.FrameDuration(), 33);
}

TEST(DvFrameReaderDecode, TensMasksDropTheFlagBits) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    // Every flag bit set above the tens digits: 23:59:58.24 with CF, DF and BGF bits.
    PutSubcodePack(frame, 0, 0, 0, {0x13, 0xE4, 0xD8, 0xD9, 0xE3});
    // 31.12.(20)24 and 23:59:57, the upper bits of day, month, hour set.
    PutSubcodePack(frame, 0, 0, 1, {0x62, 0xFF, 0xF1, 0xF2, 0x24});
    PutSubcodePack(frame, 0, 0, 2, {0x63, 0xFF, 0xD7, 0xD9, 0xE3});
    const auto info = Decode(frame);
    EXPECT_EQ(info.tcHours, 23);
    EXPECT_EQ(info.tcMinutes, 59);
    EXPECT_EQ(info.tcSeconds, 58);
    EXPECT_EQ(info.tcFrames, 24);
    EXPECT_EQ(info.recDay, 31);
    EXPECT_EQ(info.recMonth, 12);
    EXPECT_EQ(info.recYear, 2024);
    EXPECT_EQ(info.recHour, 23);
    EXPECT_EQ(info.recMinute, 59);
    EXPECT_EQ(info.recSecond, 57);
}

TEST(DvFrameReaderDecode, OutOfRangeDigitsDecodeAsTheyStand) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    PutSubcodePack(frame, 0, 0, 0, {0x13, 0xFF, 0xFF, 0xFF, 0xFF});
    PutSubcodePack(frame, 0, 0, 1, {0x62, 0xFF, 0xFF, 0xFF, 0xFF});
    PutSubcodePack(frame, 0, 0, 2, {0x63, 0xFF, 0xFF, 0xFF, 0xFF});
    const auto info = Decode(frame);
    EXPECT_EQ(info.tcHours, 45);
    EXPECT_EQ(info.tcMinutes, 85);
    EXPECT_EQ(info.tcSeconds, 85);
    EXPECT_EQ(info.tcFrames, 45);
    EXPECT_EQ(info.recDay, 45);
    EXPECT_EQ(info.recMonth, 25);
    EXPECT_EQ(info.recYear, 1900 + 165);
    EXPECT_EQ(info.recHour, 45);
    EXPECT_EQ(info.recMinute, 85);
    EXPECT_EQ(info.recSecond, 85);
}

TEST(DvFrameReaderDecode, TwoDigitYearsFrom95AreIn1900sAllOthersIn2000s) {
    const std::pair<std::uint8_t, int> cases[] = {{0x24, 2024}, {0x25, 2025}, {0x26, 2026}, {0x94, 2094},
                                                  {0x95, 1995}, {0x99, 1999}, {0x00, 2000}};
    for (const auto& [yearByte, year] : cases) {
        auto frame = BlankDvFrame(DvSystem::Ntsc525);
        PutSubcodePack(frame, 2, 1, 3, {0x62, 0xFF, 0x01, 0x01, yearByte});
        PutSubcodePack(frame, 4, 0, 0, {0x63, 0xFF, 0x00, 0x00, 0x00});
        EXPECT_EQ(Decode(frame).recYear, year) << std::hex << int{yearByte};
    }
}

TEST(DvFrameReaderDecode, MissingPacksLeaveTheirFieldsUntouched) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    PutSubcodePack(frame, 0, 0, 1, {0x62, 0xFF, 0x15, 0x03, 0x24});  // date without time
    DvFrameReader reader;
    reader.Attach(frame.data(), SizeOf(frame));

    std::int32_t y = -7, mo = -7, d = -7, h = -7, mi = -7, s = -7;
    EXPECT_FALSE(reader.GetRecordingDateTime(y, mo, d, h, mi, s));
    EXPECT_EQ(y, -7);
    EXPECT_EQ(d, -7);
    std::int32_t th = -7, tm = -7, ts = -7, tf = -7;
    EXPECT_FALSE(reader.GetTimeCode(th, tm, ts, tf));
    EXPECT_EQ(th, -7);

    DvFrameInfo info = Sentinel();
    info.reserved[0] = 5;
    ASSERT_TRUE(reader.FillInfo(info));
    EXPECT_EQ(info.recYear, -7);
    EXPECT_EQ(info.recMonth, -7);
    EXPECT_EQ(info.recDay, -7);
    EXPECT_EQ(info.recHour, -7);
    EXPECT_EQ(info.tcHours, -7);
    EXPECT_EQ(info.tcFrames, -7);
    EXPECT_EQ(info.reserved[0], 5);  // never written
    // The frame's own fields are always set.
    EXPECT_EQ(info.is625, 1);
    EXPECT_EQ(info.wide, 0);
    EXPECT_EQ(info.frameMs, 40);
}

TEST(DvFrameReaderDecode, WideWhenAnyDisplayModeBitIsSet) {
    const std::pair<std::uint8_t, bool> cases[] = {{0x00, false}, {0xF8, false}, {0x01, true},
                                                   {0x02, true},  {0x04, true},  {0xFF, true}};
    for (const auto& [pc2, wide] : cases) {
        auto frame = BlankDvFrame(DvSystem::Ntsc525);
        PutVauxPack(frame, 0, 0, 1, {0x61, 0x3F, pc2, 0xFC, 0xFF});
        EXPECT_EQ(Decode(frame).wide, wide ? 1 : 0) << std::hex << int{pc2};
    }
    auto noPack = BlankDvFrame(DvSystem::Ntsc525);
    DvFrameInfo info;
    info.wide = 1;
    EXPECT_EQ(Decode(noPack, info).wide, 0);
}

struct CountCase {
    DvSystem system;
    std::uint64_t count;
    DvPack pack;
};

TEST(DvFrameReaderWrite, TimeCodeFromFrameCount) {
    const CountCase cases[] = {
        {DvSystem::Pal625, 1500, {0x13, 0x00, 0x00, 0x01, 0x00}},   // 00:01:00.00
        {DvSystem::Ntsc525, 29, {0x13, 0x29, 0x00, 0x00, 0x00}},    // 957 ms: 00:00:00.29
        {DvSystem::Ntsc525, 1000, {0x13, 0x00, 0x33, 0x00, 0x00}},  // 00:00:33.00
        {DvSystem::Pal625, 100, {0x13, 0x00, 0x04, 0x00, 0x00}},    // 00:00:04.00
        {DvSystem::Pal625, 25 * 3600 * 25 + 24, {0x13, 0x24, 0x00, 0x00, 0x25}},  // hours do not wrap at 24
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        auto frame = BlankDvFrame(c.system);
        // Flag bits set in the old pack must not survive.
        PutSubcodePack(frame, 0, 1, 2, {0x13, 0xFF, 0xFF, 0xFF, 0xFF});
        DvFrameReader reader;
        reader.Attach(frame.data(), SizeOf(frame));
        ASSERT_TRUE(reader.WriteTimeCodeFromFrameCount(c.count));
        DvFrameReader::Pack written{};
        ASSERT_TRUE(reader.FindSubcodePack(0x13, written));
        EXPECT_EQ(DvPack(written), c.pack);
    }
}

TEST(DvFrameReaderWrite, FrameWithoutTimeCodePackIsLeftAlone) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    const auto before = frame;
    DvFrameReader reader;
    reader.Attach(frame.data(), SizeOf(frame));
    EXPECT_FALSE(reader.WriteTimeCodeFromFrameCount(1500));
    EXPECT_FALSE(reader.WriteSubcodePack(0x62, {0x62, 0, 0, 0, 0}));
    EXPECT_EQ(frame, before);
}

TEST(DvFrameReaderBuffers, PrivateCopyIsIndependentOfTheSource) {
    auto frame = BlankDvFrame(DvSystem::Pal625);
    PutSubcodePack(frame, 0, 0, 0, {0x13, 0x01, 0x00, 0x00, 0x00});
    DvFrameReader attached;
    attached.Attach(frame.data(), SizeOf(frame));
    EXPECT_FALSE(attached.OwnsData());

    DvFrameReader copy;
    ASSERT_TRUE(copy.CopyFrom(attached));
    EXPECT_TRUE(copy.OwnsData());
    EXPECT_EQ(copy.Size(), SizeOf(frame));
    EXPECT_NE(copy.Data(), frame.data());
    std::memset(frame.data(), 0, frame.size());

    DvFrameInfo info;
    ASSERT_TRUE(copy.FillInfo(info));
    EXPECT_EQ(info.is625, 1);
    EXPECT_EQ(info.tcFrames, 1);

    // A copy of itself keeps the bytes; attaching drops the copy.
    ASSERT_TRUE(copy.CopyFrom(copy));
    EXPECT_TRUE(copy.FillInfo(info));
    copy.Attach(frame.data(), SizeOf(frame));
    EXPECT_FALSE(copy.OwnsData());
    EXPECT_EQ(copy.Data(), frame.data());
}

TEST(DvFrameReaderBuffers, CopyOfAnEmptyReaderIsEmpty) {
    auto frame = BlankDvFrame(DvSystem::Ntsc525);
    DvFrameReader reader;
    ASSERT_TRUE(reader.Copy(frame.data(), SizeOf(frame)));
    DvFrameReader empty;
    ASSERT_TRUE(reader.CopyFrom(empty));
    EXPECT_EQ(reader.Size(), 0u);
    EXPECT_EQ(reader.Data(), nullptr);
    EXPECT_FALSE(reader.OwnsData());
}

}  // namespace
