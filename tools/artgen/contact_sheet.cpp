#include "tools/artgen/contact_sheet.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 16;
constexpr int kLabelHeight = 22;
constexpr int kCellGap = 6;
constexpr int kCellsPerLine = 12;
constexpr int kCellTarget = 64;  // enlarged cells are about this big

int ScaleFor(int cellSize) { return std::max(1, kCellTarget / cellSize); }

void DrawChecker(QPainter& painter, const QRect& area) {
    constexpr int kSquare = 8;
    painter.save();
    painter.setClipRect(area);
    for (int y = area.top(); y <= area.bottom(); y += kSquare)
        for (int x = area.left(); x <= area.right(); x += kSquare)
            painter.fillRect(x, y, kSquare, kSquare,
                             ((x - area.left()) / kSquare + (y - area.top()) / kSquare) % 2 ? QColor(200, 200, 204)
                                                                                          : QColor(244, 244, 248));
    painter.restore();
}

int StripHeight(const SkinStrip& strip) {
    const int cells = strip.strip.width() / strip.cellSize;
    const int lines = (cells + kCellsPerLine - 1) / kCellsPerLine;
    return kLabelHeight + lines * (strip.cellSize * ScaleFor(strip.cellSize) + kCellGap + 14) + kMargin;
}

}  // namespace

QImage DrawContactSheet(const std::vector<SkinStrip>& strips, const std::vector<NamedPicture>& pictures) {
    int width = 0;
    int height = kMargin;
    for (const SkinStrip& strip : strips) {
        const int enlarged = strip.cellSize * ScaleFor(strip.cellSize) + kCellGap;
        width = std::max(width, kCellsPerLine * enlarged);
        height += StripHeight(strip);
    }
    int picturesWidth = 0;
    int picturesHeight = 0;
    for (const NamedPicture& named : pictures) {
        picturesWidth += named.picture.width() + kMargin;
        picturesHeight = std::max(picturesHeight, named.picture.height());
    }
    width = std::max(width, picturesWidth) + 2 * kMargin;
    height += kLabelHeight + picturesHeight + kMargin;

    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter painter(&sheet);
    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    painter.setFont(font);

    int y = kMargin;
    for (const SkinStrip& strip : strips) {
        const int cells = strip.strip.width() / strip.cellSize;
        const int scale = ScaleFor(strip.cellSize);
        const int enlarged = strip.cellSize * scale;
        painter.setPen(Qt::black);
        painter.drawText(kMargin, y + 15,
                         QString("SAB %1: %2 x %3, %4 cells of %5 pixels")
                             .arg(strip.resourceId).arg(strip.strip.width()).arg(strip.cellSize).arg(cells)
                             .arg(strip.cellSize));
        y += kLabelHeight;
        for (int cell = 0; cell < cells; ++cell) {
            const int x = kMargin + (cell % kCellsPerLine) * (enlarged + kCellGap);
            const int top = y + (cell / kCellsPerLine) * (enlarged + kCellGap + 14);
            const QRect target(x, top, enlarged, enlarged);
            DrawChecker(painter, target);
            const QImage cellImage = strip.strip.copy(cell * strip.cellSize, 0, strip.cellSize, strip.cellSize);
            painter.drawImage(target, cellImage.scaled(enlarged, enlarged, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            painter.setPen(QColor(90, 90, 100));
            painter.drawText(QRect(x, top + enlarged, enlarged, 14), Qt::AlignCenter, QString::number(cell));
        }
        y += StripHeight(strip) - kLabelHeight;
    }

    int x = kMargin;
    for (const NamedPicture& named : pictures) {
        painter.setPen(Qt::black);
        painter.drawText(x, y + 15,
                         QString("Bitmap %1: %2 x %3").arg(named.resourceId).arg(named.picture.width())
                             .arg(named.picture.height()));
        painter.drawImage(x, y + kLabelHeight, named.picture);
        x += named.picture.width() + kMargin;
    }
    return sheet;
}
