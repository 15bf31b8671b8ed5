#pragma once
// The small window the main window shows while it scans its folder: the
// picture of bitmap 203 with a bar that fills from left to right.
#include <QImage>
#include <QWidget>

class ProgressWindow final : public QWidget {
public:
    static constexpr int kBitmapId = 203;
    // The bar's area in client coordinates, before its 2-pixel inset.
    static constexpr int kBarLeft = 19, kBarTop = 81, kBarRight = 84, kBarBottom = 91;

    ProgressWindow();

    // Makes the window a child window of mainWindow with the bitmap as its
    // client area, centred on where it was. Returns false when the bitmap is
    // missing (the window then shows only the bar).
    bool Create(QWidget* mainWindow);
    // Centres the window over its parent, shows it and paints it at once.
    void ShowCentred();
    void Hide() { hide(); }
    // Stores the percentage (held to 0 to 100) and repaints at once.
    void SetPercent(int percent);
    int Percent() const { return percent_; }

    // The window's picture as painted, for tests and screenshots.
    QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& dc) const;

    QImage background_;
    int percent_ = 0;
};
