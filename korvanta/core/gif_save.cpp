// GIF through giflib: giflib's median-cut quantizer picks the 256 colours
// from the picture's own colours, so the palette is densest where the
// picture is (faces, skies) instead of a fixed web palette's coarse steps.
#include <gif_lib.h>

#include <memory>
#include <vector>

#include "korvanta/core/image_save.h"

namespace {

struct GifCloser {
    void operator()(GifFileType* file) const { EGifCloseFile(file, nullptr); }
};
struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

bool SaveGif(const QImage& source, const std::filesystem::path& path) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    if (image.isNull()) return false;
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels), indices(pixels);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::size_t at = std::size_t(y) * width + x;
            red[at] = GifByteType(qRed(row[x]));
            green[at] = GifByteType(qGreen(row[x]));
            blue[at] = GifByteType(qBlue(row[x]));
        }
    }
    std::unique_ptr<ColorMapObject, MapFreer> palette(GifMakeMapObject(256, nullptr));
    if (!palette) return false;
    int colours = 256;
    if (GifQuantizeBuffer(unsigned(width), unsigned(height), &colours, red.data(), green.data(), blue.data(),
                          indices.data(), palette->Colors) == GIF_ERROR)
        return false;

    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> file(EGifOpenFileName(path.c_str(), false, &error));
    if (!file) return false;
    if (EGifPutScreenDesc(file.get(), width, height, 8, 0, palette.get()) == GIF_ERROR ||
        EGifPutImageDesc(file.get(), 0, 0, width, height, false, nullptr) == GIF_ERROR)
        return false;
    for (int y = 0; y < height; ++y)
        if (EGifPutLine(file.get(), indices.data() + std::size_t(y) * width, width) == GIF_ERROR) return false;
    return EGifCloseFile(file.release(), &error) == GIF_OK;
}
