#include "korvanta/skin/sab_format.h"

namespace {

std::uint32_t ReadLittleEndian32(std::span<const std::uint8_t> data, std::size_t offset) {
    return std::uint32_t{data[offset]} | std::uint32_t{data[offset + 1]} << 8 |
           std::uint32_t{data[offset + 2]} << 16 | std::uint32_t{data[offset + 3]} << 24;
}

void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::optional<SabImage> DecodeSab(std::span<const std::uint8_t> data) {
    if (data.size() < kSabHeaderSize) return std::nullopt;
    SabImage image;
    image.width = ReadLittleEndian32(data, 4);
    image.height = ReadLittleEndian32(data, 8);
    if (image.width == 0 || image.height == 0 || image.width > kSabMaxSide || image.height > kSabMaxSide)
        return std::nullopt;
    const std::size_t pixelBytes = std::size_t{image.width} * image.height * 4;
    if (data.size() != kSabHeaderSize + pixelBytes) return std::nullopt;
    image.pixels.assign(data.begin() + kSabHeaderSize, data.end());
    return image;
}

std::vector<std::uint8_t> EncodeSab(const SabImage& image) {
    std::vector<std::uint8_t> out;
    out.reserve(kSabHeaderSize + image.pixels.size());
    AppendLittleEndian32(out, kSabHeaderSize);
    AppendLittleEndian32(out, image.width);
    AppendLittleEndian32(out, image.height);
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}
