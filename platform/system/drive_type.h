#pragma once
// The kind of drive a folder lives on, in the terms of GetDriveType. Linux has
// no drive letters: the answer comes from the file system that holds the
// folder (/proc/self/mountinfo) and the block device behind it (sysfs).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// GetDriveType's results, with their Windows values.
enum DriveType : std::uint32_t {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// The drive type of the file system holding folder, or of its nearest existing
// parent when the folder does not exist yet. DRIVE_NO_ROOT_DIR for an empty
// or relative path; DRIVE_UNKNOWN when the mount table cannot be read.
DriveType DriveTypeOfFolder(std::string_view folder);

// Where the file system holding the existing folder (symbolic links
// resolved) is mounted; empty when the folder or the mount table cannot be read.
std::string MountPointOfFolder(std::string_view folder);

// One line of /proc/self/mountinfo, the fields the drive type needs.
struct MountEntry {
    std::string mountPoint;  // with the kernel's octal escapes (\040 ...) decoded
    unsigned major = 0;
    unsigned minor = 0;
    std::string fsType;  // "ext4", "fuse.sshfs", ...
    std::string source;  // "/dev/sda1", "server:/export", ...
};

// The entries of a mountinfo text in their order; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The entry whose mount point holds path (absolute, symbolic links resolved):
// the longest mount point that is path or one of its parents; of equal ones
// the last, which is mounted over the others. Null when none holds it.
const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::filesystem::path& path);

// The drive type that the file system type alone decides (network, optical,
// memory, container layers and kernel pseudo file systems); nullopt when the
// block device behind it decides.
std::optional<DriveType> DriveTypeOfFileSystem(std::string_view fsType);

// What sysfs says about a block device.
enum class BlockDeviceKind { Unknown, Fixed, Removable, Optical };

// Looks the device up under sysRoot/dev/block/MAJOR:MINOR. A partition is
// judged by its whole disk: "sr" disks are optical, disks with removable = 1
// and SD cards are removable, every other disk is fixed.
BlockDeviceKind BlockDeviceKindOf(unsigned major, unsigned minor, const std::filesystem::path& sysRoot = "/sys");
