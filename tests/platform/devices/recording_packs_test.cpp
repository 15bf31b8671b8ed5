// Recording date and time packs, checked through the program's own DV reader.
#include "platform/devices/recording_packs.h"

#include <gtest/gtest.h>

#include "dvshared/dv_frame_reader.h"
#include "deck_fixtures.h"

namespace {

struct DateTime {
    std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const DateTime&) const = default;
};

DateTime RecordedAt(std::vector<std::uint8_t>& frame) {
    DvFrameReader reader;
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    DateTime t;
    EXPECT_TRUE(reader.GetRecordingDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second));
    return t;
}

std::tm Tm(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(RecordingPacks, TheReaderFindsTheDateInTheSubcodeOfBothSystemsAndTheTimeCodeStays) {
    for (const auto system : {kvtest::DvSystem::Pal625, kvtest::DvSystem::Ntsc525}) {
        kvtest::DvClipSpec recipe;
        recipe.system = system;
        recipe.frames = 1;
        recipe.startTimeCode = {1, 2, 3, 4};
        auto frame = kvtest::MakeDvFrames(recipe).front();
        const std::tm when = Tm(2003, 12, 24, 18, 30, 5);
        WriteRecordingPacks(frame, system == kvtest::DvSystem::Pal625, MakeRecordingDatePack(when),
                            MakeRecordingTimePack(when));
        EXPECT_EQ(RecordedAt(frame), (DateTime{2003, 12, 24, 18, 30, 5}));
        DvFrameReader reader;
        reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
        std::int32_t h = 0, m = 0, s = 0, f = 0;
        ASSERT_TRUE(reader.GetTimeCode(h, m, s, f));
        EXPECT_EQ(std::vector<std::int32_t>({h, m, s, f}), std::vector<std::int32_t>({1, 2, 3, 4}));
        DvFrameReader::Pack vaux{};
        ASSERT_TRUE(reader.FindVauxPack(kDvPackRecordingDate, vaux));
        EXPECT_EQ(vaux, MakeRecordingDatePack(when));
    }
}

TEST(RecordingPacks, AClockNeverSetWritesPacksOfOnes) {
    auto frame = kvtest::MakeDvFrames(decktest::PalSpec(1)).front();
    WriteRecordingPacks(frame, true, MakeRecordingDatePack(std::nullopt), MakeRecordingTimePack(std::nullopt));
    // Decoded digit by digit as they stand: year 1900 + 165, month 25, ...
    EXPECT_EQ(RecordedAt(frame), (DateTime{2065, 25, 45, 45, 85, 85}));
}

TEST(RecordingPacks, BcdFieldsCarryTheirReservedBits) {
    const DvPack date = MakeRecordingDatePack(Tm(1999, 1, 9, 0, 0, 0));
    EXPECT_EQ(date, (DvPack{0x62, 0xFF, 0xC9, 0xE1, 0x99}));
    const DvPack time = MakeRecordingTimePack(Tm(2000, 1, 1, 23, 59, 7));
    EXPECT_EQ(time, (DvPack{0x63, 0xFF, 0x87, 0xD9, 0xE3}));
}

}  // namespace
