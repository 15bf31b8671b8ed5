#pragma once
// The two relay modules registered with the real korvanta-regsvr into the
// test's private registry, so that they are created by CLSID as the program
// creates them.
#include <string>

namespace kvtest {

struct RegistrationResult {
    int exitCode = -1;
    std::string output;
};

// Runs korvanta-regsvr on the module (with "-u" first when unregister is set).
RegistrationResult RunRegsvr(const std::string& module, bool unregister = false);

// Registers both relay modules once per process.
void RegisterRelayModules();

}  // namespace kvtest
