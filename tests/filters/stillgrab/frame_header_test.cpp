#include "filters/stillgrab/frame_header.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/media/uuids.h"

namespace {

BITMAPINFOHEADER Rgb32Header(LONG width, LONG height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    return header;
}

// A media type that borrows vih as its format block.
AM_MEDIA_TYPE VideoInfoType(VIDEOINFOHEADER& vih, ULONG formatBytes = sizeof(VIDEOINFOHEADER)) {
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = MEDIASUBTYPE_RGB32;
    mt.formattype = FORMAT_VideoInfo;
    mt.cbFormat = formatBytes;
    mt.pbFormat = reinterpret_cast<BYTE*>(&vih);
    return mt;
}

}  // namespace

TEST(FrameHeader, PictureHeaderNeedsAVideoInfoBlockWithASize) {
    VIDEOINFOHEADER vih{};
    vih.bmiHeader = Rgb32Header(720, -576);
    const auto header = PictureHeaderOf(VideoInfoType(vih));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->biWidth, 720);
    EXPECT_EQ(header->biHeight, -576);

    EXPECT_FALSE(PictureHeaderOf(VideoInfoType(vih, sizeof(VIDEOINFOHEADER) - 1)));
    AM_MEDIA_TYPE other = VideoInfoType(vih);
    other.formattype = FORMAT_WaveFormatEx;
    EXPECT_FALSE(PictureHeaderOf(other));
    AM_MEDIA_TYPE noBlock = VideoInfoType(vih);
    noBlock.pbFormat = nullptr;
    EXPECT_FALSE(PictureHeaderOf(noBlock));
    vih.bmiHeader.biWidth = 0;
    EXPECT_FALSE(PictureHeaderOf(VideoInfoType(vih)));
    vih.bmiHeader = Rgb32Header(720, 0);
    EXPECT_FALSE(PictureHeaderOf(VideoInfoType(vih)));
}

TEST(FrameHeader, FittedHeaderDescribesTheCopiedBytes) {
    BITMAPINFOHEADER exact = Rgb32Header(720, 576);
    exact.biCompression = BI_BITFIELDS;
    FitHeaderToBuffer(exact, 720 * 576 * 4);
    EXPECT_EQ(exact.biCompression, BI_RGB);
    EXPECT_EQ(exact.biSizeImage, 720u * 576 * 4);
    EXPECT_EQ(exact.biWidth, 720);
    EXPECT_EQ(exact.biHeight, 576);

    // Rows padded by the downstream allocator: the width follows the stride.
    BITMAPINFOHEADER padded = Rgb32Header(720, -576);
    FitHeaderToBuffer(padded, 768 * 576 * 4);
    EXPECT_EQ(padded.biWidth, 768);
    EXPECT_EQ(padded.biSizeImage, 768u * 576 * 4);

    // No format seen yet: only the size can be told.
    BITMAPINFOHEADER unknown{};
    FitHeaderToBuffer(unknown, 4096);
    EXPECT_EQ(unknown.biSizeImage, 4096u);
    EXPECT_EQ(unknown.biWidth, 0);
}

TEST(FrameHeader, ExtremeHeaderFieldsDoNotOverflow) {
    BITMAPINFOHEADER extreme = Rgb32Header(INT32_MAX, INT32_MIN);
    extreme.biBitCount = 0xFFFF;
    FitHeaderToBuffer(extreme, 4096);
    EXPECT_EQ(extreme.biWidth, 0);
    EXPECT_EQ(extreme.biSizeImage, 4096u);

    BITMAPINFOHEADER negative = Rgb32Header(-720, 576);
    FitHeaderToBuffer(negative, 720 * 576 * 4);
    EXPECT_EQ(negative.biWidth, 720);
}
