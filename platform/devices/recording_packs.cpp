#include "platform/devices/recording_packs.h"

#include <algorithm>

#include "dvshared/dv_frame_reader.h"

namespace {

constexpr std::size_t kSequenceBytes = 12000;  // 150 DIF blocks of 80 bytes
constexpr std::size_t kBlockBytes = 80;
constexpr std::size_t kSubcodeBlock = 1;        // blocks 1 and 2 of a sequence
constexpr std::size_t kVauxBlock = 3;           // blocks 3, 4 and 5
// After the 3-byte DIF block id come 6 sync blocks of 8 bytes: 2 id bytes, a
// reserved byte, then the 5-byte pack.
constexpr std::size_t kSubcodePackOffset = 6;
constexpr std::size_t kSubcodePackStride = 8;
constexpr std::size_t kVauxPackOffset = 3;
constexpr std::size_t kVauxPacksPerBlock = 15;

constexpr std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

std::size_t Sequences(bool is625) { return is625 ? 12 : 10; }

std::uint8_t* SubcodePack(std::span<std::uint8_t> frame, std::size_t sequence, std::size_t block, std::size_t slot) {
    return frame.data() + sequence * kSequenceBytes + (kSubcodeBlock + block) * kBlockBytes + kSubcodePackOffset +
           slot * kSubcodePackStride;
}

std::optional<DvPack> FirstTimeCodePack(std::span<std::uint8_t> frame, bool is625) {
    for (std::size_t s = 0; s < Sequences(is625); ++s)
        for (std::size_t b = 0; b < 2; ++b)
            for (std::size_t k = 0; k < 6; ++k) {
                const std::uint8_t* pack = SubcodePack(frame, s, b, k);
                if (pack[0] == kDvPackTimeCode) return DvPack{pack[0], pack[1], pack[2], pack[3], pack[4]};
            }
    return std::nullopt;
}

}  // namespace

DvPack MakeRecordingDatePack(const std::optional<std::tm>& when) {
    if (!when) return {kDvPackRecordingDate, 0xFF, 0xFF, 0xFF, 0xFF};
    // PC1: time zone unknown; PC2: two reserved bits set, BCD day; PC3: week
    // day unknown, BCD month; PC4: BCD two-digit year.
    return {kDvPackRecordingDate, 0xFF, static_cast<std::uint8_t>(0xC0 | Bcd(when->tm_mday)),
            static_cast<std::uint8_t>(0xE0 | Bcd(when->tm_mon + 1)), Bcd((when->tm_year + 1900) % 100)};
}

DvPack MakeRecordingTimePack(const std::optional<std::tm>& when) {
    if (!when) return {kDvPackRecordingTime, 0xFF, 0xFF, 0xFF, 0xFF};
    // PC1: frames unknown; PC2..PC4: BCD second, minute, hour under their reserved bits.
    return {kDvPackRecordingTime, 0xFF, static_cast<std::uint8_t>(0x80 | Bcd(when->tm_sec)),
            static_cast<std::uint8_t>(0x80 | Bcd(when->tm_min)), static_cast<std::uint8_t>(0xC0 | Bcd(when->tm_hour))};
}

void WriteRecordingPacks(std::span<std::uint8_t> frame, bool is625, const DvPack& date, const DvPack& time) {
    if (frame.size() < Sequences(is625) * kSequenceBytes) return;
    const std::optional<DvPack> timeCode = FirstTimeCodePack(frame, is625);
    for (std::size_t s = 0; s < Sequences(is625); ++s) {
        for (std::size_t b = 0; b < 2; ++b)
            for (std::size_t k = 0; k < 6; ++k) {
                std::uint8_t* pack = SubcodePack(frame, s, b, k);
                switch (k % 3) {
                    case 0:
                        if (timeCode) std::copy(timeCode->begin(), timeCode->end(), pack);
                        break;
                    case 1: std::copy(date.begin(), date.end(), pack); break;
                    default: std::copy(time.begin(), time.end(), pack); break;
                }
            }
        for (std::size_t b = 0; b < 3; ++b)
            for (std::size_t k = 0; k < kVauxPacksPerBlock; ++k) {
                std::uint8_t* pack =
                    frame.data() + s * kSequenceBytes + (kVauxBlock + b) * kBlockBytes + kVauxPackOffset + k * 5;
                if (pack[0] == kDvPackRecordingDate) std::copy(date.begin(), date.end(), pack);
                if (pack[0] == kDvPackRecordingTime) std::copy(time.begin(), time.end(), pack);
            }
    }
}

std::optional<std::uint32_t> ReadFrameTimecode(std::span<const std::uint8_t> frame) {
    DvFrameReader reader;
    // Attached only to be read.
    reader.Attach(const_cast<std::uint8_t*>(frame.data()), static_cast<std::uint32_t>(frame.size()));
    DvFrameReader::Pack pack{};
    if (!reader.FindSubcodePack(DvFrameReader::kPackTimeCode, pack)) return std::nullopt;
    // PC1..PC4: frames, seconds, minutes, hours in BCD under the pack's flag bits.
    return (std::uint32_t{pack[4] & 0x3Fu} << 24) | (std::uint32_t{pack[3] & 0x7Fu} << 16) |
           (std::uint32_t{pack[2] & 0x7Fu} << 8) | (pack[1] & 0x3Fu);
}
