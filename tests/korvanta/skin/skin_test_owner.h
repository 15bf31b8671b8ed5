#pragma once
// A real owner widget for the drawn controls, as the program's windows will
// be: it paints its controls over a plain background, follows the owner's
// mouse protocol for its bars and drags its sliders. Tests drive it with
// QTest mouse events and read pixels from Render().
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <memory>
#include <vector>

#include "korvanta/skin/level_meter.h"
#include "korvanta/skin/skin_button_bar.h"
#include "korvanta/skin/skin_mouse_protocol.h"
#include "korvanta/skin/skin_owner.h"
#include "korvanta/skin/skin_slider.h"

namespace kvtest {

inline constexpr QRgb kBackground = qRgb(0x20, 0x30, 0x40);

class SkinTestOwner : public QWidget, public SkinOwner {
public:
    explicit SkinTestOwner(QSize size);

    void AddBar(SkinButtonBar& bar);
    void AddSlider(SkinSlider& slider);
    void AddMeter(LevelMeter& meter, double first, double second);

    // The controls drawn over the background into a 32-bit image, the way
    // paintEvent draws them on screen.
    QImage Render() const;

    void InvalidateArea(const SkinRect& area) override;
    QFont OwnerFont() const override { return font(); }

    // What the owner saw: the commands of released buttons, the slider
    // positions read at release, and every area it was asked to repaint.
    std::vector<PressedButton> clicks;
    std::vector<int> releasedPositions;
    std::vector<SkinRect> invalidated;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct MeterLevels {
        LevelMeter* meter;
        double first, second;
    };
    void Paint(QPainter& dc) const;

    SkinMouseProtocol protocol_;
    std::vector<SkinButtonBar*> bars_;
    std::vector<SkinSlider*> sliders_;
    std::vector<MeterLevels> meters_;
};

// One QApplication per test, on the offscreen platform.
class SkinWidgetTest : public testing::Test {
protected:
    int argc_ = 0;
    QApplication application_{argc_, nullptr};
};

// Sends the owner a leave event, as Qt does when the mouse leaves the window.
void SendLeave(QWidget& widget);

}  // namespace kvtest
