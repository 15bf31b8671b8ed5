#pragma once
// Creating a capture file without ever overwriting one: two scenes recorded in
// the same second, or two without a recording date, get the same name, and
// writing the second over the first would lose a piece of tape for good.
#include <filesystem>

#include "platform/com/hresult.h"
#include "platform/com/unique_fd.h"

struct NewFile {
    UniqueFd file;                // open for writing, empty
    std::filesystem::path path;   // the name actually used
};

// Creates `wanted`, or when that name is taken the first free of
// "name (2).ext", "name (3).ext", ... The test and the creation are one step
// (O_EXCL), so a file made meanwhile by someone else is not overwritten either.
// HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) when the folder does not exist,
// E_ACCESSDENIED when it cannot be written, ERROR_FILE_EXISTS when every
// numbered name up to kMaxNumberedName is taken.
HRESULT CreateNewFile(const std::filesystem::path& wanted, NewFile& created);

inline constexpr int kMaxNumberedName = 9999;

// "name.ext" numbered: "name (n).ext"; n = 1 gives the name unchanged.
std::filesystem::path NumberedName(const std::filesystem::path& wanted, int n);
