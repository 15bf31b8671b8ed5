#include "korvanta/preview/background_gradient.h"

#include <QPainter>

#include <algorithm>
#include <array>

void DrawBackgroundGradient(QPainter& painter, const QRect& rect, int steps) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const int n = std::clamp(steps, 1, rect.width());
    constexpr std::array<int, 3> left = {236, 242, 245};
    constexpr std::array<int, 3> right = {193, 211, 222};
    std::array<int, 3> colour{}, advance{};
    for (int c = 0; c < 3; ++c) {
        colour[c] = left[c] * 256;
        advance[c] = (right[c] - left[c]) * 256 / n;
    }
    const int stripWidth = rect.width() / n;
    for (int strip = 0; strip < n; ++strip) {
        const int x = rect.left() + strip * stripWidth;
        const int width = strip == n - 1 ? rect.right() + 1 - x : stripWidth;
        painter.fillRect(QRect(x, rect.top(), width, rect.height()),
                         QColor(colour[0] >> 8, colour[1] >> 8, colour[2] >> 8));
        for (int c = 0; c < 3; ++c) colour[c] += advance[c];
    }
}
