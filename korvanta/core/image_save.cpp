#include "korvanta/core/image_save.h"

#include <QImageWriter>

#include <array>
#include <utility>

namespace {

// The known types with the format name of their writer; "emf" has none.
constexpr std::array<std::pair<const char*, const char*>, 6> kFormats = {{
    {"jpg", "jpeg"},
    {"bmp", "bmp"},
    {"gif", "gif"},
    {"tif", "tiff"},
    {"png", "png"},
    {"emf", ""},
}};

}  // namespace

bool SaveBitmapAsImage(const QImage& image, const std::filesystem::path& path, const std::string& type,
                       int quality) {
    if (image.isNull()) return false;
    for (const auto& [known, format] : kFormats) {
        if (type != known) continue;
        if (*format == '\0') return false;
        bool written = false;
        if (type == "gif") {
            written = SaveGif(image, path);
        } else {
            QImageWriter writer(QString::fromStdString(path.string()), format);
            writer.setQuality(quality);
            written = writer.write(image);
        }
        // A write that failed half-way leaves no file behind.
        std::error_code ignored;
        if (!written) std::filesystem::remove(path, ignored);
        return written;
    }
    return false;
}
