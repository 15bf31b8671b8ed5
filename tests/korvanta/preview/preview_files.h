#pragma once
// The DV AVI files the preview tests open, made once per test process: by
// our AVI writer from ffmpeg's DV frames, and by the `ffmpeg` command itself.
#include <QCoreApplication>
#include <QImage>

#include <chrono>
#include <thread>

#include <filesystem>

namespace kvtest {

enum class PreviewFile {
    OurType1Pal,          // 75 frames, 4:3, sound in the DV stream
    FfmpegType2NtscWide,  // 40 frames, 16:9, 480 lines
    OurType2OneFrame,     // 1 frame, 4:3, PAL
    OurType2Silent,       // 10 frames, no sound stream
};

std::filesystem::path MakePreviewFile(const std::filesystem::path& folder, PreviewFile kind);

// ffmpeg's decode of one frame as an RGB32 image of the frame's full size.
QImage FfmpegFrame(const std::filesystem::path& file, int frame, int width, int height);

// Mean difference per colour channel, after scaling b to a's size; 255 when either is empty.
double PictureDifference(const QImage& a, const QImage& b);

// Waits for condition, handling the application's events, up to limit.
template <class Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The process's resident memory now, in bytes, for the benchmarks.
long ResidentBytes();

// Registers the filter modules and the platform's classes once per process.
bool RegisterPlayerFilters();

}  // namespace kvtest
