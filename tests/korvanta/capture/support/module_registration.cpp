#include "tests/korvanta/capture/support/module_registration.h"

#include <filesystem>
#include <string>

#include "tests/platform/com/child_process.h"

namespace kvtest {

bool RegisterCaptureModules() {
    namespace fs = std::filesystem;
    const std::string regsvr = (fs::path(KORVANTA_BINARY_DIR) / "bin/korvanta-regsvr").string();
    bool registered = true;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(KORVANTA_MODULE_DIR, error))
        if (entry.path().extension() == ".so") registered &= RunChild({regsvr, entry.path().string()}).exitCode == 0;
    registered &= !error;
    registered &= RunChild({regsvr, "--platform"}).exitCode == 0;
    return registered;
}

}  // namespace kvtest
