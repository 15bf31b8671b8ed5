#include "korvanta/skin/progress_window.h"

#include <QPainter>

#include <algorithm>

#include "korvanta/resources/resource_names.h"

ProgressWindow::ProgressWindow() {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the bitmap covers every pixel
}

bool ProgressWindow::Create(QWidget* mainWindow) {
    setParent(mainWindow, Qt::Tool | Qt::FramelessWindowHint);
    const bool loaded = background_.load(QString::fromStdString(BitmapResourcePath(kBitmapId)));
    const QPoint centre = geometry().center();
    if (loaded)
        setFixedSize(background_.size());
    else
        setFixedSize(kBarRight + kBarLeft, kBarBottom + kBarLeft);
    move(centre - QPoint(width() / 2, height() / 2));
    percent_ = 0;
    return loaded;
}

void ProgressWindow::ShowCentred() {
    if (const QWidget* parent = parentWidget()) {
        const QRect owner(parent->mapToGlobal(QPoint(0, 0)), parent->size());
        move(owner.left() + (owner.width() - width()) / 2, owner.top() + (owner.height() - height()) / 2);
    }
    show();
    repaint();
}

void ProgressWindow::SetPercent(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    repaint();
}

QImage ProgressWindow::Render() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter dc(&image);
    Paint(dc);
    return image;
}

void ProgressWindow::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    Paint(dc);
}

void ProgressWindow::Paint(QPainter& dc) const {
    if (background_.isNull())
        dc.fillRect(rect(), palette().window());
    else
        dc.drawImage(0, 0, background_);
    const int left = kBarLeft + 2, top = kBarTop + 2, bottom = kBarBottom - 2;
    const int right = left + (kBarRight - 2 - left) * percent_ / 100;
    if (right > left)
        dc.fillRect(QRect(left, top, right - left, bottom - top), QColor(0x00, 0x93, 0xDD));
}
