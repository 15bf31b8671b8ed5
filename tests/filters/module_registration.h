#pragma once
// Registers a filter module of the build tree with korvanta-regsvr, as an
// installation does. The test process's registry folder is private to it
// (tests/support/test_main.cpp) and the tool inherits it through the environment.
#include <cstdlib>
#include <string>

namespace kvtest {

inline bool RegisterBuiltModule(const std::string& moduleFile) {
    const std::string command =
        std::string(KORVANTA_BINARY_DIR) + "/bin/korvanta-regsvr " + KORVANTA_MODULE_DIR + "/" + moduleFile;
    return std::system(command.c_str()) == 0;
}

}  // namespace kvtest
