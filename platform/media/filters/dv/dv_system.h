#pragma once
// The two DV systems of IEC 61834 / SMPTE 314M at 25 Mbit/s: 525 lines at
// 29.97 frames per second and 625 lines at 25. A frame is a run of DIF
// sequences of 150 blocks of 80 bytes each.
#include <cstddef>
#include <span>

#include "platform/com/wintypes.h"

struct DvSystem {
    bool pal;               // 625 lines / 50 fields
    LONG width;             // full-size picture
    LONG height;
    DWORD frameBytes;       // one compressed frame
    int difSequences;       // per frame: 10 (525/60) or 12 (625/50)
    DWORD rate;             // frames per second = rate / scale
    DWORD scale;
    DWORD microsecondsPerFrame;
};

inline constexpr std::size_t kDifBlockBytes = 80;
inline constexpr std::size_t kDifBlocksPerSequence = 150;
inline constexpr std::size_t kDifSequenceBytes = kDifBlockBytes * kDifBlocksPerSequence;

inline constexpr DvSystem kDvSystem525{false, 720, 480, 120000, 10, 30000, 1001, 33367};
inline constexpr DvSystem kDvSystem625{true, 720, 576, 144000, 12, 25, 1, 40000};

inline const DvSystem& DvSystemFor(bool pal) { return pal ? kDvSystem625 : kDvSystem525; }

// The system a frame declares in its header DIF block (DSF bit, IEC 61834-2),
// or null when the buffer is too short for the frame it declares.
const DvSystem* DvSystemOfFrame(std::span<const BYTE> frame);
