// Test entry point shared by every test executable.
// Each process gets its own registry and configuration folders so tests never
// read or change the user's registrations and settings, and Qt tests draw offscreen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_dir.h"

int main(int argc, char** argv) {
    kvtest::TempDir registry;
    setenv("KORVANTA_REGISTRY", registry.path().c_str(), 1);
    kvtest::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
