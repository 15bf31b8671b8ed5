#include "korvanta/mainwindow/band_texts.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdio>
#include <filesystem>

#include "korvanta/capture/capture_texts.h"
#include "korvanta/core/language.h"

namespace {

// The topmost folder above path on the same device: where its file system is mounted.
std::string MountPointOf(const std::filesystem::path& path) {
    struct stat own {};
    if (::stat(path.c_str(), &own) != 0) return path.string();
    std::filesystem::path mount = std::filesystem::absolute(path).lexically_normal();
    while (mount.has_relative_path()) {
        const std::filesystem::path parent = mount.parent_path();
        struct stat above {};
        if (::stat(parent.c_str(), &above) != 0 || above.st_dev != own.st_dev) break;
        mount = parent;
    }
    std::string text = mount.string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

std::optional<FolderDiskSpace> DiskSpaceOf(const std::string& folder) {
    struct statvfs info {};
    if (folder.empty() || ::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return FolderDiskSpace{std::uint64_t(info.f_bavail) * info.f_frsize, MountPointOf(folder)};
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

std::string FreeSpaceText(const std::optional<FolderDiskSpace>& space) {
    std::string text = LabelText("FreeSpace");
    if (!space) return text;
    return text + " (" + space->mountPoint + ") " + SizeText(space->freeBytes) + MinutesText(space->freeBytes);
}

std::string DurationBandText(const std::string& label, std::int64_t milliseconds, int averageFrameMs) {
    const int divisor = averageFrameMs > 0 ? averageFrameMs : 1;
    const std::int64_t frames = milliseconds > 0 ? milliseconds / divisor : 0;
    return label + FrameCountText(std::uint64_t(frames), averageFrameMs);
}
