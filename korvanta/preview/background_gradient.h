#pragma once
// The program's background: a horizontal gradient from RGB(236, 242, 245) at
// the left to RGB(193, 211, 222) at the right, drawn as vertical strips.
#include <QRect>

class QPainter;

// steps strips (held to 1 .. the rectangle's width), each width / steps
// pixels wide, the last reaching the right edge; each channel advances by
// (right - left) * 256 / steps in 8.8 fixed point per strip.
void DrawBackgroundGradient(QPainter& painter, const QRect& rect, int steps);
