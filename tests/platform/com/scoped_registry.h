#pragma once
// Points KORVANTA_REGISTRY at a fresh folder for one test and restores the
// previous folder afterwards, so tests in one process never share keys.
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace kvtest {

class ScopedRegistry {
public:
    ScopedRegistry() {
        if (const char* previous = std::getenv("KORVANTA_REGISTRY")) previous_ = previous;
        ::setenv("KORVANTA_REGISTRY", folder_.path().c_str(), 1);
    }
    ~ScopedRegistry() {
        if (previous_.empty()) ::unsetenv("KORVANTA_REGISTRY");
        else ::setenv("KORVANTA_REGISTRY", previous_.c_str(), 1);
    }
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

    const std::filesystem::path& folder() const { return folder_.path(); }

private:
    TempDir folder_;
    std::string previous_;
};

}  // namespace kvtest
