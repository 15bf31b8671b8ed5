#include "platform/media/filters/dv/dv_system.h"

const DvSystem* DvSystemOfFrame(std::span<const BYTE> frame) {
    // Byte 3 of the header block: bit 7 is DSF, 0 for 525/60 and 1 for 625/50.
    if (frame.size() < 4) return nullptr;
    const DvSystem& system = DvSystemFor((frame[3] & 0x80) != 0);
    return frame.size() >= system.frameBytes ? &system : nullptr;
}
