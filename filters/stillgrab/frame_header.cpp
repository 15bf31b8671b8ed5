#include "filters/stillgrab/frame_header.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/media/uuids.h"

std::optional<BITMAPINFOHEADER> PictureHeaderOf(const AM_MEDIA_TYPE& mt) {
    // Other format types (VIDEOINFOHEADER2 among them) keep the bitmap header elsewhere.
    if (mt.formattype != FORMAT_VideoInfo || !mt.pbFormat || mt.cbFormat < sizeof(VIDEOINFOHEADER))
        return std::nullopt;
    BITMAPINFOHEADER header;
    std::memcpy(&header, mt.pbFormat + offsetof(VIDEOINFOHEADER, bmiHeader), sizeof header);
    if (header.biWidth == 0 || header.biHeight == 0) return std::nullopt;
    return header;
}

void FitHeaderToBuffer(BITMAPINFOHEADER& header, LONG bufferSize) {
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bufferSize);

    // Bits in one column of pixels (all rows); 64-bit because a hostile
    // header may carry any height and bit count.
    const std::int64_t columnBits = std::abs(std::int64_t{header.biHeight}) * header.biBitCount;
    const std::int64_t columnBytes = columnBits / 8;
    if (columnBytes == 0) return;
    const std::int64_t width = header.biWidth;
    const bool pictureFits = std::abs(width) <= std::numeric_limits<std::int64_t>::max() / columnBits;
    if (pictureFits && columnBits * width / 8 == bufferSize) return;
    header.biWidth = static_cast<LONG>(bufferSize / columnBytes);
}
