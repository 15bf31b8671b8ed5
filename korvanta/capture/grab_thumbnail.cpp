#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "filters/stillgrab/istillgrab.h"
#include "korvanta/capture/grabbed_frame.h"
#include "korvanta/capture/thumbnail_strip.h"

namespace {

// Far beyond any camcorder picture; a header claiming more is not believed.
constexpr std::int64_t kLargestSide = 4096;

}  // namespace

bool WaitForGrabbedFrame(IStillGrab* grabber, std::chrono::milliseconds interval, int polls) {
    for (int poll = 0;; ++poll) {
        BYTE ready = 0;
        if (FAILED(grabber->IsFrameReady(&ready))) return false;
        if (ready) return true;
        if (poll >= polls) return false;
        std::this_thread::sleep_for(interval);
    }
}

QImage CopyGrabbedFrame(IStillGrab* grabber) {
    LONG size = 0;
    if (FAILED(grabber->GetFrameSize(&size)) || size <= 0) return {};
    if (size > kLargestSide * kLargestSide * 4) return {};
    std::vector<BYTE> bits(static_cast<std::size_t>(size));
    if (FAILED(grabber->GetFrame(bits.data()))) return {};
    BITMAPINFOHEADER header{};
    if (FAILED(grabber->GetFrameHeader(&header))) return {};

    const std::int64_t width = header.biWidth;
    const std::int64_t height = std::abs(std::int64_t{header.biHeight});
    if (header.biBitCount != 32 || width <= 0 || width > kLargestSide || height == 0 ||
        height > kLargestSide)
        return {};
    // RGB32 rows need no padding. A longer buffer (the grabber copies whole
    // sample buffers) is fine; a shorter one cannot hold the picture.
    const std::int64_t stride = width * 4;
    if (stride * height > size) return {};

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) return {};
    const bool bottomUp = header.biHeight > 0;
    for (std::int64_t row = 0; row < height; ++row) {
        const BYTE* source = bits.data() + (bottomUp ? height - 1 - row : row) * stride;
        auto* target = reinterpret_cast<std::uint32_t*>(image.scanLine(static_cast<int>(row)));
        std::memcpy(target, source, static_cast<std::size_t>(stride));
        // The fourth byte of a DIB pixel is unused; RGB32 wants it opaque.
        for (std::int64_t x = 0; x < width; ++x) target[x] |= 0xff000000u;
    }
    return image;
}

ThumbnailStrip::Grab GrabThumbnail(IStillGrab* grabber, bool asked, int width, int height) {
    if (!grabber) return {};
    if (!asked) return SUCCEEDED(grabber->SetGrab(1)) ? ThumbnailStrip::Grab{{}, true, true} : ThumbnailStrip::Grab{};
    BYTE ready = 0;
    if (FAILED(grabber->IsFrameReady(&ready))) return {};
    if (!ready) return {{}, true, true};
    QImage image = CopyGrabbedFrame(grabber);
    if (image.isNull() || image.width() == width) return {std::move(image), true};
    if (width <= 0 || height <= 0) return {QImage(), false};
    QImage scaled = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull()) return {QImage(), false};
    return {std::move(scaled), true};
}
