#include "tools/screenshots/window_frame.h"

#include <QApplication>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

namespace {
constexpr int kMargin = 16;
constexpr int kTitleHeight = 26;
constexpr int kBorder = 1;
}  // namespace

QPoint FramedClientOffset() { return QPoint(kMargin + kBorder, kMargin + kTitleHeight); }

void DrawPointer(QImage& canvas, QPoint point) {
    QPainter dc(&canvas);
    dc.setRenderHint(QPainter::Antialiasing);
    const QPolygonF arrow({QPointF(0, 0), QPointF(0, 16), QPointF(4, 12.5), QPointF(7, 18.5), QPointF(9.5, 17.5),
                           QPointF(6.5, 11.5), QPointF(11.5, 11.5)});
    dc.translate(point);
    dc.setPen(QPen(Qt::black, 1));
    dc.setBrush(Qt::white);
    dc.drawPolygon(arrow);
}

QImage Backdrop(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter dc(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(0x5A, 0x7E, 0xA8));
    gradient.setColorAt(1, QColor(0x2E, 0x4A, 0x6E));
    dc.fillRect(image.rect(), gradient);
    return image;
}

void DrawPopup(QImage& canvas, const QImage& picture, QPoint topLeft) {
    QPainter dc(&canvas);
    for (int i = 4; i > 0; --i)
        dc.fillRect(QRect(topLeft + QPoint(i, i), picture.size()), QColor(0, 0, 0, 22));
    dc.drawImage(topLeft, picture);
}

QImage FramedWindow(QWidget& window) {
    window.show();
    QApplication::processEvents();
    const QImage client = window.grab().toImage();
    const QSize outer(client.width() + 2 * kBorder, client.height() + kTitleHeight + kBorder);
    QImage image = Backdrop(outer.width() + 2 * kMargin, outer.height() + 2 * kMargin);
    QPainter dc(&image);
    const QRect frame(QPoint(kMargin, kMargin), outer);
    dc.fillRect(frame.translated(4, 4), QColor(0, 0, 0, 60));
    QLinearGradient title(frame.topLeft(), frame.topLeft() + QPoint(0, kTitleHeight));
    title.setColorAt(0, QColor(0xF4, 0xF6, 0xFA));
    title.setColorAt(1, QColor(0xDC, 0xE2, 0xEC));
    dc.fillRect(frame, title);
    dc.setPen(QColor(0x70, 0x78, 0x88));
    dc.drawRect(frame.adjusted(0, 0, -1, -1));
    QFont bold = window.font();
    bold.setBold(true);
    dc.setFont(bold);
    dc.setPen(QColor(0x20, 0x28, 0x38));
    int titleLeft = frame.left() + 10;
    if (!window.windowIcon().isNull()) {
        dc.drawPixmap(titleLeft, frame.top() + 5, window.windowIcon().pixmap(16, 16));
        titleLeft += 22;
    }
    dc.drawText(QRect(titleLeft, frame.top(), frame.width() - 60, kTitleHeight), Qt::AlignVCenter | Qt::AlignLeft,
                window.windowTitle());
    // A close box, as every dialog has.
    const QRect close(frame.right() - 26, frame.top() + 5, 16, 16);
    dc.setRenderHint(QPainter::Antialiasing);
    dc.setPen(QPen(QColor(0x40, 0x48, 0x58), 1.6));
    dc.drawLine(close.topLeft() + QPoint(4, 4), close.bottomRight() - QPoint(4, 4));
    dc.drawLine(close.topRight() + QPoint(-4, 4), close.bottomLeft() + QPoint(4, -4));
    dc.drawImage(frame.left() + kBorder, frame.top() + kTitleHeight, client);
    return image;
}
