#pragma once
// Loads a module and calls its DllRegisterServer or DllUnregisterServer.
#include <iosfwd>
#include <string>

enum class Registration { Register, Unregister };

// Returns true on success; on failure writes one line saying why to errors.
bool RunModuleRegistration(const std::string& modulePath, Registration action, std::ostream& errors);
