#pragma once
// Loads a module and calls its DllRegisterServer or DllUnregisterServer; or
// does the same for the media framework's own filters, which live in no module.
#include <filesystem>
#include <string>
#include <vector>

enum class Registration { Register, Unregister };

// Empty on success; otherwise one line saying what went wrong.
std::string RunModuleRegistration(const std::string& modulePath, Registration action);

// Writes (or removes) the filter mapper's entries for the platform filters, so
// intelligent connect finds the DV splitter and decoder. Empty on success.
std::string RunPlatformRegistration(Registration action);

// True when the platform filters' mapper entries are in the registry.
bool PlatformFiltersRegistered();

// Registers every module "lib*.so" of folder whose path no registered server
// names yet, then the platform filters when their entries are missing.
// Registrations already in place are left as they are. Returns one line per
// problem; an absent folder is not one.
std::vector<std::string> RegisterMissingModules(const std::filesystem::path& folder);

// Registers every module in the program's module folder (installed, or the
// build tree's) and then the platform filters. Empty on success.
std::string RunProgramRegistration();
