#pragma once
// Hand-made DV frames for tests that need packs where no camcorder or
// encoder would put them. The layout is written out here on its own (not
// taken from the reader), so a test built on it checks the reader's layout.
#include <array>
#include <cstdint>
#include <vector>

#include "support/dv/dv_clips.h"

namespace kvtest {

using DvPack = std::array<std::uint8_t, 5>;

// A frame of the system's full size whose pack slots are all empty (0xFF),
// with only the system flag set in the header block.
std::vector<std::uint8_t> BlankDvFrame(DvSystem system);

// Byte offset of subcode pack slot (0..5) in subcode block (0..1) of a
// DIF sequence, and of VAUX pack slot (0..14) in VAUX block (0..2).
std::size_t SubcodePackAt(int sequence, int block, int slot);
std::size_t VauxPackAt(int sequence, int block, int slot);

void PutSubcodePack(std::vector<std::uint8_t>& frame, int sequence, int block, int slot, const DvPack& pack);
void PutVauxPack(std::vector<std::uint8_t>& frame, int sequence, int block, int slot, const DvPack& pack);

}  // namespace kvtest
