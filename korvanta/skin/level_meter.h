#pragma once
// A stereo level meter: two horizontal bars, first channel on top, each lit
// from the left as far as its level in striped columns that run from green
// through yellow at the middle to red at the right end. It repaints often,
// so it draws plain columns and no skin cells.
#include <QPoint>

#include <array>

#include "korvanta/skin/skin_rect.h"

class QPainter;
class SkinOwner;

class LevelMeter {
public:
    void SetOwner(SkinOwner* owner) { owner_ = owner; }
    // The whole meter; the bars split it with a 2-pixel gap.
    void SetRect(const SkinRect& rect);
    const SkinRect& GetRect() const { return outer_; }
    void OffsetY(int dy) { SetRect(outer_.Offset(0, dy)); }
    bool HitTest(QPoint point) const { return outer_.Contains(point); }
    // Asks the owner to repaint the meter.
    void Invalidate() const;

    // Draws both bars at their levels (0 to 1; other values are held to that
    // range) and stores the levels. Only the lit columns are drawn: the owner
    // paints the background first.
    void Draw(QPainter& dc, double first, double second);
    // The level last drawn for channel 0 (top) or 1 (bottom).
    double Level(int channel) const { return levels_[channel == 0 ? 0 : 1]; }

private:
    void DrawBar(QPainter& dc, const SkinRect& bar, double level) const;

    SkinOwner* owner_ = nullptr;
    SkinRect outer_;
    SkinRect topBar_;
    SkinRect bottomBar_;
    std::array<double, 2> levels_ = {0.0, 0.0};
};
