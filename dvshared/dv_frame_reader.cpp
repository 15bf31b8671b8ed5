#include "dvshared/dv_frame_reader.h"

#include <cstring>
#include <new>

namespace {

// Frame layout (IEC 61834-2, SMPTE 314M). A frame is a run of DIF sequences
// of 150 DIF blocks of 80 bytes. Each sequence starts with the header block,
// then two subcode blocks, then three VAUX blocks.
constexpr std::uint32_t kSequenceBytes = 12000;
constexpr std::uint32_t kBlockBytes = 80;
constexpr std::int32_t kSequences625 = 12;
constexpr std::int32_t kSequences525 = 10;

// Byte 3 of the header block (DSF bit): 1 = 625/50, 0 = 525/60.
constexpr std::uint32_t kSystemByte = 3;
constexpr std::uint8_t kSystemBit625 = 0x80;

// Subcode blocks 1 and 2 of a sequence. After the 3-byte block id come six
// sync blocks of 8 bytes (2 id bytes, 1 reserved byte, one 5-byte pack), so
// the packs sit at block offset 6 + 8k.
constexpr std::uint32_t kFirstSubcodeBlock = 1;
constexpr std::uint32_t kSubcodeBlocks = 2;
constexpr std::uint32_t kSubcodePacksPerBlock = 6;
constexpr std::uint32_t kSubcodeFirstPack = 6;
constexpr std::uint32_t kSubcodePackStride = 8;

// VAUX blocks 3 to 5 of a sequence: 15 packs of 5 bytes after the 3-byte block id.
constexpr std::uint32_t kFirstVauxBlock = 3;
constexpr std::uint32_t kVauxBlocks = 3;
constexpr std::uint32_t kVauxPacksPerBlock = 15;
constexpr std::uint32_t kVauxFirstPack = 3;
constexpr std::uint32_t kVauxPackStride = 5;

// Audio blocks: nine per sequence, at blocks 6, 22, ... 134, each starting
// with its AAUX pack after the 3-byte block id. The first channel pair's
// packs lie in the first half of the sequences.
constexpr std::uint32_t kAudioBlocksPerSequence = 9;
constexpr std::uint32_t kFirstAudioBlock = 6;
constexpr std::uint32_t kAudioBlockStride = 16;
constexpr std::uint32_t kAauxFirstPack = 3;
// PC4 of the AAUX source pack: SMP (bits 5-3) and QU (bits 2-0).
constexpr std::uint8_t kSoundFormatMask = 0x3F;

constexpr std::size_t kPackBytes = 5;

constexpr std::uint32_t SubcodePackOffset(std::uint32_t sequence, std::uint32_t block, std::uint32_t slot) {
    return sequence * kSequenceBytes + (kFirstSubcodeBlock + block) * kBlockBytes + kSubcodeFirstPack +
           slot * kSubcodePackStride;
}

constexpr std::uint32_t AauxPackOffset(std::uint32_t sequence, std::uint32_t block) {
    return sequence * kSequenceBytes + (kFirstAudioBlock + block * kAudioBlockStride) * kBlockBytes + kAauxFirstPack;
}

constexpr std::uint32_t VauxPackOffset(std::uint32_t sequence, std::uint32_t block, std::uint32_t slot) {
    return sequence * kSequenceBytes + (kFirstVauxBlock + block) * kBlockBytes + kVauxFirstPack +
           slot * kVauxPackStride;
}

// The last pack of the last sequence ends inside the frame, so a complete
// frame can be searched without further bounds checks.
static_assert(SubcodePackOffset(kSequences525 - 1, kSubcodeBlocks - 1, kSubcodePacksPerBlock - 1) + kPackBytes <=
              DvFrameReader::kFrameSize525);
static_assert(VauxPackOffset(kSequences525 - 1, kVauxBlocks - 1, kVauxPacksPerBlock - 1) + kPackBytes <=
              DvFrameReader::kFrameSize525);
static_assert(SubcodePackOffset(kSequences625 - 1, kSubcodeBlocks - 1, kSubcodePacksPerBlock - 1) + kPackBytes <=
              DvFrameReader::kFrameSize625);
static_assert(VauxPackOffset(kSequences625 - 1, kVauxBlocks - 1, kVauxPacksPerBlock - 1) + kPackBytes <=
              DvFrameReader::kFrameSize625);

// One BCD field: units in the low nibble, tens in the high nibble limited to
// the bits the field uses (the others carry flags). No range check: digits
// out of range decode as they stand.
std::int32_t DecodeBcd(std::uint8_t byte, std::uint8_t tensMask) {
    return (byte & 0x0F) + ((byte >> 4) & tensMask) * 10;
}

std::uint8_t EncodeBcd(std::uint64_t value) {
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

// Tens masks of the time code pack 0x13 (PC1 frames .. PC4 hours).
constexpr std::uint8_t kTensFrames = 0x3;
constexpr std::uint8_t kTensSeconds = 0x7;
constexpr std::uint8_t kTensMinutes = 0x7;
constexpr std::uint8_t kTensHours = 0x3;
// Tens masks of the recording date pack 0x62 (PC2 day, PC3 month, PC4 year).
constexpr std::uint8_t kTensDay = 0x3;
constexpr std::uint8_t kTensMonth = 0x1;
constexpr std::uint8_t kTensYear = 0xF;

// A two-digit recording year below this is in the 2000s, else in the 1900s.
// DV recording began in 1995, so 95-99 are the only years of the 1900s a DV
// frame can carry; every other two-digit year is in the 2000s, including the
// years after 2024 that camcorders still record today.
constexpr std::int32_t kCenturyPivot = 95;

// The display mode of VAUX pack 0x61 (PC2 bits 0-2): 0 is 4:3, any other value a 16:9 mode.
constexpr std::uint8_t kDisplayModeMask = 0x07;

}  // namespace

DvFrameReader::~DvFrameReader() = default;

void DvFrameReader::Attach(std::uint8_t* data, std::uint32_t size) {
    owned_.reset();
    data_ = data;
    size_ = data ? size : 0;
}

bool DvFrameReader::Copy(const std::uint8_t* data, std::uint32_t size) {
    if (!data || size == 0) {
        Attach(nullptr, 0);
        return true;
    }
    std::unique_ptr<std::uint8_t[]> copy;
    try {
        copy = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        Attach(nullptr, 0);
        return false;
    }
    // Copy before replacing: data may be this reader's own buffer.
    std::memcpy(copy.get(), data, size);
    owned_ = std::move(copy);
    data_ = owned_.get();
    size_ = size;
    return true;
}

bool DvFrameReader::CopyFrom(const DvFrameReader& other) {
    return Copy(other.data_, other.size_);
}

bool DvFrameReader::Is625() const {
    return size_ > kSystemByte && (data_[kSystemByte] & kSystemBit625) != 0;
}

std::int32_t DvFrameReader::FrameSize() const {
    return Is625() ? kFrameSize625 : kFrameSize525;
}

std::int32_t DvFrameReader::FrameDuration() const {
    return Is625() ? kFrameMs625 : kFrameMs525;
}

bool DvFrameReader::IsComplete() const {
    return data_ && size_ >= static_cast<std::uint32_t>(FrameSize());
}

std::int32_t DvFrameReader::SequenceCount() const {
    return Is625() ? kSequences625 : kSequences525;
}

std::uint8_t* DvFrameReader::FindSubcodeSlot(std::uint8_t id) const {
    if (!IsComplete()) return nullptr;
    const auto sequences = static_cast<std::uint32_t>(SequenceCount());
    for (std::uint32_t s = 0; s < sequences; ++s)
        for (std::uint32_t block = 0; block < kSubcodeBlocks; ++block)
            for (std::uint32_t slot = 0; slot < kSubcodePacksPerBlock; ++slot) {
                std::uint8_t* pack = data_ + SubcodePackOffset(s, block, slot);
                if (pack[0] == id) return pack;
            }
    return nullptr;
}

bool DvFrameReader::FindSubcodePack(std::uint8_t id, Pack& pack) const {
    const std::uint8_t* found = FindSubcodeSlot(id);
    if (!found) return false;
    std::memcpy(pack.data(), found, kPackBytes);
    return true;
}

bool DvFrameReader::FindVauxPack(std::uint8_t id, Pack& pack) const {
    if (!IsComplete()) return false;
    const auto sequences = static_cast<std::uint32_t>(SequenceCount());
    for (std::uint32_t s = 0; s < sequences; ++s)
        for (std::uint32_t block = 0; block < kVauxBlocks; ++block)
            for (std::uint32_t slot = 0; slot < kVauxPacksPerBlock; ++slot) {
                const std::uint8_t* found = data_ + VauxPackOffset(s, block, slot);
                if (found[0] == id) {
                    std::memcpy(pack.data(), found, kPackBytes);
                    return true;
                }
            }
    return false;
}

bool DvFrameReader::FindAauxPack(std::uint8_t id, Pack& pack) const {
    if (!IsComplete()) return false;
    const auto sequences = static_cast<std::uint32_t>(SequenceCount()) / 2;
    for (std::uint32_t s = 0; s < sequences; ++s)
        for (std::uint32_t block = 0; block < kAudioBlocksPerSequence; ++block) {
            const std::uint8_t* found = data_ + AauxPackOffset(s, block);
            if (found[0] == id) {
                std::memcpy(pack.data(), found, kPackBytes);
                return true;
            }
        }
    return false;
}

bool DvFrameReader::WriteSubcodePack(std::uint8_t id, const Pack& pack) {
    std::uint8_t* slot = FindSubcodeSlot(id);
    if (!slot) return false;
    std::memcpy(slot, pack.data(), kPackBytes);
    return true;
}

bool DvFrameReader::IsWide() const {
    Pack source;
    return FindVauxPack(kPackVideoSourceControl, source) && (source[2] & kDisplayModeMask) != 0;
}

std::int32_t DvFrameReader::SoundFormat() const {
    Pack source;
    return FindAauxPack(kPackAudioSource, source) ? (source[4] & kSoundFormatMask) : -1;
}

bool DvFrameReader::GetTimeCode(std::int32_t& hours, std::int32_t& minutes, std::int32_t& seconds,
                                std::int32_t& frames) const {
    Pack tc;
    if (!FindSubcodePack(kPackTimeCode, tc)) return false;
    frames = DecodeBcd(tc[1], kTensFrames);
    seconds = DecodeBcd(tc[2], kTensSeconds);
    minutes = DecodeBcd(tc[3], kTensMinutes);
    hours = DecodeBcd(tc[4], kTensHours);
    return true;
}

bool DvFrameReader::GetRecordingDateTime(std::int32_t& year, std::int32_t& month, std::int32_t& day,
                                         std::int32_t& hour, std::int32_t& minute,
                                         std::int32_t& second) const {
    Pack date;
    Pack time;
    if (!FindSubcodePack(kPackRecordingDate, date) || !FindSubcodePack(kPackRecordingTime, time))
        return false;
    // PC1 of both packs (time zone, frames) is not used.
    day = DecodeBcd(date[2], kTensDay);
    month = DecodeBcd(date[3], kTensMonth);
    const std::int32_t twoDigitYear = DecodeBcd(date[4], kTensYear);
    year = (twoDigitYear < kCenturyPivot ? 2000 : 1900) + twoDigitYear;
    // The time pack uses the time code's masks: seconds and minutes 0x7, hours 0x3.
    second = DecodeBcd(time[2], kTensSeconds);
    minute = DecodeBcd(time[3], kTensMinutes);
    hour = DecodeBcd(time[4], kTensHours);
    return true;
}

bool DvFrameReader::FillInfo(DvFrameInfo& info) const {
    if (!IsComplete()) return false;
    GetTimeCode(info.tcHours, info.tcMinutes, info.tcSeconds, info.tcFrames);
    GetRecordingDateTime(info.recYear, info.recMonth, info.recDay, info.recHour, info.recMinute,
                         info.recSecond);
    info.is625 = Is625() ? 1 : 0;
    info.wide = IsWide() ? 1 : 0;
    info.frameMs = FrameDuration();
    return true;
}

bool DvFrameReader::WriteTimeCodeFromFrameCount(std::uint64_t frameCount) {
    const auto duration = static_cast<std::uint64_t>(FrameDuration());
    const std::uint64_t ms = frameCount * duration;
    const std::uint64_t hours = ms / 3600000;
    const std::uint64_t minutes = (ms % 3600000) / 60000;
    const std::uint64_t seconds = (ms % 60000) / 1000;
    const std::uint64_t frames = (ms % 1000) / duration;
    // The colour frame, drop frame and binary group flag bits are written as 0.
    const Pack tc{kPackTimeCode, EncodeBcd(frames), EncodeBcd(seconds), EncodeBcd(minutes), EncodeBcd(hours)};
    return WriteSubcodePack(kPackTimeCode, tc);
}
