#pragma once
// Dialog layouts are given in dialog units, which scale with the dialog's
// font: a horizontal unit is a quarter of the font's average character
// width, a vertical unit an eighth of its height. The average width is the
// one the platform uses: the width of the 52 letters A-Z and a-z, halved
// and rounded, over 26.
#include <QFont>
#include <QRect>
#include <QSize>

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }

    int X(int units) const { return Scale(units, baseWidth_, 4); }
    int Y(int units) const { return Scale(units, baseHeight_, 8); }
    QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }
    QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }

private:
    // units * base / divisor, rounded to the nearest pixel as the platform does.
    static int Scale(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

    int baseWidth_;
    int baseHeight_;
};
