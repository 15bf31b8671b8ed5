#include "tools/artgen/bitmaps.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include "tools/artgen/cell_painter.h"
#include "tools/artgen/glyphs.h"

namespace {

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(236, 242, 252));
    gradient.setColorAt(1, QColor(196, 210, 234));
    painter.fillRect(image.rect(), gradient);
    return image;
}

// A strip of film with frames, seen at an angle-free side view.
void DrawFilmStrip(QPainter& painter, const QRectF& area, int frames, bool empty) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(44, 48, 60));
    painter.drawRoundedRect(area, 6, 6);
    const qreal hole = area.height() * 0.09;
    painter.setBrush(QColor(236, 240, 248));
    for (qreal x = area.left() + hole; x < area.right() - hole; x += hole * 2.2) {
        painter.drawRoundedRect(QRectF(x, area.top() + hole * 0.6, hole, hole), 1.5, 1.5);
        painter.drawRoundedRect(QRectF(x, area.bottom() - hole * 1.6, hole, hole), 1.5, 1.5);
    }
    const qreal gap = 8;
    const qreal frameWidth = (area.width() - gap * (frames + 1)) / frames;
    const QRectF frameBand(area.left(), area.top() + hole * 2.4, area.width(), area.height() - hole * 4.8);
    for (int i = 0; i < frames; ++i) {
        const QRectF frame(frameBand.left() + gap + i * (frameWidth + gap), frameBand.top(), frameWidth,
                           frameBand.height());
        if (empty) {
            painter.setBrush(QColor(80, 86, 102));
        } else {
            QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
            sky.setColorAt(0, QColor(120, 180, 240));
            sky.setColorAt(0.65, QColor(200, 230, 250));
            sky.setColorAt(0.66, QColor(90, 160, 80));
            sky.setColorAt(1, QColor(50, 110, 50));
            painter.setBrush(sky);
        }
        painter.drawRect(frame);
    }
}

}  // namespace

QImage DrawAboutPicture() {
    QImage image = Canvas(320, 304);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(QRect(112, 28, 96, 96), PaintEmblem(96));

    QFont title("DejaVu Sans");
    title.setBold(true);
    title.setPixelSize(34);
    painter.setFont(title);
    painter.setPen(QColor(20, 60, 130));
    painter.drawText(QRect(0, 136, 320, 44), Qt::AlignCenter, "Korvanta");

    QFont subtitle("DejaVu Sans");
    subtitle.setPixelSize(14);
    painter.setFont(subtitle);
    painter.setPen(QColor(60, 70, 90));
    painter.drawText(QRect(0, 180, 320, 24), Qt::AlignCenter, "One tape, one file per scene");

    DrawFilmStrip(painter, QRectF(24, 222, 272, 58), 4, false);
    return image;
}

QImage DrawProgressBackground() {
    QImage image = Canvas(320, 304);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(QRect(16, 24, 48, 48), PaintEmblem(48));

    // The trough under the bar, which the window fills from (19, 81) to (84, 91)
    // less 2 pixels on every side.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(128, 128, 138));
    painter.setBrush(QColor(250, 252, 255));
    painter.drawRect(QRect(19, 81, 64, 9));
    painter.setPen(QColor(240, 240, 250));
    painter.drawLine(20, 91, 84, 91);
    painter.drawLine(84, 82, 84, 91);

    painter.setRenderHint(QPainter::Antialiasing);
    DrawFilmStrip(painter, QRectF(96, 30, 204, 62), 3, false);
    DrawFilmStrip(painter, QRectF(24, 120, 272, 62), 4, true);
    DrawFilmStrip(painter, QRectF(24, 206, 272, 62), 4, true);
    return image;
}

QImage DrawEmptyFolderPicture() {
    QImage image = Canvas(520, 429);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // An open folder with an empty film strip: no videos here yet.
    painter.setPen(QPen(QColor(150, 110, 30), 2));
    painter.setBrush(QColor(240, 200, 110));
    painter.drawRoundedRect(QRectF(110, 90, 130, 40), 10, 10);
    painter.drawRoundedRect(QRectF(110, 110, 300, 200), 14, 14);
    DrawFilmStrip(painter, QRectF(140, 150, 240, 80), 3, true);
    painter.setBrush(QColor(250, 214, 130));
    painter.drawPolygon(QPolygonF({QPointF(96, 200), QPointF(424, 200), QPointF(400, 320), QPointF(120, 320)}));

    // The camcorder that fills it.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 70, 96));
    painter.drawPath(GlyphPath(Glyph::Camcorder, QRectF(200, 330, 120, 80)));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawEllipse(QPointF(232, 378), 6, 6);
    return image;
}
