#include "support/dv/dv_frame_builder.h"

#include <algorithm>

namespace kvtest {

std::vector<std::uint8_t> BlankDvFrame(DvSystem system) {
    const bool pal = system == DvSystem::Pal625;
    std::vector<std::uint8_t> frame(pal ? 144000 : 120000, 0xFF);
    // Header block: DIF id, then byte 3 with the DSF bit (7) for 625/50.
    frame[0] = 0x1F;
    frame[1] = 0x07;
    frame[2] = 0x00;
    frame[3] = pal ? 0xBF : 0x3F;
    return frame;
}

// A DIF sequence is 150 blocks of 80 bytes: header, 2 subcode, 3 VAUX, ...
// Subcode packs follow a 3-byte block id and a 3-byte sync block id, every
// 8 bytes; VAUX packs follow the 3-byte block id, every 5 bytes.
std::size_t SubcodePackAt(int sequence, int block, int slot) {
    return static_cast<std::size_t>(sequence * 12000 + (1 + block) * 80 + 3 + slot * 8 + 3);
}

std::size_t VauxPackAt(int sequence, int block, int slot) {
    return static_cast<std::size_t>(sequence * 12000 + (3 + block) * 80 + 3 + slot * 5);
}

void PutSubcodePack(std::vector<std::uint8_t>& frame, int sequence, int block, int slot, const DvPack& pack) {
    std::copy(pack.begin(), pack.end(), frame.begin() + static_cast<std::ptrdiff_t>(SubcodePackAt(sequence, block, slot)));
}

void PutVauxPack(std::vector<std::uint8_t>& frame, int sequence, int block, int slot, const DvPack& pack) {
    std::copy(pack.begin(), pack.end(), frame.begin() + static_cast<std::ptrdiff_t>(VauxPackAt(sequence, block, slot)));
}

}  // namespace kvtest
