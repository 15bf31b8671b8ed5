#include "platform/system/user_folders.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace {

std::filesystem::path EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::filesystem::path(value) : std::filesystem::path();
}

std::string ReadSmallFile(const std::filesystem::path& path) {
    // user-dirs.dirs is a few hundred bytes; anything far larger is not one.
    constexpr std::size_t kLimit = 64 * 1024;
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (!in) return text;
    text.resize(kLimit);
    in.read(text.data(), static_cast<std::streamsize>(kLimit));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// "/home/me/Videos/" and "/home/me/Videos" name the same folder; compare without the slash.
std::filesystem::path Normalised(const std::filesystem::path& path) {
    std::filesystem::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    return normal;
}

bool IsFolder(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

}  // namespace

std::filesystem::path ParseUserDirsEntry(std::string_view fileText, std::string_view variable,
                                         const std::filesystem::path& home) {
    // Lines have the form XDG_VIDEOS_DIR="$HOME/Videos" (the format xdg-user-dirs writes).
    std::size_t start = 0;
    while (start < fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string_view::npos) end = fileText.size();
        std::string_view line = fileText.substr(start, end - start);
        start = end + 1;

        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (!line.starts_with(variable)) continue;
        line.remove_prefix(variable.size());
        if (!line.starts_with("=\"")) continue;
        line.remove_prefix(2);
        const std::size_t close = line.find('"');
        if (close == std::string_view::npos) continue;
        std::string_view value = line.substr(0, close);

        if (value.starts_with("$HOME")) {
            value.remove_prefix(5);
            if (home.empty()) return {};
            std::string joined = home.string();
            joined += value;
            return Normalised(joined);
        }
        if (!value.starts_with('/')) return {};  // only absolute paths are allowed
        return Normalised(std::filesystem::path(value));
    }
    return {};
}

std::filesystem::path SpecialFolderPath(SpecialFolder folder) {
    const std::filesystem::path home = EnvironmentPath("HOME");
    std::filesystem::path config = EnvironmentPath("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) config = home / ".config";

    const bool video = folder == SpecialFolder::MyVideo;
    const std::string_view variable = video ? "XDG_VIDEOS_DIR" : "XDG_DOCUMENTS_DIR";
    if (!config.empty()) {
        const std::filesystem::path path = ParseUserDirsEntry(ReadSmallFile(config / "user-dirs.dirs"), variable, home);
        if (!path.empty()) {
            if (!home.empty() && path == Normalised(home)) return {};
            return path;
        }
    }
    if (home.empty()) return {};
    std::filesystem::path fallback = home / (video ? "Videos" : "Documents");
    return IsFolder(fallback) ? fallback : std::filesystem::path();
}

std::filesystem::path ProgramConfigFolder() {
    const std::filesystem::path config = EnvironmentPath("XDG_CONFIG_HOME");
    if (config.is_absolute()) return config / "korvanta";
    const std::filesystem::path home = EnvironmentPath("HOME");
    return home.empty() ? std::filesystem::path() : home / ".config" / "korvanta";
}
