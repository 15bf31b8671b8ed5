#pragma once
// The folder that holds the running program file (the Windows module path's
// folder), and the folders of the program's own files found from it.
#include <filesystem>

// Empty when the program's path cannot be read.
std::filesystem::path ProgramFolder();

// The program's read-only files (the language files): <prefix>/share/korvanta
// for an installed program, else the program's own folder (the build tree
// puts them beside the programs). Empty when the program's path cannot be read.
std::filesystem::path ProgramDataFolder();

// The filter modules: <prefix>/lib/korvanta/modules for an installed program,
// else lib/modules beside the build tree's bin folder. Empty when neither exists.
std::filesystem::path ProgramModuleFolder();
