#pragma once
// DvFrameInfo: what one DV frame says about itself (television system, 16:9
// flag, subcode time code, recording date and time).
//
// The record is exchanged between modules and with the program by copying all
// of its bytes, so its layout is fixed: little-endian, 56 bytes, no member
// may move. The compile-time checks below guard that layout.
#include <cstddef>
#include <cstdint>
#include <type_traits>

struct DvFrameInfo {
    std::int32_t reserved[2]{};  // never written; always 0
    std::uint8_t is625{};        // 1 for a 625/50 frame, 0 for 525/60
    std::uint8_t wide{};         // 1 when the frame signals a 16:9 display mode
    std::uint8_t padding[2]{};   // always 0
    std::int32_t frameMs{};      // frame duration in whole milliseconds: 40 or 33

    // Subcode time code (pack 0x13), decoded as it stands, without range checks.
    std::int32_t tcHours{};
    std::int32_t tcMinutes{};
    std::int32_t tcSeconds{};
    std::int32_t tcFrames{};

    // Recording date (subcode pack 0x62, four-digit year) and time (pack 0x63).
    std::int32_t recYear{};
    std::int32_t recMonth{};
    std::int32_t recDay{};
    std::int32_t recHour{};
    std::int32_t recMinute{};
    std::int32_t recSecond{};
};

static_assert(sizeof(DvFrameInfo) == 56);
static_assert(std::is_trivially_copyable_v<DvFrameInfo> && std::is_standard_layout_v<DvFrameInfo>);
static_assert(offsetof(DvFrameInfo, is625) == 8);
static_assert(offsetof(DvFrameInfo, wide) == 9);
static_assert(offsetof(DvFrameInfo, frameMs) == 12);
static_assert(offsetof(DvFrameInfo, tcHours) == 16);
static_assert(offsetof(DvFrameInfo, tcFrames) == 28);
static_assert(offsetof(DvFrameInfo, recYear) == 32);
static_assert(offsetof(DvFrameInfo, recSecond) == 52);
