#pragma once
// Loads a module and calls its DllRegisterServer or DllUnregisterServer; or
// does the same for the media framework's own filters, which live in no module.
#include <string>

enum class Registration { Register, Unregister };

// Empty on success; otherwise one line saying what went wrong.
std::string RunModuleRegistration(const std::string& modulePath, Registration action);

// Writes (or removes) the filter mapper's entries for the platform filters, so
// intelligent connect finds the DV splitter and decoder. Empty on success.
std::string RunPlatformRegistration(Registration action);

// Registers every module in the program's module folder (installed, or the
// build tree's) and then the platform filters. Empty on success.
std::string RunProgramRegistration();
