#pragma once
// The video renderer's window: a plain widget that paints the latest frame
// smoothly scaled into its whole rectangle (black before the first frame).
// It takes no mouse or key input itself, so presses fall through to the
// owner underneath, which is where the program expects them.
#include <QImage>
#include <QWidget>

class VideoWidget : public QWidget {
public:
    explicit VideoWidget(QWidget* parent = nullptr);

    // Shows frame from the next paint on.
    void SetFrame(QImage frame);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage frame_;  // top-down RGB32
};
