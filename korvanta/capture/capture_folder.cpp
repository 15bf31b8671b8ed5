#include "korvanta/capture/capture_folder.h"

#include <filesystem>
#include <system_error>

#include "korvanta/core/settings.h"
#include "platform/system/drive_type.h"

std::string CaptureFolderAtOpening() {
    std::string folder = GetSetting(SettingId::CaptureFolder).text;
    if (!folder.empty()) return folder;
    folder = GetSetting(SettingId::PreviewFolder).text;
    if (!folder.empty()) SetSetting(SettingId::CaptureFolder, SettingValue{folder, 0}, false);
    return folder;
}

bool CaptureFolderExists(std::string_view folder) {
    if (folder.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(folder), error);
}

bool IsOnFixedDisk(std::string_view folder) {
    // The folder's drive letter among the fixed drives becomes the file system
    // under the folder being on a fixed disk; a relative path, which has no
    // drive of its own, is refused like a folder without a drive letter.
    return DriveTypeOfFolder(folder) == DRIVE_FIXED;
}

std::string EffectiveBaseName(std::string_view edited) {
    return edited.empty() ? std::string(kDefaultBaseName) : std::string(edited);
}

std::string CaptureFilePath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}
