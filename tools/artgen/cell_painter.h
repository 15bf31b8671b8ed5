#pragma once
// Draws one square cell of a skin image: a button in one of its states.
#include <QColor>
#include <QImage>

#include "tools/artgen/glyphs.h"

// The states in the order controls use for four-cell buttons.
enum class CellState { Normal, Hot, Pressed, Disabled };

enum class CellFace {
    Disc,          // a round button with a raised face
    RoundedSquare, // a square button with rounded corners
    GlyphOnly,     // only the symbol, on a transparent cell
};

struct CellStyle {
    CellFace face;
    // Colour of the symbol on a normal button and under the mouse; a pressed
    // button shows the hot colour darker, a disabled one grey.
    QColor glyphColour;
    QColor hotGlyphColour;
};

// A size x size cell, ARGB32 premultiplied, transparent outside the button.
QImage PaintCell(int size, Glyph glyph, CellState state, const CellStyle& style);

// The slider thumb: a 9 x 9 knob in the cell's top-left corner (the slider
// draws the cell at the thumb's corner), the rest transparent.
QImage PaintThumbCell(int size, CellState state);

// The capture indicator lamp, off or lit.
QImage PaintLampCell(int size, bool lit);

// The program's emblem: a camcorder on a round blue badge.
QImage PaintEmblem(int size);
