#include "korvanta/capturewindow/capture_area_layout.h"

#include <algorithm>

namespace {

// Corners given as left, top, right, bottom (the window layer's rectangles).
QRect FromCorners(int left, int top, int right, int bottom) {
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

}  // namespace

CaptureAreaLayout LayOutCaptureArea(const CaptureAreaSizes& sizes, int x, int y, int width) {
    CaptureAreaLayout layout;
    layout.video = QRect(width / 2 - sizes.displayWidth / 2, 4, sizes.displayWidth, sizes.displayHeight);

    const int cellWidth = (width - 8) / 5;
    const int remainder = (width - 8) % 5;
    const int videoWidth = std::max(1, sizes.videoWidth);
    const int aspectHeight = sizes.wide ? videoWidth * 9 / 16 : videoWidth * 3 / 4;
    const int height = aspectHeight * cellWidth / videoWidth;
    int left = x + 6;
    for (int i = 0; i < 5; ++i) {
        const int cell = cellWidth - 4 + (i < remainder ? 1 : 0);
        layout.thumbnails[i] = FromCorners(left, y + 2, left + cell, y + height - 2);
        left += cell + 4;
    }

    const int below = sizes.displayHeight;
    layout.meter = FromCorners(x + 62, below + 14, x + width / 2 - 2, below + 26);
    layout.mute = FromCorners(x + 40, below + 10, x + 58, below + 27);
    return layout;
}
