#pragma once
// What the capture side tells the main window about a finished capture file:
// where it is, and copies of the five thumbnails of the capture window when
// the record was the first posted in its tick. The receiver owns the record.
#include <array>
#include <optional>
#include <string>

#include <QImage>

inline constexpr int kThumbnailPositions = 5;

struct FinishedFileRecord {
    std::string folder;
    std::string fileName;  // the name the file was actually written under
    std::optional<std::array<QImage, kThumbnailPositions>> thumbnails;
};
