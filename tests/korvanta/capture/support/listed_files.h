#pragma once
// The files korvanta-capture lists on standard output, one
// "file: FULL-PATH frames: N" line each.
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kvtest {

struct ListedFile {
    std::filesystem::path path;
    std::uint64_t frames = 0;
    bool operator==(const ListedFile&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ListedFile& file);

// The listed files in order; any other line on standard output fails the running test.
std::vector<ListedFile> ListedFiles(const std::string& output);

}  // namespace kvtest
