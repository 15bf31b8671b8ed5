#include "platform/system/drive_type.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace {

TEST(MountTable, ParsesMountinfoAndFindsTheMountHoldingAPath) {
    const std::string_view text =
        "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "30 22 0:26 / /tmp rw shared:5 master:2 - tmpfs tmpfs rw\n"
        "31 22 8:17 / /mnt/my\\040disk rw - vfat /dev/sdb1 rw\n"
        "not a mount line\n"
        "32 22 0:40 / /mnt rw - nfs4 server:/export rw\n"
        "33 22 0:41 / /media/cd rw - iso9660\n"  // no source: skipped
        "34 31 0:42 / /mnt/my\\040disk rw - fuse.sshfs me@host:/ rw\n";
    const std::vector<MountEntry> mounts = ParseMountInfo(text);
    ASSERT_EQ(mounts.size(), 5u);
    EXPECT_EQ(mounts[2].mountPoint, "/mnt/my disk");
    EXPECT_EQ(mounts[2].major, 8u);
    EXPECT_EQ(mounts[2].minor, 17u);
    EXPECT_EQ(mounts[2].fsType, "vfat");
    EXPECT_EQ(mounts[2].source, "/dev/sdb1");

    const struct {
        const char* path;
        const char* fsType;
    } cases[] = {
        {"/", "ext4"},
        {"/tmp/capture", "tmpfs"},
        {"/tmpfiles", "ext4"},  // a name that merely starts like a mount point
        {"/mnt/my disk/v", "fuse.sshfs"},  // mounted over the vfat one
        {"/mnt/other", "nfs4"},
    };
    for (const auto& c : cases) {
        const MountEntry* mount = MountHolding(mounts, c.path);
        ASSERT_NE(mount, nullptr) << c.path;
        EXPECT_EQ(mount->fsType, c.fsType) << c.path;
    }
    EXPECT_EQ(MountHolding({}, "/tmp"), nullptr);
}

TEST(MountTable, FileSystemTypesThatDecideAlone) {
    EXPECT_EQ(DriveTypeOfFileSystem("nfs4"), DRIVE_REMOTE);
    EXPECT_EQ(DriveTypeOfFileSystem("cifs"), DRIVE_REMOTE);
    EXPECT_EQ(DriveTypeOfFileSystem("fuse.sshfs"), DRIVE_REMOTE);
    EXPECT_EQ(DriveTypeOfFileSystem("iso9660"), DRIVE_CDROM);
    EXPECT_EQ(DriveTypeOfFileSystem("udf"), DRIVE_CDROM);
    EXPECT_EQ(DriveTypeOfFileSystem("tmpfs"), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOfFileSystem("overlay"), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOfFileSystem("proc"), DRIVE_UNKNOWN);
    EXPECT_EQ(DriveTypeOfFileSystem("ext4"), std::nullopt);
    EXPECT_EQ(DriveTypeOfFileSystem("btrfs"), std::nullopt);
    EXPECT_EQ(DriveTypeOfFileSystem("vfat"), std::nullopt);
}

// A small sysfs tree: /sys/dev/block/M:m links to the device folder, and a
// partition's folder sits inside its disk's.
class FakeSysfs {
public:
    void Disk(const std::string& majorMinor, const std::string& disk, const std::string& partition,
              const char* removable, const char* mmcType = nullptr) {
        const std::filesystem::path diskDir = dir_ / "devices" / "block" / disk;
        std::filesystem::path device = diskDir;
        std::filesystem::create_directories(diskDir);
        Write(diskDir / "removable", removable);
        if (mmcType) {
            std::filesystem::create_directories(diskDir / "device");
            Write(diskDir / "device" / "type", mmcType);
        }
        if (!partition.empty()) {
            device = diskDir / partition;
            std::filesystem::create_directories(device);
            Write(device / "partition", "1");
        }
        std::filesystem::create_directories(dir_ / "dev" / "block");
        std::filesystem::create_directory_symlink(device, dir_ / "dev" / "block" / majorMinor);
    }
    const std::filesystem::path& root() const { return dir_.path(); }

private:
    static void Write(const std::filesystem::path& path, const char* text) { std::ofstream(path) << text << "\n"; }
    kvtest::TempDir dir_;
};

TEST(BlockDevices, JudgedByTheirWholeDisk) {
    FakeSysfs sys;
    sys.Disk("8:1", "sda", "sda1", "0");
    sys.Disk("8:17", "sdb", "sdb1", "1");
    sys.Disk("11:0", "sr0", "", "1");
    sys.Disk("179:1", "mmcblk0", "mmcblk0p1", "0", "SD");
    sys.Disk("179:9", "mmcblk1", "mmcblk1p1", "0", "MMC");
    EXPECT_EQ(BlockDeviceKindOf(8, 1, sys.root()), BlockDeviceKind::Fixed);
    EXPECT_EQ(BlockDeviceKindOf(8, 17, sys.root()), BlockDeviceKind::Removable);
    EXPECT_EQ(BlockDeviceKindOf(11, 0, sys.root()), BlockDeviceKind::Optical);
    EXPECT_EQ(BlockDeviceKindOf(179, 1, sys.root()), BlockDeviceKind::Removable);
    EXPECT_EQ(BlockDeviceKindOf(179, 9, sys.root()), BlockDeviceKind::Fixed);  // soldered eMMC
    EXPECT_EQ(BlockDeviceKindOf(8, 33, sys.root()), BlockDeviceKind::Unknown);
}

TEST(BlockDevices, FoldersOfThisMachine) {
    kvtest::TempDir dir;
    EXPECT_EQ(DriveTypeOfFolder(dir.path().string()), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOfFolder((dir / "not" / "made" / "yet").string()), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOfFolder(""), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(DriveTypeOfFolder("relative/folder"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(DriveTypeOfFolder("/proc/self"), DRIVE_UNKNOWN);
}

}  // namespace
