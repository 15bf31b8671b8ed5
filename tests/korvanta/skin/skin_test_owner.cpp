#include "skin_test_owner.h"

#include <QMouseEvent>
#include <QPainter>

namespace kvtest {

SkinTestOwner::SkinTestOwner(QSize size) {
    resize(size);
    setMouseTracking(true);
}

void SkinTestOwner::AddBar(SkinButtonBar& bar) {
    bars_.push_back(&bar);
    protocol_.AddBar(bar);
}

void SkinTestOwner::AddSlider(SkinSlider& slider) { sliders_.push_back(&slider); }

void SkinTestOwner::AddMeter(LevelMeter& meter, double first, double second) {
    meters_.push_back({&meter, first, second});
}

QImage SkinTestOwner::Render() const {
    QImage image(size(), QImage::Format_RGB32);
    QPainter dc(&image);
    Paint(dc);
    return image;
}

void SkinTestOwner::Paint(QPainter& dc) const {
    dc.fillRect(rect(), QColor(kBackground));
    for (const SkinButtonBar* bar : bars_) bar->Draw(dc);
    for (const SkinSlider* slider : sliders_) slider->Draw(dc);
    for (const MeterLevels& levels : meters_) levels.meter->Draw(dc, levels.first, levels.second);
}

void SkinTestOwner::InvalidateArea(const SkinRect& area) {
    invalidated.push_back(area);
    update(area.ToQRect());
}

void SkinTestOwner::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    Paint(dc);
}

void SkinTestOwner::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    protocol_.Press(event->position().toPoint());
    for (SkinSlider* slider : sliders_) slider->Drag(event->position().toPoint(), true);
}

void SkinTestOwner::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const bool held = (event->buttons() & Qt::LeftButton) != 0;
    protocol_.Move(point, held);
    for (SkinSlider* slider : sliders_) {
        if (slider->IsDragging())
            slider->Drag(point, false);
        else
            slider->Hover(point, true);
    }
}

void SkinTestOwner::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const std::optional<PressedButton> pressed = protocol_.Release(event->position().toPoint()))
        clicks.push_back(*pressed);
    for (SkinSlider* slider : sliders_) {
        if (!slider->IsDragging()) continue;
        releasedPositions.push_back(slider->Position());
        slider->SpringBack();
        slider->SetDragging(false);
    }
}

void SkinTestOwner::leaveEvent(QEvent*) { protocol_.Leave(); }

void SendLeave(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

}  // namespace kvtest
