#include "korvanta/mainwindow/band_texts.h"

#include <sys/statvfs.h>

#include <cstdio>

#include "korvanta/capture/capture_texts.h"
#include "korvanta/core/language.h"

std::optional<std::uint64_t> FreeBytesOf(const std::string& folder) {
    struct statvfs info {};
    if (folder.empty() || ::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return std::uint64_t(info.f_bavail) * info.f_frsize;
}

std::string SizeText(std::uint64_t bytes) {
    static constexpr const char* kUnits[] = {" B", " KB", " MB", " GB", " TB", " xB"};
    std::uint64_t value = bytes;
    std::uint64_t remainder = 0;
    int divisions = 0;
    while (value > 1024) {
        remainder = value % 1024;
        value /= 1024;
        ++divisions;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%6.2f%s", double(value) + double(remainder) / 1024.0,
                  kUnits[divisions < 5 ? divisions : 5]);
    return text;
}

std::string MinutesText(std::uint64_t bytes) {
    const double gigabytes = double(bytes >> 30) + double((bytes >> 20) & 0x3FF) / 1024.0;
    char text[32];
    std::snprintf(text, sizeof text, " %d min", int(gigabytes * 4.969));
    return text;
}

std::string FreeSpaceText(const std::string& mountPoint, std::optional<std::uint64_t> freeBytes) {
    std::string text = LabelText("FreeSpace");
    if (!freeBytes) return text;
    return text + " (" + mountPoint + ") " + SizeText(*freeBytes) + MinutesText(*freeBytes);
}

std::string DurationBandText(const std::string& label, std::int64_t milliseconds, int averageFrameMs) {
    const int divisor = averageFrameMs > 0 ? averageFrameMs : 1;
    const std::int64_t frames = milliseconds > 0 ? milliseconds / divisor : 0;
    return label + FrameCountText(std::uint64_t(frames), averageFrameMs);
}
