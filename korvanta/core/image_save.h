#pragma once
// Saving a picture in one of the still-image formats: "jpg", "bmp", "gif",
// "tif", "png" (compared case-sensitively); "emf" is a known type no encoder
// here writes. quality (0 to 100) is offered to every format; the JPEG
// encoder uses it.
#include <QImage>

#include <filesystem>
#include <string>

// True when the file was written. An unknown type, a missing folder or a
// failed write leave no file and return false.
bool SaveBitmapAsImage(const QImage& image, const std::filesystem::path& path, const std::string& type,
                       int quality);

// A GIF of the picture with a palette of 256 colours chosen from the picture
// itself, so gentle gradients such as skin keep their steps small.
bool SaveGif(const QImage& image, const std::filesystem::path& path);
