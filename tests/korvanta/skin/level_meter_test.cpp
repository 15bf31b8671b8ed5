// The level meter's pixels: how many columns light up, their colour ramp and
// stripes, the two bars, and levels that are out of range.
#include "korvanta/skin/level_meter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "skin_test_owner.h"

namespace {

using kvtest::kBackground;
using kvtest::SkinTestOwner;
using kvtest::SkinWidgetTest;

// A 101-pixel meter at (10, 10): W = 100, half = 50; the top bar covers rows
// 10 to 13, the bottom bar rows 16 to 19.
struct Meter {
    SkinTestOwner owner{QSize(130, 30)};
    LevelMeter meter;

    Meter(double first, double second) {
        meter.SetOwner(&owner);
        meter.SetRect({10, 10, 111, 20});
        owner.AddMeter(meter, first, second);
    }
};

QRgb Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// Lit columns of the bar at row y.
int LitColumns(const QImage& image, int y) {
    int lit = 0;
    while (Rgb(image, 10 + lit, y) != (kBackground & 0xFFFFFFu)) ++lit;
    return lit;
}

using LevelMeterTest = SkinWidgetTest;

TEST_F(LevelMeterTest, HalfLevelEndsInFullYellow) {
    Meter half(0.5, 0.0);
    const QImage image = half.owner.Render();
    EXPECT_EQ(LitColumns(image, 10), 50);
    EXPECT_EQ(LitColumns(image, 13), 50) << "over the bar's height";
    EXPECT_EQ(LitColumns(image, 16), 0) << "the second channel is silent";
    EXPECT_EQ(Rgb(image, 10 + 49, 10), 0xFFFF60u) << "the last column is full yellow";
    EXPECT_EQ(Rgb(image, 10, 10), 0x00FF60u) << "the first is green";
    EXPECT_EQ(Rgb(image, 10 + 2, 10), qRgb((255 - 235) / 2, 127, 0x60) & 0xFFFFFFu)
        << "columns 2 and 3 of four are dim";
    EXPECT_EQ(Rgb(image, 10, 14), kBackground & 0xFFFFFFu) << "the gap between the bars";
    EXPECT_DOUBLE_EQ(half.meter.Level(0), 0.5);
}

TEST_F(LevelMeterTest, FullLevelEndsInDarkRed) {
    Meter full(0.0, 1.0);
    const QImage image = full.owner.Render();
    EXPECT_EQ(LitColumns(image, 19), 100);
    EXPECT_EQ(LitColumns(image, 12), 0);
    EXPECT_EQ(Rgb(image, 10 + 100, 19), kBackground & 0xFFFFFFu) << "the last pixel column stays dark";
    EXPECT_EQ(Rgb(image, 10 + 99, 19), qRgb(127, 5, 0x60) & 0xFFFFFFu) << "dim dark red";
    EXPECT_EQ(Rgb(image, 10 + 97, 19), qRgb(255, 30, 0x60) & 0xFFFFFFu) << "bright red";
    EXPECT_EQ(Rgb(image, 10 + 53, 19), 0xFFFF60u) << "yellow just past the middle";
}

TEST_F(LevelMeterTest, LevelsOutOfRangeStayInsideTheMeter) {
    Meter wild(3.0, std::numeric_limits<double>::quiet_NaN());
    const QImage image = wild.owner.Render();
    EXPECT_EQ(LitColumns(image, 10), 100) << "above 1 is full scale, not past the edge";
    EXPECT_EQ(LitColumns(image, 16), 0) << "not a number is silence";
    EXPECT_DOUBLE_EQ(wild.meter.Level(0), 1.0);

    Meter tiny(1.0, 1.0);
    tiny.meter.SetRect({10, 10, 12, 20});
    EXPECT_EQ(LitColumns(tiny.owner.Render(), 10), 0) << "no half to ramp over";
}

}  // namespace
