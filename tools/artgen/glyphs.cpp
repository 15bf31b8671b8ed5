#include "tools/artgen/glyphs.h"

#include <QFont>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

// Shapes are built in a unit square (0..1 on both axes) and scaled at the end.
QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath Rect(qreal left, qreal top, qreal right, qreal bottom) {
    QPainterPath path;
    path.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
    return path;
}

QPainterPath Circle(qreal cx, qreal cy, qreal radius) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), radius, radius);
    return path;
}

// A line of the given width turned into a filled outline.
QPainterPath Stroke(const QPainterPath& line, qreal width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

QPainterPath Mirrored(const QPainterPath& path) {
    return QTransform(-1, 0, 0, 1, 1, 0).map(path);
}

QPainterPath Text(const QString& text) {
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(100);
    QPainterPath path;
    path.addText(0, 0, font, text);
    // Centre the letters in the unit square with a little room around them.
    const QRectF bounds = path.boundingRect();
    const qreal scale = 0.62 / std::max(bounds.width(), bounds.height());
    QTransform transform;
    transform.translate(0.5, 0.5);
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}

// A small clock face, the sign of "a pause longer than the chosen length".
QPainterPath Clock(qreal cx, qreal cy, qreal radius) {
    QPainterPath ring = Circle(cx, cy, radius).subtracted(Circle(cx, cy, radius * 0.72));
    QPainterPath hands;
    hands.moveTo(cx, cy - radius * 0.55);
    hands.lineTo(cx, cy);
    hands.lineTo(cx + radius * 0.45, cy);
    return ring.united(Stroke(hands, radius * 0.24));
}

// A scene cut: a vertical bar with a flag, placed before the main symbol.
QPainterPath SceneMark(qreal x) {
    return Rect(x, 0.22, x + 0.09, 0.78).united(Polygon({{x + 0.09, 0.22}, {x + 0.24, 0.30}, {x + 0.09, 0.38}}));
}

QPainterPath Speaker() {
    return Polygon({{0.10, 0.38}, {0.28, 0.38}, {0.50, 0.16}, {0.50, 0.84}, {0.28, 0.62}, {0.10, 0.62}});
}

QPainterPath Gear() {
    QPainterPath gear = Circle(0.5, 0.5, 0.30);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath box = Rect(0.43, 0.08, 0.57, 0.30);
        QTransform turn;
        turn.translate(0.5, 0.5);
        turn.rotate(tooth * 45.0);
        turn.translate(-0.5, -0.5);
        gear = gear.united(turn.map(box));
    }
    return gear.subtracted(Circle(0.5, 0.5, 0.13));
}

QPainterPath UnitGlyph(Glyph glyph) {
    switch (glyph) {
        case Glyph::Play: return Polygon({{0.26, 0.14}, {0.86, 0.5}, {0.26, 0.86}});
        case Glyph::Pause: return Rect(0.22, 0.16, 0.42, 0.84).united(Rect(0.58, 0.16, 0.78, 0.84));
        case Glyph::Stop: return Rect(0.20, 0.20, 0.80, 0.80);
        case Glyph::FastForward:
            return Polygon({{0.06, 0.2}, {0.5, 0.5}, {0.06, 0.8}}).united(Polygon({{0.5, 0.2}, {0.94, 0.5}, {0.5, 0.8}}));
        case Glyph::FastBack: return Mirrored(UnitGlyph(Glyph::FastForward));
        case Glyph::SlowForward: {
            // A hollow arrow: play, gently.
            const QPainterPath outer = Polygon({{0.24, 0.12}, {0.88, 0.5}, {0.24, 0.88}});
            const QPainterPath inner = Polygon({{0.38, 0.36}, {0.64, 0.5}, {0.38, 0.64}});
            return outer.subtracted(inner);
        }
        case Glyph::SlowBack: return Mirrored(UnitGlyph(Glyph::SlowForward));
        case Glyph::StepForward:
            return Polygon({{0.14, 0.18}, {0.64, 0.5}, {0.14, 0.82}}).united(Rect(0.70, 0.18, 0.86, 0.82));
        case Glyph::StepBack: return Mirrored(UnitGlyph(Glyph::StepForward));
        case Glyph::Record: return Circle(0.5, 0.5, 0.30);
        case Glyph::RecordOnScene: return SceneMark(0.12).united(Circle(0.64, 0.5, 0.24));
        case Glyph::RecordOnLongPause: return Clock(0.28, 0.5, 0.20).united(Circle(0.70, 0.5, 0.22));
        case Glyph::StopOnScene: return SceneMark(0.12).united(Rect(0.44, 0.28, 0.88, 0.72));
        case Glyph::StopOnLongPause: return Clock(0.28, 0.5, 0.20).united(Rect(0.52, 0.30, 0.92, 0.70));
        case Glyph::Camcorder: {
            QPainterPath body;
            body.addRoundedRect(QRectF(0.08, 0.34, 0.56, 0.40), 0.08, 0.08);
            const QPainterPath lens = Polygon({{0.64, 0.54}, {0.92, 0.36}, {0.92, 0.72}});
            const QPainterPath reels = Circle(0.24, 0.24, 0.11).united(Circle(0.48, 0.24, 0.11));
            return body.united(lens).united(reels);
        }
        case Glyph::Help: return Text("?");
        case Glyph::Settings: return Gear();
        case Glyph::SoundOn: {
            QPainterPath waves;
            waves.arcMoveTo(QRectF(0.34, 0.30, 0.36, 0.40), -50);
            waves.arcTo(QRectF(0.34, 0.30, 0.36, 0.40), -50, 100);
            waves.arcMoveTo(QRectF(0.30, 0.14, 0.60, 0.72), -50);
            waves.arcTo(QRectF(0.30, 0.14, 0.60, 0.72), -50, 100);
            return Speaker().united(Stroke(waves, 0.08));
        }
        case Glyph::SoundOff: {
            QPainterPath cross;
            cross.moveTo(0.62, 0.36);
            cross.lineTo(0.88, 0.64);
            cross.moveTo(0.88, 0.36);
            cross.lineTo(0.62, 0.64);
            return Speaker().united(Stroke(cross, 0.10));
        }
        case Glyph::StopAll:
            // Three stop squares stacked: stop every player.
            return Rect(0.14, 0.14, 0.56, 0.56).united(Rect(0.29, 0.29, 0.71, 0.71)).united(Rect(0.44, 0.44, 0.86, 0.86));
        case Glyph::About: return Text("i");
        case Glyph::StillCamera: {
            QPainterPath body;
            body.addRoundedRect(QRectF(0.08, 0.30, 0.84, 0.52), 0.10, 0.10);
            const QPainterPath bump = Rect(0.34, 0.18, 0.62, 0.32);
            return body.united(bump).subtracted(Circle(0.5, 0.56, 0.16)).united(Circle(0.5, 0.56, 0.08));
        }
    }
    return {};
}

}  // namespace

QPainterPath GlyphPath(Glyph glyph, const QRectF& box) {
    QTransform toBox;
    toBox.translate(box.left(), box.top());
    toBox.scale(box.width(), box.height());
    return toBox.map(UnitGlyph(glyph).simplified());
}
