#pragma once
// One skin image: a strip of square cells with per-pixel alpha, from a "SAB"
// resource compiled into the program. Controls draw one cell per state and
// use its alpha to decide whether the mouse hits a round button.
#include <QPoint>

#include <cstdint>
#include <span>
#include <vector>

class QPainter;

class SkinImage {
public:
    SkinImage() = default;

    // Loads the "SAB" resource of that id. On failure (no such resource, or
    // data that is not a valid image) returns false and keeps what it held.
    bool LoadSkinImage(int resourceId);
    // The same for image data in the "SAB" format.
    bool LoadSkinImageData(std::span<const std::uint8_t> data);

    int CellCount() const { return height_ ? width_ / height_ : 0; }
    int CellSize() const { return height_; }
    int Width() const { return width_; }
    std::size_t ByteSize() const { return pixels_.size(); }

    // Blends the cell with its top-left corner at (x, y): each visible pixel
    // becomes (device * (255 - a) + image * a) / 255 per colour channel.
    // Pixels outside the painter's clip are left alone; a cell index outside
    // 0 to CellCount() - 1 draws nothing. Painting on a 32-bit QImage blends
    // pixel by pixel (the painter may be translated, not scaled); other
    // devices receive the cell through Qt's own alpha blending.
    void DrawCell(QPainter& dc, int x, int y, int cell) const;

    // True when test lies in the cell placed at origin and the cell's pixel
    // there is not fully transparent.
    bool HitTestCell(int cell, QPoint origin, QPoint test) const;

private:
    // The ARGB bytes of pixel (column, row) of a cell.
    const std::uint8_t* CellPixel(int cell, int column, int row) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// The images that every window shares, loaded once at start-up: the mute
// toggle (180), the tape transport buttons (181), the frame-capture button
// (183) and the slider thumb (189). Returns false when one is missing.
bool LoadSharedSkinImages();
// A shared image by resource id; an empty image for an id that is not shared.
const SkinImage& SharedSkinImage(int resourceId);
