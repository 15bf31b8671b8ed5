#include "korvanta/skin/sab_format.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Header(std::uint32_t headerSize, std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> data;
    for (std::uint32_t value : {headerSize, width, height})
        for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<std::uint8_t>(value >> shift));
    return data;
}

TEST(SabFormat, EncodesAndDecodesTheDocumentedLayout) {
    SabImage image{3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    const std::vector<std::uint8_t> data = EncodeSab(image);
    ASSERT_EQ(data.size(), 24u);
    EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + 12), Header(12, 3, 1));
    const auto decoded = DecodeSab(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 3u);
    EXPECT_EQ(decoded->height, 1u);
    EXPECT_EQ(decoded->pixels, image.pixels);
}

TEST(SabFormat, HeaderSizeFieldIsIgnored) {
    std::vector<std::uint8_t> data = Header(999, 1, 1);
    data.insert(data.end(), {255, 1, 2, 3});
    const auto decoded = DecodeSab(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels, (std::vector<std::uint8_t>{255, 1, 2, 3}));
}

TEST(SabFormat, RefusesImagesThatDoNotMatchTheirData) {
    const auto withPixels = [](std::vector<std::uint8_t> header, std::size_t pixelBytes) {
        header.resize(header.size() + pixelBytes, 0x7F);
        return header;
    };
    EXPECT_FALSE(DecodeSab({}));
    EXPECT_FALSE(DecodeSab(std::vector<std::uint8_t>(11, 0)));
    EXPECT_FALSE(DecodeSab(withPixels(Header(12, 16, 0), 0))) << "height 0";
    EXPECT_FALSE(DecodeSab(withPixels(Header(12, 0, 16), 0))) << "width 0";
    EXPECT_FALSE(DecodeSab(withPixels(Header(12, 16, 16), 16 * 16 * 4 - 1))) << "data too short";
    EXPECT_FALSE(DecodeSab(withPixels(Header(12, 16, 16), 16 * 16 * 4 + 1))) << "data too long";
    EXPECT_FALSE(DecodeSab(withPixels(Header(12, 0xFFFFFFFF, 0xFFFFFFFF), 64))) << "sizes that overflow";
    EXPECT_FALSE(DecodeSab(withPixels(Header(12, 0x40000001, 1), 4))) << "W * H * 4 wraps to 4 in 32 bits";
    EXPECT_TRUE(DecodeSab(withPixels(Header(12, 16, 16), 16 * 16 * 4)));
}

}  // namespace
