#include "korvanta/skin/level_meter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "korvanta/skin/skin_owner.h"

namespace {

constexpr int kBlue = 0x60;

// A level as the meter shows it: silence for anything that is not a number.
double HeldLevel(double level) { return std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0); }

// How far column i lies from the middle column, as 255 * distance² / half²
// in truncating integer steps (64-bit: a wide meter overflows 32 bits).
int Falloff(int distance, int half) {
    const std::int64_t squared = std::int64_t(distance) * distance * 255;
    return static_cast<int>(squared / half / half);
}

// Column i of a meter whose middle column is half: red rises to the middle,
// green falls after it, and columns 2 and 3 of every four are dimmed.
QColor ColumnColour(int i, int half) {
    int red = 255;
    int green = 255;
    if (i < half)
        red = 255 - Falloff(half - i, half);
    else
        green = 255 - Falloff(i - half, half);
    if (i % 4 >= 2) {
        red /= 2;
        green /= 2;
    }
    return QColor(red, green, kBlue);
}

}  // namespace

void LevelMeter::SetRect(const SkinRect& rect) {
    outer_ = rect;
    topBar_ = {rect.left, rect.top, rect.right, (rect.top + rect.bottom) / 2 - 1};
    bottomBar_ = {rect.left, topBar_.bottom + 2, rect.right, rect.bottom};
}

void LevelMeter::Invalidate() const {
    if (owner_) owner_->InvalidateArea(outer_);
}

void LevelMeter::Draw(QPainter& dc, double first, double second) {
    levels_ = {HeldLevel(first), HeldLevel(second)};
    DrawBar(dc, topBar_, levels_[0]);
    DrawBar(dc, bottomBar_, levels_[1]);
}

void LevelMeter::DrawBar(QPainter& dc, const SkinRect& bar, double level) const {
    const int width = outer_.Width() - 1;
    const int half = width / 2;
    if (half <= 0 || bar.Height() <= 0) return;
    const int lit = static_cast<int>(width * level);
    for (int i = 0; i < lit; ++i) dc.fillRect(bar.left + i, bar.top, 1, bar.Height(), ColumnColour(i, half));
}
