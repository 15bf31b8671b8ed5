#pragma once
// The files a preview folder lists and the folder the program starts with.
#include <filesystem>
#include <string>
#include <vector>

// The names of the folder's regular files ending in ".avi" (in any case, as
// the Windows file search matches it), sorted by name; capture names are
// dates, so this is the order of recording. Empty when the folder cannot be
// read.
std::vector<std::string> AviFileNames(const std::filesystem::path& folder);

// The folder shown at start: the setting PreviewFolder; when that is empty,
// the default preview folder, created with its missing parents and stored
// (without notification) when it exists afterwards.
std::string PreviewFolderAtStart();
