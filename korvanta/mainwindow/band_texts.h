#pragma once
// The texts of the main window's bands: the free space of the preview
// folder's disk and the total and selected durations of the list.
#include <cstdint>
#include <optional>
#include <string>

// The free space of the file system holding folder, and where it is mounted.
struct FolderDiskSpace {
    std::uint64_t freeBytes = 0;  // available to this user
    std::string mountPoint;
};
// Nothing when the folder's file system cannot be asked.
std::optional<FolderDiskSpace> DiskSpaceOf(const std::string& folder);

// The free bytes divided by 1024 while above 1024, shown with two decimals
// and the unit of the number of divisions: " 1024.00 B", "   1.00 KB", ...
std::string SizeText(std::uint64_t bytes);
// The recording time the bytes hold as DV, about 4.969 minutes a gigabyte: " 12 min".
std::string MinutesText(std::uint64_t bytes);
// The "FreeSpace" label, then " (mount point) ", the size and the minutes;
// the label alone when the space is unknown.
std::string FreeSpaceText(const std::optional<FolderDiskSpace>& space);

// The running time of frames of the given frame time, after label; with a
// frame time of 0 the frames count as milliseconds and the time is empty.
std::string DurationBandText(const std::string& label, std::int64_t milliseconds, int averageFrameMs);
