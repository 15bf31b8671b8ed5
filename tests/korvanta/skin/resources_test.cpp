// The artwork compiled into the program: every image of the program's table
// is present with its size and cell count, and the bitmaps and the sound are
// in the forms the program reads.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "korvanta/resources/resource_names.h"
#include "korvanta/skin/skin_image.h"

namespace {

QByteArray Resource(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t Little32(const QByteArray& data, int offset) {
    return std::uint32_t(std::uint8_t(data[offset])) | std::uint32_t(std::uint8_t(data[offset + 1])) << 8 |
           std::uint32_t(std::uint8_t(data[offset + 2])) << 16 | std::uint32_t(std::uint8_t(data[offset + 3])) << 24;
}

TEST(Resources, EverySkinImageHasItsSizeAndCellCount) {
    struct Expected {
        int id, width, height, cells;
    };
    for (const Expected& expected : {Expected{176, 48, 24, 2}, Expected{178, 480, 20, 24}, Expected{179, 32, 32, 1},
                                     Expected{180, 64, 16, 4}, Expected{181, 432, 12, 36}, Expected{183, 48, 16, 3},
                                     Expected{185, 896, 32, 28}, Expected{189, 48, 16, 3}}) {
        SCOPED_TRACE(expected.id);
        SkinImage image;
        ASSERT_TRUE(image.LoadSkinImage(expected.id));
        EXPECT_EQ(image.Width(), expected.width);
        EXPECT_EQ(image.CellSize(), expected.height);
        EXPECT_EQ(image.CellCount(), expected.cells);
        // Every cell shows something, and button cells leave their corners clear.
        for (int cell = 0; cell < image.CellCount(); ++cell) {
            bool drawn = false;
            for (int y = 0; y < image.CellSize() && !drawn; ++y)
                for (int x = 0; x < image.CellSize() && !drawn; ++x)
                    drawn = image.HitTestCell(cell, QPoint(0, 0), QPoint(x, y));
            EXPECT_TRUE(drawn) << "cell " << cell << " is empty";
        }
    }
}

TEST(Resources, SharedImagesLoadOnce) {
    ASSERT_TRUE(LoadSharedSkinImages());
    EXPECT_EQ(SharedSkinImage(181).CellCount(), 36);
    EXPECT_EQ(SharedSkinImage(189).CellCount(), 3);
    EXPECT_EQ(SharedSkinImage(185).CellCount(), 0) << "the main window loads its own buttons";
}

TEST(Resources, SliderThumbSitsInTheTopLeftNinePixels) {
    SkinImage thumb;
    ASSERT_TRUE(thumb.LoadSkinImage(189));
    for (int cell = 0; cell < 3; ++cell) {
        EXPECT_TRUE(thumb.HitTestCell(cell, QPoint(0, 0), QPoint(4, 4)));
        for (int i = 0; i < 16; ++i) {
            EXPECT_FALSE(thumb.HitTestCell(cell, QPoint(0, 0), QPoint(10 + i % 6, i)));
            EXPECT_FALSE(thumb.HitTestCell(cell, QPoint(0, 0), QPoint(i, 10 + i % 6)));
        }
    }
}

TEST(Resources, BitmapsAre24BitWithTheirSizes) {
    struct Expected {
        int id, width, height;
    };
    for (const Expected& expected : {Expected{192, 320, 304}, Expected{203, 320, 304}, Expected{208, 520, 429}}) {
        SCOPED_TRACE(expected.id);
        const QByteArray data = Resource(BitmapResourcePath(expected.id));
        ASSERT_GT(data.size(), 54);
        EXPECT_EQ(data.left(2), "BM");
        EXPECT_EQ(Little32(data, 18), std::uint32_t(expected.width));
        EXPECT_EQ(Little32(data, 22), std::uint32_t(expected.height));
        EXPECT_EQ(std::uint8_t(data[28]), 24) << "bits per pixel";
        QImage image;
        EXPECT_TRUE(image.loadFromData(data, "BMP"));
    }
}

TEST(Resources, ShutterSoundIsAShortPcmClick) {
    const QByteArray wav = Resource(SoundResourcePath(163));
    ASSERT_GT(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(Little32(wav, 4), std::uint32_t(wav.size() - 8));
    const std::uint32_t rate = Little32(wav, 24);
    const std::uint32_t bytesPerSecond = Little32(wav, 28);
    const std::uint32_t dataBytes = Little32(wav, 40);
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(dataBytes + 44, std::uint32_t(wav.size()));
    const double seconds = double(dataBytes) / bytesPerSecond;
    EXPECT_GT(seconds, 0.03);
    EXPECT_LT(seconds, 0.25);
    int loudest = 0;
    for (int i = 44; i + 1 < wav.size(); i += 2)
        loudest = std::max(loudest, std::abs(int(std::int16_t(std::uint8_t(wav[i]) | std::uint8_t(wav[i + 1]) << 8))));
    EXPECT_GT(loudest, 10000) << "the click is audible";
}

}  // namespace
