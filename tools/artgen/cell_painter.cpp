#include "tools/artgen/cell_painter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

QImage TransparentCell(int size) {
    QImage cell(size, size, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    return cell;
}

// Face colours of a button, top and bottom of its gradient, and its rim.
struct FaceColours {
    QColor top, bottom, rim;
};

FaceColours FaceFor(CellState state) {
    switch (state) {
        case CellState::Normal: return {QColor(250, 251, 255), QColor(200, 206, 222), QColor(120, 126, 146)};
        case CellState::Hot: return {QColor(255, 255, 255), QColor(196, 224, 255), QColor(40, 120, 210)};
        case CellState::Pressed: return {QColor(170, 184, 210), QColor(224, 230, 244), QColor(30, 80, 160)};
        case CellState::Disabled: return {QColor(236, 236, 240), QColor(218, 218, 224), QColor(176, 176, 186)};
    }
    return {};
}

QColor GlyphColourFor(CellState state, const CellStyle& style) {
    switch (state) {
        case CellState::Normal: return style.glyphColour;
        case CellState::Hot: return style.hotGlyphColour;
        case CellState::Pressed: return style.hotGlyphColour.darker(140);
        case CellState::Disabled: return QColor(168, 168, 178);
    }
    return style.glyphColour;
}

// How far the symbol stays from the edge of a button face; round faces need
// more room than square ones.
qreal GlyphInset(CellFace face) {
    switch (face) {
        case CellFace::Disc: return 0.24;
        case CellFace::RoundedSquare: return 0.14;
        case CellFace::GlyphOnly: return 0.0;
    }
    return 0.0;
}

void PaintFace(QPainter& painter, int size, CellFace face, CellState state) {
    const FaceColours colours = FaceFor(state);
    const QRectF bounds(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, colours.top);
    gradient.setColorAt(1, colours.bottom);
    painter.setBrush(gradient);
    painter.setPen(QPen(colours.rim, 1.0));
    if (face == CellFace::Disc) {
        painter.drawEllipse(bounds);
    } else {
        const qreal radius = size * 0.22;
        painter.drawRoundedRect(bounds, radius, radius);
    }
    if (state == CellState::Hot) {
        // A soft inner glow says "click me".
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(120, 190, 255, 150), 1.0));
        const QRectF inner = bounds.adjusted(1, 1, -1, -1);
        if (face == CellFace::Disc) painter.drawEllipse(inner);
        else painter.drawRoundedRect(inner, size * 0.18, size * 0.18);
    }
}

}  // namespace

QImage PaintCell(int size, Glyph glyph, CellState state, const CellStyle& style) {
    QImage cell = TransparentCell(size);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);

    if (style.face != CellFace::GlyphOnly) PaintFace(painter, size, style.face, state);
    const qreal inset = size * GlyphInset(style.face);
    const QRectF glyphBox = QRectF(0, 0, size, size).adjusted(inset, inset, -inset, -inset);
    const QColor colour = GlyphColourFor(state, style);
    const QPainterPath path = GlyphPath(glyph, glyphBox);
    if (style.face == CellFace::GlyphOnly && state != CellState::Disabled) {
        // A light edge keeps a bare symbol readable on dark backgrounds.
        painter.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(path);
    return cell;
}

QImage PaintThumbCell(int size, CellState state) {
    QImage cell = TransparentCell(size);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    const FaceColours colours = FaceFor(state);
    QRadialGradient gradient(QPointF(3.2, 3.0), 5.5);
    gradient.setColorAt(0, colours.top);
    gradient.setColorAt(1, colours.bottom.darker(state == CellState::Disabled ? 100 : 112));
    painter.setBrush(gradient);
    painter.setPen(QPen(colours.rim, 1.0));
    painter.drawEllipse(QRectF(0.5, 0.5, 8.0, 8.0));
    return cell;
}

QImage PaintLampCell(int size, bool lit) {
    QImage cell = TransparentCell(size);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    const qreal radius = size * 0.36;
    QRadialGradient gradient(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.3);
    gradient.setColorAt(0, lit ? QColor(255, 170, 160) : QColor(235, 235, 240));
    gradient.setColorAt(0.5, lit ? QColor(230, 30, 30) : QColor(150, 150, 160));
    gradient.setColorAt(1, lit ? QColor(140, 0, 0) : QColor(90, 90, 100));
    if (lit) {
        // The glow around a lit lamp.
        QRadialGradient glow(centre, size / 2.0);
        glow.setColorAt(0.6, QColor(255, 40, 40, 140));
        glow.setColorAt(1, QColor(255, 40, 40, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(centre, size / 2.0, size / 2.0);
    }
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(60, 60, 70), 1.0));
    painter.drawEllipse(centre, radius, radius);
    return cell;
}

QImage PaintEmblem(int size) {
    QImage cell = TransparentCell(size);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomRight());
    gradient.setColorAt(0, QColor(90, 170, 240));
    gradient.setColorAt(1, QColor(20, 70, 150));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(10, 40, 100), 1.0));
    painter.drawEllipse(bounds);
    const qreal inset = size * 0.18;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(GlyphPath(Glyph::Camcorder, bounds.adjusted(inset, inset, -inset, -inset)));
    painter.setBrush(QColor(230, 30, 30));
    painter.drawEllipse(QPointF(size * 0.30, size * 0.60), size * 0.06, size * 0.06);
    return cell;
}
