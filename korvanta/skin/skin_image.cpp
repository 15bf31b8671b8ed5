#include "korvanta/skin/skin_image.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <array>

#include "korvanta/resources/resource_names.h"
#include "korvanta/skin/sab_format.h"

bool SkinImage::LoadSkinImage(int resourceId) {
    QFile resource(QString::fromStdString(SkinResourcePath(resourceId)));
    if (!resource.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = resource.readAll();
    return LoadSkinImageData(
        std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())));
}

bool SkinImage::LoadSkinImageData(std::span<const std::uint8_t> data) {
    std::optional<SabImage> image = DecodeSab(data);
    if (!image) return false;
    width_ = static_cast<int>(image->width);
    height_ = static_cast<int>(image->height);
    pixels_ = std::move(image->pixels);
    return true;
}

const std::uint8_t* SkinImage::CellPixel(int cell, int column, int row) const {
    const std::size_t index = std::size_t(cell) * height_ + std::size_t(width_) * row + column;
    return &pixels_[index * 4];
}

void SkinImage::DrawCell(QPainter& dc, int x, int y, int cell) const {
    if (cell < 0 || cell >= CellCount()) return;
    const int size = height_;

    const auto isThirtyTwoBitImage = [](const QPaintDevice* device) {
        if (device == nullptr || device->devType() != QInternal::Image) return false;
        const QImage::Format format = static_cast<const QImage*>(device)->format();
        return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
               format == QImage::Format_ARGB32_Premultiplied;
    };
    if (!isThirtyTwoBitImage(dc.device())) {
        QImage cellImage(size, size, QImage::Format_ARGB32);
        for (int row = 0; row < size; ++row) {
            for (int column = 0; column < size; ++column) {
                const std::uint8_t* p = CellPixel(cell, column, row);
                cellImage.setPixel(column, row, qRgba(p[1], p[2], p[3], p[0]));
            }
        }
        dc.drawImage(x, y, cellImage);
        return;
    }

    // Device coordinates: the painter may be translated, and only the part
    // of the cell inside both the image and the clip is touched.
    auto& target = static_cast<QImage&>(*dc.device());
    const QTransform toDevice = dc.deviceTransform();
    const QRect cellRect(toDevice.map(QPoint(x, y)), QSize(size, size));
    QRegion visible(target.rect());
    if (dc.hasClipping()) visible &= toDevice.map(dc.clipRegion());
    visible &= cellRect;
    if (visible.isEmpty()) return;

    for (const QRect& area : visible) {
        for (int deviceY = area.top(); deviceY <= area.bottom(); ++deviceY) {
            for (int deviceX = area.left(); deviceX <= area.right(); ++deviceX) {
                const std::uint8_t* source = CellPixel(cell, deviceX - cellRect.left(), deviceY - cellRect.top());
                const int alpha = source[0];
                if (alpha == 0) continue;
                const QRgb device = target.pixel(deviceX, deviceY);
                const auto blend = [alpha](int deviceChannel, int sourceChannel) {
                    return (deviceChannel * (255 - alpha) + sourceChannel * alpha) / 255;
                };
                target.setPixel(deviceX, deviceY,
                                qRgba(blend(qRed(device), source[1]), blend(qGreen(device), source[2]),
                                      blend(qBlue(device), source[3]), qAlpha(device)));
            }
        }
    }
}

bool SkinImage::HitTestCell(int cell, QPoint origin, QPoint test) const {
    if (cell < 0 || cell >= CellCount()) return false;
    const int dx = test.x() - origin.x();
    const int dy = test.y() - origin.y();
    if (dx < 0 || dy < 0 || dx >= height_ || dy >= height_) return false;
    return CellPixel(cell, dx, dy)[0] != 0;
}

namespace {

struct SharedImages {
    static constexpr std::array<int, 4> kIds = {180, 181, 183, 189};
    std::array<SkinImage, 4> images;
};

SharedImages& Shared() {
    static SharedImages shared;
    return shared;
}

}  // namespace

bool LoadSharedSkinImages() {
    SharedImages& shared = Shared();
    bool all = true;
    for (std::size_t i = 0; i < SharedImages::kIds.size(); ++i)
        all = shared.images[i].LoadSkinImage(SharedImages::kIds[i]) && all;
    return all;
}

const SkinImage& SharedSkinImage(int resourceId) {
    static const SkinImage empty;
    SharedImages& shared = Shared();
    for (std::size_t i = 0; i < SharedImages::kIds.size(); ++i)
        if (SharedImages::kIds[i] == resourceId) return shared.images[i];
    return empty;
}
