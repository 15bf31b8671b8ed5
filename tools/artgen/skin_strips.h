#pragma once
// Every skin image of the program, drawn as a strip of cells.
#include <QImage>

#include <vector>

struct SkinStrip {
    int resourceId;
    int cellSize;
    QImage strip;  // cellCount * cellSize x cellSize, ARGB32 premultiplied
};

std::vector<SkinStrip> DrawSkinStrips();
