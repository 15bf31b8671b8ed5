#pragma once
// Runs a program as a child process (with this process's environment, so
// KORVANTA_REGISTRY carries over) and collects what it prints.
#include <string>
#include <vector>

namespace kvtest {

struct ChildResult {
    int exitCode = -1;   // -1 when it did not exit normally
    std::string output;  // stdout and stderr together
};

ChildResult RunChild(const std::vector<std::string>& arguments);

}  // namespace kvtest
