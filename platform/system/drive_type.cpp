#include "platform/system/drive_type.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

// The kernel writes space, tab, newline and backslash in paths as \ooo.
std::string DecodeOctalEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const auto octal = [](char c) { return c >= '0' && c <= '7'; };
            if (octal(text[i + 1]) && octal(text[i + 2]) && octal(text[i + 3])) {
                const int value = (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
                if (value < 256) {
                    decoded += static_cast<char>(value);
                    i += 3;
                    continue;
                }
            }
        }
        decoded += text[i];
    }
    return decoded;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        while (start < line.size() && line[start] == ' ') ++start;
        if (start >= line.size()) break;
        std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos) end = line.size();
        fields.push_back(line.substr(start, end - start));
        start = end;
    }
    return fields;
}

bool ParseUnsigned(std::string_view text, unsigned& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

std::string ReadSmallFile(const std::filesystem::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (!in) return text;
    text.resize(limit);
    in.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

std::string FirstLine(const std::filesystem::path& path) {
    std::string text = ReadSmallFile(path, 256);
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
    return text;
}

bool IsUnder(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty()) continue;  // a trailing "/" of the folder
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    // "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw"
    std::vector<MountEntry> mounts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::vector<std::string_view> fields = SplitFields(text.substr(start, end - start));
        start = end + 1;

        const auto separator = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || separator - fields.begin() < 6 || fields.end() - separator < 3) continue;
        const std::string_view device = fields[2];
        const std::size_t colon = device.find(':');
        MountEntry entry;
        if (colon == std::string_view::npos || !ParseUnsigned(device.substr(0, colon), entry.major) ||
            !ParseUnsigned(device.substr(colon + 1), entry.minor) || !fields[4].starts_with('/'))
            continue;
        entry.mountPoint = DecodeOctalEscapes(fields[4]);
        entry.fsType = DecodeOctalEscapes(separator[1]);
        entry.source = DecodeOctalEscapes(separator[2]);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::filesystem::path& path) {
    const MountEntry* best = nullptr;
    std::size_t bestDepth = 0;
    for (const MountEntry& mount : mounts) {
        const std::filesystem::path point(mount.mountPoint);
        if (!IsUnder(path, point)) continue;
        const std::size_t depth = static_cast<std::size_t>(std::distance(point.begin(), point.end()));
        if (!best || depth >= bestDepth) {
            best = &mount;
            bestDepth = depth;
        }
    }
    return best;
}

std::optional<DriveType> DriveTypeOfFileSystem(std::string_view fsType) {
    static constexpr std::array kRemote = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "9p", "virtiofs", "lustre",
        "gfs2", "ocfs2", "davfs", "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "fuse.gcsfuse", "fuse.davfs",
        "fuse.curlftpfs", "fuse.glusterfs", "fuse.cephfs", "fuse.gvfsd-fuse", "fuse.smbnetfs"};
    static constexpr std::array kOptical = {"iso9660", "udf"};
    // Memory and container layers hold what a local program writes, as a local
    // disk does; /tmp and the root of a container live on them.
    static constexpr std::array kLocalLayers = {"tmpfs", "ramfs", "overlay", "aufs", "fuse.fuse-overlayfs", "zfs"};
    // File systems whose data lives on a block device that sysfs can judge.
    static constexpr std::array kOnBlockDevice = {"ext2", "ext3", "ext4", "xfs", "btrfs", "bcachefs", "jfs",
                                                  "reiserfs", "f2fs", "vfat", "msdos", "exfat", "ntfs", "ntfs3",
                                                  "hfs", "hfsplus", "nilfs2", "squashfs", "erofs", "fuseblk"};
    const auto in = [fsType](const auto& list) {
        return std::find(list.begin(), list.end(), fsType) != list.end();
    };
    if (in(kRemote)) return DRIVE_REMOTE;
    if (in(kOptical)) return DRIVE_CDROM;
    if (in(kLocalLayers)) return DRIVE_FIXED;
    if (in(kOnBlockDevice)) return std::nullopt;
    // Kernel pseudo file systems (proc, sysfs, ...) and other user-space
    // file systems hold nothing a capture could be written to safely.
    return DRIVE_UNKNOWN;
}

BlockDeviceKind BlockDeviceKindOf(unsigned major, unsigned minor, const std::filesystem::path& sysRoot) {
    std::error_code error;
    const std::filesystem::path link =
        sysRoot / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
    std::filesystem::path device = std::filesystem::canonical(link, error);
    if (error) return BlockDeviceKind::Unknown;
    // A partition sits inside its disk's folder; the disk carries the facts.
    if (std::filesystem::exists(device / "partition", error)) device = device.parent_path();

    const std::string name = device.filename().string();
    if (name.starts_with("sr")) return BlockDeviceKind::Optical;
    if (FirstLine(device / "removable") == "1") return BlockDeviceKind::Removable;
    // SD cards in a card reader slot report removable = 0; their type says SD.
    if (name.starts_with("mmcblk") && FirstLine(device / "device" / "type") == "SD") return BlockDeviceKind::Removable;
    return BlockDeviceKind::Fixed;
}

std::string MountPointOfFolder(std::string_view folder) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::canonical(std::filesystem::path(folder), error);
    if (error || folder.empty()) return {};
    const std::vector<MountEntry> mounts = ParseMountInfo(ReadSmallFile("/proc/self/mountinfo", 4 * 1024 * 1024));
    const MountEntry* mount = MountHolding(mounts, path);
    return mount ? mount->mountPoint : std::string();
}

DriveType DriveTypeOfFolder(std::string_view folder) {
    if (folder.empty()) return DRIVE_NO_ROOT_DIR;
    std::filesystem::path path = std::filesystem::path(folder).lexically_normal();
    if (!path.is_absolute()) return DRIVE_NO_ROOT_DIR;

    // The nearest existing folder, with symbolic links resolved, tells where
    // the folder's files will land.
    std::error_code error;
    while (!std::filesystem::exists(path, error) && path.has_relative_path()) path = path.parent_path();
    path = std::filesystem::canonical(path, error);
    if (error) return DRIVE_NO_ROOT_DIR;

    // mountinfo of a large machine runs to some hundred kilobytes at most.
    const std::vector<MountEntry> mounts = ParseMountInfo(ReadSmallFile("/proc/self/mountinfo", 4 * 1024 * 1024));
    const MountEntry* mount = MountHolding(mounts, path);
    if (!mount) return DRIVE_UNKNOWN;
    if (const std::optional<DriveType> type = DriveTypeOfFileSystem(mount->fsType)) return *type;

    // btrfs and fuseblk report an anonymous device number; their source names the device.
    unsigned major = mount->major;
    unsigned minor = mount->minor;
    struct stat source {};
    if (major == 0 && mount->source.starts_with("/dev/") && ::stat(mount->source.c_str(), &source) == 0 &&
        S_ISBLK(source.st_mode)) {
        major = ::major(source.st_rdev);
        minor = ::minor(source.st_rdev);
    }
    switch (BlockDeviceKindOf(major, minor)) {
        case BlockDeviceKind::Optical: return DRIVE_CDROM;
        case BlockDeviceKind::Removable: return DRIVE_REMOVABLE;
        // A device number sysfs does not list (a container without the host's
        // /sys) still is a local disk file system.
        case BlockDeviceKind::Fixed:
        case BlockDeviceKind::Unknown: break;
    }
    return DRIVE_FIXED;
}
