#pragma once
// The shell's special folders, taken from the XDG user directories.
#include <filesystem>
#include <string_view>

enum class SpecialFolder {
    MyVideo,   // the shell's CSIDL_MYVIDEO: XDG_VIDEOS_DIR
    Personal,  // the shell's CSIDL_PERSONAL: XDG_DOCUMENTS_DIR
};

// The folder's path, or an empty path when the user has no such folder.
// The XDG configuration ($XDG_CONFIG_HOME/user-dirs.dirs, else
// ~/.config/user-dirs.dirs) decides; without an entry there, $HOME/Videos or
// $HOME/Documents counts when that folder exists. An entry that points at the
// home folder itself means "disabled" in XDG terms and gives no folder.
std::filesystem::path SpecialFolderPath(SpecialFolder folder);

// Reads one "XDG_<NAME>_DIR" entry from the text of a user-dirs.dirs file,
// with "$HOME" expanded to home. Empty when the entry is missing or malformed.
std::filesystem::path ParseUserDirsEntry(std::string_view fileText, std::string_view variable,
                                         const std::filesystem::path& home);

// The program's own configuration folder: $XDG_CONFIG_HOME/korvanta, else
// ~/.config/korvanta (a relative XDG_CONFIG_HOME is ignored, as XDG asks).
// Empty without a home folder.
std::filesystem::path ProgramConfigFolder();
