#include "tests/korvanta/capture/support/listed_files.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <system_error>
#include <utility>

namespace kvtest {

std::ostream& operator<<(std::ostream& out, const ListedFile& file) {
    return out << file.path << " (" << file.frames << " frames)";
}

std::vector<ListedFile> ListedFiles(const std::string& output) {
    std::vector<ListedFile> files;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const auto frames = line.rfind(" frames: ");
        ListedFile file;
        const char* count = frames == std::string::npos ? nullptr : line.data() + frames + 9;
        const char* end = line.data() + line.size();
        // The count must be a whole number to the end of the line.
        if (!line.starts_with("file: ") || !count || count == end ||
            std::from_chars(count, end, file.frames) != std::from_chars_result{end, std::errc()}) {
            ADD_FAILURE() << "unexpected line on standard output: " << line;
            continue;
        }
        file.path = line.substr(6, frames - 6);
        files.push_back(std::move(file));
    }
    return files;
}

}  // namespace kvtest
