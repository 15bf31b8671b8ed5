#pragma once
// The folder that holds the running program file (the Windows module path's folder).
#include <filesystem>

// Empty when the program's path cannot be read.
std::filesystem::path ProgramFolder();
