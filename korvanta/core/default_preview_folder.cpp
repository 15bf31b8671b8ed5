#include "korvanta/core/default_preview_folder.h"

#include "platform/system/user_folders.h"

std::string DefaultPreviewFolder() {
    std::filesystem::path base = SpecialFolderPath(SpecialFolder::MyVideo);
    if (base.empty()) base = SpecialFolderPath(SpecialFolder::Personal);
    return base.empty() ? std::string() : (base / "KorvantaVideo").string();
}
