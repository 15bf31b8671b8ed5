#pragma once
// Loads a module and calls its DllRegisterServer or DllUnregisterServer.
#include <string>

enum class Registration { Register, Unregister };

// Empty on success; otherwise one line saying what went wrong.
std::string RunModuleRegistration(const std::string& modulePath, Registration action);
