#include "korvanta/mainwindow/folder_files.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "korvanta/core/default_preview_folder.h"
#include "korvanta/core/settings.h"

namespace {

bool HasAviExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    std::ranges::transform(extension, extension.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".avi";
}

}  // namespace

std::vector<std::string> AviFileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) return names;
    for (auto it = entries; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error) break;
        std::error_code typeError;
        const std::string name = it->path().filename().string();
        if (HasAviExtension(name) && it->is_regular_file(typeError)) names.push_back(name);
    }
    std::ranges::sort(names);
    return names;
}

std::string PreviewFolderAtStart() {
    std::string folder = GetSetting(SettingId::PreviewFolder).text;
    if (!folder.empty()) return folder;
    folder = DefaultPreviewFolder();
    if (folder.empty()) return folder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (std::filesystem::is_directory(folder, error)) SetSetting(SettingId::PreviewFolder, {folder, 0}, false);
    return folder;
}
