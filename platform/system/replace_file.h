#pragma once
// Writing a whole file so that a failure never leaves it half written.
#include <filesystem>
#include <string_view>

// Replaces the file's contents with data. The data goes to a temporary file
// beside it, which is renamed over the old one when complete, so a full disk
// or a crash leaves the old file as it was. When the folder does not allow new
// files but the file itself is writable, the file is rewritten in place
// instead. A symbolic link is followed: the file it names is replaced.
// Returns false when the data could not be stored.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view data);
