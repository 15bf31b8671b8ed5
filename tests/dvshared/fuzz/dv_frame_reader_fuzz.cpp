// libFuzzer target for DvFrameReader.
//
// The input is used twice: as a frame by itself, exactly as long as the
// input (so AddressSanitizer sees any read past a short buffer), and spread
// over the pack areas of a full-size frame (so small inputs reach the pack
// decoding and the time code writer of whole frames).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dvshared/dv_frame_reader.h"
#include "dvshared/frame_queue.h"

namespace {

void Exercise(DvFrameReader& reader, std::uint64_t frameCount) {
    DvFrameReader::Pack pack{};
    for (std::uint8_t id : {0x13, 0x61, 0x62, 0x63}) {
        reader.FindSubcodePack(id, pack);
        reader.FindVauxPack(id, pack);
    }
    DvFrameInfo info;
    reader.FillInfo(info);
    reader.WriteTimeCodeFromFrameCount(frameCount);
    reader.FillInfo(info);
}

// Input bytes fill the subcode and VAUX pack areas of every DIF sequence
// (blocks 1 to 5 after the header block), sequence after sequence.
std::vector<std::uint8_t> SpreadOverPackAreas(const std::uint8_t* data, std::size_t size) {
    const bool pal = size > 0 && (data[0] & 1) != 0;
    std::vector<std::uint8_t> frame(pal ? 144000 : 120000, 0xFF);
    frame[3] = pal ? 0xBF : 0x3F;
    constexpr std::size_t kArea = 5 * 80;
    std::size_t taken = size > 0 ? 1 : 0;
    for (std::size_t at = 80; taken < size && at + kArea <= frame.size(); at += 12000) {
        const std::size_t n = std::min(kArea, size - taken);
        std::memcpy(frame.data() + at, data + taken, n);
        taken += n;
    }
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> exact(data, data + size);
    exact.shrink_to_fit();
    DvFrameReader reader;
    reader.Attach(exact.data(), static_cast<std::uint32_t>(exact.size()));
    Exercise(reader, size);

    auto frame = SpreadOverPackAreas(data, size);
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    Exercise(reader, size * 7919);

    FrameQueue queue;
    queue.PushFrame(reader);
    FrameQueue::ItemPtr item;
    if (queue.TakeFirst(item, false)) Exercise(*item->frame, 0);
    return 0;
}
