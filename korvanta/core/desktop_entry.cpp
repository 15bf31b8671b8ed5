#include "korvanta/core/desktop_entry.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "platform/system/replace_file.h"

namespace {

constexpr std::string_view kFileName = "korvanta.desktop";
constexpr std::string_view kName = "Korvanta";

// The Name of the entry's main group, or nothing when the file cannot be read
// or has none.
std::optional<std::string> EntryName(const std::filesystem::path& file) {
    std::ifstream in(file);
    bool mainGroup = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) mainGroup = line == "[Desktop Entry]";
        else if (mainGroup && line.starts_with("Name=")) return line.substr(5);
    }
    return std::nullopt;
}

// The program's path as one quoted argument of the Exec key.
std::string QuotedCommand(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // The key's value is itself a string, where a backslash is written twice.
    std::string escaped;
    for (const char c : quoted) {
        if (c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

}  // namespace

std::filesystem::path UserApplicationsFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "applications";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local/share/applications";
    return {};
}

bool RegisterDesktopEntry(const std::filesystem::path& folder, const std::filesystem::path& programFile) {
    if (folder.empty()) return false;
    const std::filesystem::path file = folder / kFileName;
    if (EntryName(file) == kName) return false;
    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=" << kName << '\n'
          << "Comment=Capture DV camcorder tapes, one file per scene\n"
          << "Exec=" << QuotedCommand(programFile.string()) << '\n'
          << "Terminal=false\n"
          << "Categories=AudioVideo;Video;\n";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return ReplaceFileContents(file, entry.str());
}
