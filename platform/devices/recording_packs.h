#pragma once
// Writes the recording date and time of a DV frame (IEC 61834-4 packs 0x62
// and 0x63), the way a camcorder records them: in every DIF sequence each
// subcode block carries time code, date, time, time code, date, time, and
// the VAUX area keeps its own copies. A camcorder whose clock is not set
// writes the packs with every data byte 0xFF.
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>

using DvPack = std::array<std::uint8_t, 5>;  // pack id (PC0) and PC1..PC4

inline constexpr std::uint8_t kDvPackTimeCode = 0x13;
inline constexpr std::uint8_t kDvPackRecordingDate = 0x62;
inline constexpr std::uint8_t kDvPackRecordingTime = 0x63;

// The packs for a calendar time (tm_year since 1900, tm_mon 0..11), or the
// "no date" packs for nullopt.
DvPack MakeRecordingDatePack(const std::optional<std::tm>& when);
DvPack MakeRecordingTimePack(const std::optional<std::tm>& when);

// Lays the subcode out as above, keeping the frame's first time code pack,
// and overwrites the VAUX date and time packs. The frame must be whole
// (144000 bytes for 625/50, 120000 for 525/60).
void WriteRecordingPacks(std::span<std::uint8_t> frame, bool is625, const DvPack& date, const DvPack& time);

// The frame's subcode time code as BCD 0xHHMMSSFF (flag bits cleared);
// nothing when the frame carries none (a blank tape).
std::optional<std::uint32_t> ReadFrameTimecode(std::span<const std::uint8_t> frame);
