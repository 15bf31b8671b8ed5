#include "korvanta/skin/skin_frames.h"

#include <QPainter>

void DrawFrameRect(QPainter& dc, const SkinRect& rect, QRgb colour) {
    Draw3dRect(dc, rect, colour, colour);
}

void Draw3dRect(QPainter& dc, const SkinRect& rect, QRgb topLeft, QRgb bottomRight) {
    if (rect.IsEmpty()) return;
    const int width = rect.Width();
    const int height = rect.Height();
    dc.fillRect(rect.left, rect.top, width - 1, 1, QColor(topLeft));
    dc.fillRect(rect.left, rect.top, 1, height - 1, QColor(topLeft));
    dc.fillRect(rect.right - 1, rect.top, 1, height, QColor(bottomRight));
    dc.fillRect(rect.left, rect.bottom - 1, width, 1, QColor(bottomRight));
}
