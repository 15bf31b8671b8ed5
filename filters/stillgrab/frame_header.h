#pragma once
// The bitmap header that travels with a grabbed frame: taken from the
// stream's video format, then fitted to the bytes actually copied.
#include <optional>

#include "platform/media/formats.h"

// The BITMAPINFOHEADER of a FORMAT_VideoInfo type whose picture has a width
// and a height; nothing for any other type, a missing or short format block.
std::optional<BITMAPINFOHEADER> PictureHeaderOf(const AM_MEDIA_TYPE& mt);

// Makes header describe a copied buffer of bufferSize bytes: uncompressed,
// biSizeImage = bufferSize, and when the buffer holds more (or fewer) columns
// than biWidth says, as with a padded stride, biWidth becomes the number of
// columns the buffer holds.
void FitHeaderToBuffer(BITMAPINFOHEADER& header, LONG bufferSize);
