#include "platform/system/program_folder.h"

#include <system_error>

namespace {

// The first of the folders, relative to the program's folder, that exists.
std::filesystem::path FirstFolder(std::initializer_list<const char*> relatives) {
    const std::filesystem::path program = ProgramFolder();
    if (program.empty()) return {};
    for (const char* relative : relatives) {
        std::error_code error;
        const std::filesystem::path folder = (program / relative).lexically_normal();
        if (std::filesystem::is_directory(folder, error)) return folder;
    }
    return {};
}

}  // namespace

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

std::filesystem::path ProgramDataFolder() {
    const std::filesystem::path installed = FirstFolder({KORVANTA_BIN_TO_DATA});
    return installed.empty() ? ProgramFolder() : installed;
}

std::filesystem::path ProgramModuleFolder() {
    return FirstFolder({KORVANTA_BIN_TO_MODULES, "../lib/modules"});
}
