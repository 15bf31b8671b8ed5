// Draws the program's artwork at build time: the skin images as "SAB" files,
// the plain bitmaps, the shutter sound, and a contact sheet for review.
//
//   korvanta-artgen <output folder>
//
// writes <folder>/skin/<id>.sab, <folder>/bitmaps/<id>.bmp, the dialog icon
// <folder>/icons/207.png, the desktop icons <folder>/hicolor/<size>x<size>/apps/korvanta.png,
// <folder>/sounds/163.wav and <folder>/contact-sheet.png.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QStringList>

#include <cstdio>
#include <span>
#include <vector>

#include "korvanta/skin/sab_format.h"
#include "tools/artgen/bitmaps.h"
#include "tools/artgen/cell_painter.h"
#include "tools/artgen/click_sound.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/skin_strips.h"

namespace {

bool WriteBytes(const QString& path, std::span<const std::uint8_t> bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

std::vector<std::uint8_t> ToSab(const QImage& strip) {
    const QImage straight = strip.convertToFormat(QImage::Format_ARGB32);
    SabImage image;
    image.width = static_cast<std::uint32_t>(straight.width());
    image.height = static_cast<std::uint32_t>(straight.height());
    image.pixels.reserve(std::size_t{image.width} * image.height * 4);
    for (int y = 0; y < straight.height(); ++y) {
        for (int x = 0; x < straight.width(); ++x) {
            const QRgb pixel = straight.pixel(x, y);
            image.pixels.insert(image.pixels.end(),
                                {static_cast<std::uint8_t>(qAlpha(pixel)), static_cast<std::uint8_t>(qRed(pixel)),
                                 static_cast<std::uint8_t>(qGreen(pixel)), static_cast<std::uint8_t>(qBlue(pixel))});
        }
    }
    return EncodeSab(image);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvanta-artgen <output folder>\n");
        return 2;
    }
    // Text on the pictures needs fonts, which need an application object;
    // no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    // The sizes of the desktop's icon theme, in which menus and launchers look for the program.
    constexpr int kDesktopIconSizes[] = {16, 32, 48, 64, 128, 256};
    QStringList folders = {"skin", "bitmaps", "icons", "sounds"};
    for (const int size : kDesktopIconSizes) folders << QString("hicolor/%1x%1/apps").arg(size);
    for (const QString& folder : folders) {
        if (!out.mkpath(folder)) {
            std::fprintf(stderr, "korvanta-artgen: cannot create %s\n", qPrintable(out.filePath(folder)));
            return 1;
        }
    }

    bool written = true;
    const std::vector<SkinStrip> strips = DrawSkinStrips();
    for (const SkinStrip& strip : strips)
        written = WriteBytes(out.filePath(QString("skin/%1.sab").arg(strip.resourceId)), ToSab(strip.strip)) && written;

    const std::vector<NamedPicture> pictures = {
        {192, DrawAboutPicture()}, {203, DrawProgressBackground()}, {208, DrawEmptyFolderPicture()}};
    for (const NamedPicture& named : pictures) {
        // RGB888 makes Qt write a 24-bit bitmap.
        written = named.picture.convertToFormat(QImage::Format_RGB888)
                      .save(out.filePath(QString("bitmaps/%1.bmp").arg(named.resourceId)), "BMP") &&
                  written;
    }

    // The settings dialog's icon; the window system scales it to its small-icon size.
    written = PaintEmblem(32).save(out.filePath("icons/207.png"), "PNG") && written;
    for (const int size : kDesktopIconSizes)
        written = PaintEmblem(size).save(out.filePath(QString("hicolor/%1x%1/apps/korvanta.png").arg(size)), "PNG") &&
                  written;
    written = WriteBytes(out.filePath("sounds/163.wav"), MakeClickWav()) && written;
    written = DrawContactSheet(strips, pictures).save(out.filePath("contact-sheet.png"), "PNG") && written;
    if (!written) {
        std::fprintf(stderr, "korvanta-artgen: could not write every file to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
