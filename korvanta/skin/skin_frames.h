#pragma once
// The frames and edge colours that the drawn controls share.
#include <QRgb>

#include "korvanta/skin/skin_rect.h"

class QPainter;

namespace skin_colours {
// The light and dark edges of raised and sunken frames.
inline constexpr QRgb kLightEdge = qRgb(0xF0, 0xF0, 0xFA);
inline constexpr QRgb kDarkEdge = qRgb(0x80, 0x80, 0x8A);
// The same edges of a checked (latched) element, tinted green.
inline constexpr QRgb kCheckedLightEdge = qRgb(0xF0, 0xFF, 0xF0);
inline constexpr QRgb kCheckedDarkEdge = qRgb(0x80, 0x94, 0x80);
// The flat one-pixel frames of resting elements.
inline constexpr QRgb kFlatFrame = qRgb(0xA8, 0xA8, 0xB2);
inline constexpr QRgb kCheckedFrame = qRgb(0x80, 0xFF, 0xC6);
// The mark in the middle of a centred slider.
inline constexpr QRgb kCentreMark = qRgb(0xF0, 0x40, 0x40);
}  // namespace skin_colours

// A one-pixel outline along the inside of the rectangle.
void DrawFrameRect(QPainter& dc, const SkinRect& rect, QRgb colour);

// A one-pixel 3D outline: the top and left edges in one colour, the right and
// bottom edges in the other; the top-right and bottom-left corners belong to
// the bottom-right edges.
void Draw3dRect(QPainter& dc, const SkinRect& rect, QRgb topLeft, QRgb bottomRight);
