#pragma once
// A rectangle by its edges, the way the drawn controls compute their layout:
// left and top are inside, right and bottom are the first column and row
// outside. Width and height are plain differences, so the layout formulas of
// the controls read as edge arithmetic without off-by-one corrections.
#include <QPoint>
#include <QRect>

struct SkinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(QPoint point) const {
        return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
    }
    SkinRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    // The same pixels as a Qt rectangle (whose right and bottom are inside).
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }

    bool operator==(const SkinRect&) const = default;
};
