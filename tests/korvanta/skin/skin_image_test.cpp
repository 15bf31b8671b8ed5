#include "korvanta/skin/skin_image.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <functional>

#include "korvanta/skin/sab_format.h"

namespace {

struct Argb {
    std::uint8_t a, r, g, b;
};

// A SAB image of width x height whose pixel colour comes from a function of
// (column, row) of the whole strip.
std::vector<std::uint8_t> MakeSab(std::uint32_t width, std::uint32_t height,
                                  const std::function<Argb(int, int)>& pixel) {
    SabImage image{width, height, {}};
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; ++column) {
            const Argb p = pixel(static_cast<int>(column), static_cast<int>(row));
            for (const std::uint8_t byte : {p.a, p.r, p.g, p.b}) image.pixels.push_back(byte);
        }
    }
    return EncodeSab(image);
}

// A disc of radius size/2 in every cell, opaque red inside, transparent outside.
std::vector<std::uint8_t> DiscStrip(int size, int cells) {
    return MakeSab(size * cells, size, [size](int column, int row) {
        const double dx = column % size + 0.5 - size / 2.0;
        const double dy = row + 0.5 - size / 2.0;
        return dx * dx + dy * dy <= size * size / 4.0 ? Argb{255, 255, 0, 0} : Argb{0, 0, 0, 0};
    });
}

QImage Canvas(QColor colour) {
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(colour);
    return canvas;
}

TEST(SkinImage, LoadsDataAndKeepsTheOldImageOnFailure) {
    SkinImage image;
    EXPECT_EQ(image.CellCount(), 0);
    EXPECT_EQ(image.CellSize(), 0);

    ASSERT_TRUE(image.LoadSkinImageData(DiscStrip(8, 3)));
    EXPECT_EQ(image.CellCount(), 3);
    EXPECT_EQ(image.CellSize(), 8);
    EXPECT_EQ(image.ByteSize(), 8u * 24 * 4);

    std::vector<std::uint8_t> broken = DiscStrip(8, 2);
    broken.pop_back();
    EXPECT_FALSE(image.LoadSkinImageData(broken));
    EXPECT_FALSE(image.LoadSkinImage(9999)) << "no such resource";
    EXPECT_EQ(image.CellCount(), 3) << "a failed load keeps the image";

    ASSERT_TRUE(image.LoadSkinImageData(DiscStrip(4, 1)));
    EXPECT_EQ(image.ByteSize(), 4u * 4 * 4) << "a second load replaces the first";
}

TEST(SkinImage, BlendsEachPixelByItsAlpha) {
    // One 2 x 2 cell: opaque blue, half-transparent red, transparent, nearly opaque green.
    SkinImage image;
    ASSERT_TRUE(image.LoadSkinImageData(MakeSab(2, 2, [](int column, int row) {
        const Argb pixels[2][2] = {{{255, 0, 0, 255}, {128, 255, 0, 0}}, {{0, 9, 9, 9}, {254, 0, 255, 0}}};
        return pixels[row][column];
    })));
    QImage canvas = Canvas(QColor(100, 150, 200));
    {
        QPainter dc(&canvas);
        image.DrawCell(dc, 5, 7, 0);
    }
    EXPECT_EQ(canvas.pixel(5, 7), qRgb(0, 0, 255));
    // (device * (255 - a) + source * a) / 255, truncated.
    EXPECT_EQ(canvas.pixel(6, 7), qRgb((100 * 127 + 255 * 128) / 255, (150 * 127) / 255, (200 * 127) / 255));
    EXPECT_EQ(canvas.pixel(5, 8), qRgb(100, 150, 200));
    EXPECT_EQ(canvas.pixel(6, 8), qRgb(100 / 255, (150 + 255 * 254) / 255, 200 / 255));
    EXPECT_EQ(canvas.pixel(4, 7), qRgb(100, 150, 200));
}

TEST(SkinImage, DrawsOnlyInsideTheClipAndTheCanvas) {
    SkinImage image;
    ASSERT_TRUE(image.LoadSkinImageData(MakeSab(10, 10, [](int, int) { return Argb{255, 255, 255, 255}; })));
    QImage canvas = Canvas(Qt::black);
    {
        QPainter dc(&canvas);
        dc.setClipRect(0, 0, 15, 40);  // the cell spans x 10 to 19: half of it is visible
        image.DrawCell(dc, 10, 10, 0);
        image.DrawCell(dc, 35, 35, 0);  // partly outside the canvas
        image.DrawCell(dc, -5, -5, 0);
    }
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            // The first cell's visible half, and the corner of the one at
            // (-5, -5); the cell at (35, 35) lies outside the clip.
            const bool white = (x >= 10 && x < 15 && y >= 10 && y < 20) || (x < 5 && y < 5);
            ASSERT_EQ(canvas.pixel(x, y), white ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x << "," << y;
        }
    }
}

TEST(SkinImage, FollowsThePaintersTranslation) {
    SkinImage image;
    ASSERT_TRUE(image.LoadSkinImageData(MakeSab(1, 1, [](int, int) { return Argb{255, 1, 2, 3}; })));
    QImage canvas = Canvas(Qt::black);
    {
        QPainter dc(&canvas);
        dc.translate(10, 20);
        dc.setClipRect(0, 0, 5, 5);  // in the translated coordinates
        image.DrawCell(dc, 2, 3, 0);
        image.DrawCell(dc, 6, 3, 0);  // outside the clip
    }
    EXPECT_EQ(canvas.pixel(12, 23), qRgb(1, 2, 3));
    EXPECT_EQ(canvas.pixel(16, 23), qRgb(0, 0, 0));
}

TEST(SkinImage, CellsOutsideTheStripDrawNothing) {
    // 3 cells of 4 plus 2 remainder columns in a colour that must never appear.
    SkinImage image;
    ASSERT_TRUE(image.LoadSkinImageData(MakeSab(14, 4, [](int column, int) {
        return column >= 12 ? Argb{255, 0, 255, 0} : Argb{255, 255, 0, 0};
    })));
    EXPECT_EQ(image.CellCount(), 3);
    QImage canvas = Canvas(Qt::black);
    {
        QPainter dc(&canvas);
        for (int cell = -1; cell <= 4; ++cell) image.DrawCell(dc, 0, 0, cell);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_NE(canvas.pixel(x, y), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0));

    SkinImage empty;
    QPainter dc(&canvas);
    empty.DrawCell(dc, 0, 0, 0);
    EXPECT_FALSE(empty.HitTestCell(0, QPoint(0, 0), QPoint(0, 0)));
}

TEST(SkinImage, HitTestFollowsTheAlphaOfARoundButton) {
    SkinImage image;
    ASSERT_TRUE(image.LoadSkinImageData(DiscStrip(16, 2)));
    const QPoint origin(100, 50);
    EXPECT_FALSE(image.HitTestCell(1, origin, QPoint(100, 50))) << "transparent corner";
    EXPECT_TRUE(image.HitTestCell(1, origin, QPoint(108, 58))) << "centre";
    EXPECT_TRUE(image.HitTestCell(1, origin, QPoint(100, 58))) << "left edge of the disc";
    EXPECT_FALSE(image.HitTestCell(1, origin, QPoint(99, 58))) << "left of the cell";
    EXPECT_FALSE(image.HitTestCell(1, origin, QPoint(116, 58))) << "right of the cell";
    EXPECT_FALSE(image.HitTestCell(2, origin, QPoint(108, 58))) << "no such cell";
    EXPECT_FALSE(image.HitTestCell(-1, origin, QPoint(108, 58)));
}

TEST(SkinImage, OtherDevicesGetTheSameBlendThroughQt) {
    int argc = 0;
    QGuiApplication application(argc, nullptr);
    SkinImage image;
    ASSERT_TRUE(image.LoadSkinImageData(MakeSab(2, 1, [](int column, int) {
        return column == 0 ? Argb{128, 255, 0, 0} : Argb{0, 0, 0, 0};
    })));
    QPixmap pixmap(4, 4);
    pixmap.fill(QColor(0, 0, 255));
    {
        QPainter dc(&pixmap);
        image.DrawCell(dc, 1, 1, 0);
    }
    QImage packed(4, 4, QImage::Format_RGB888);  // not 32-bit: Qt blends
    packed.fill(QColor(0, 0, 255));
    {
        QPainter dc(&packed);
        image.DrawCell(dc, 1, 1, 0);
    }
    for (const QImage& result : {pixmap.toImage(), packed}) {
        const QRgb blended = result.pixel(1, 1);
        EXPECT_NEAR(qRed(blended), 128, 1);
        EXPECT_NEAR(qBlue(blended), 127, 1);
        EXPECT_EQ(result.pixel(2, 1), qRgb(0, 0, 255)) << "transparent pixels leave the device alone";
    }
}

}  // namespace
