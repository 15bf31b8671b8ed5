#include "preview_files.h"

#include <cstring>
#include <fstream>

#include "dv_avi_files.h"
#include "korvanta/capture/support/module_registration.h"
#include "media_tools.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/renderers/renderer_classes.h"

namespace kvtest {

std::filesystem::path MakePreviewFile(const std::filesystem::path& folder, PreviewFile kind) {
    const char* names[] = {"our_type1_pal.avi", "ffmpeg_type2_ntsc_wide.avi", "our_type2_one.avi",
                           "our_type2_silent.avi"};
    const auto path = folder / names[int(kind)];
    if (std::filesystem::exists(path)) return path;
    if (kind == PreviewFile::FfmpegType2NtscWide) {
        RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x480:rate=30000/1001 -f lavfi -i sine "
                   "-frames:v 40 -aspect 16:9 -pix_fmt yuv411p -c:v dvvideo -c:a pcm_s16le -ar 48000 -ac 2 '" +
                   path.string() + "'");
        return path;
    }
    const int frameCount = kind == PreviewFile::OurType1Pal ? 75 : kind == PreviewFile::OurType2OneFrame ? 1 : 10;
    const auto clip = MakeDvClip(folder, {.pal = true, .sampleRate = 48000, .frames = frameCount});
    const auto frames = SplitDvFrames(ReadFileBytes(clip), 144000);
    std::vector<std::vector<BYTE>> pcm;
    if (kind != PreviewFile::OurType2Silent)
        for (const auto& frame : frames) {
            pcm.emplace_back();
            ExtractDvAudio(frame, pcm.back(), nullptr);
        }
    WriteDvAvi(path, kind == PreviewFile::OurType1Pal ? DvAviType::Type1 : DvAviType::Type2, frames, pcm);
    return path;
}

QImage FfmpegFrame(const std::filesystem::path& file, int frame, int width, int height) {
    const std::vector<BYTE> bgra = FfmpegPicture(file, frame);
    if (bgra.size() != std::size_t(width) * height * 4) return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bgra.data() + std::size_t(y) * width * 4, std::size_t(width) * 4);
    return image;
}

double PictureDifference(const QImage& a, const QImage& b) {
    if (a.isNull() || b.isNull()) return 255;
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.scaled(a.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    double total = 0;
    for (int y = 0; y < left.height(); ++y) {
        const auto* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
        const auto* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
        for (int x = 0; x < left.width(); ++x)
            total += std::abs(qRed(l[x]) - qRed(r[x])) + std::abs(qGreen(l[x]) - qGreen(r[x])) +
                     std::abs(qBlue(l[x]) - qBlue(r[x]));
    }
    return total / (3.0 * left.width() * left.height());
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

bool RegisterPlayerFilters() {
    static const bool done = RegisterCaptureModules() && KvMediaRegisterPlatformClasses() == S_OK &&
                             KvRegisterRendererClasses() == S_OK;
    return done;
}

}  // namespace kvtest
