#pragma once
// The "SAB" skin image format: a 12-byte header and the pixels of a strip of
// square cells.
//
//   offset 0   uint32 LE  header size, 12 (pixels start at offset 12 whatever it says)
//   offset 4   uint32 LE  width W of the whole strip in pixels
//   offset 8   uint32 LE  height H in pixels, also the side of one cell
//   offset 12  W*H*4      pixels, top row first, each row left to right,
//                         each pixel alpha, red, green, blue (not premultiplied)
//
// The strip holds W / H cells; cell k covers columns k*H to k*H + H - 1.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct SabImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes, ARGB
};

inline constexpr std::size_t kSabHeaderSize = 12;
// Far beyond any skin image; keeps a corrupt header from asking for gigabytes.
inline constexpr std::uint32_t kSabMaxSide = 16384;

// The image in data, or nothing when the data is not a valid image: a side of
// 0 or above kSabMaxSide, or a size other than header plus W * H * 4 bytes.
std::optional<SabImage> DecodeSab(std::span<const std::uint8_t> data);

// The file form of an image whose pixels hold width * height * 4 bytes.
std::vector<std::uint8_t> EncodeSab(const SabImage& image);
