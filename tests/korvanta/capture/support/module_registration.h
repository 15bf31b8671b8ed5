#pragma once
// The filter modules and platform classes korvanta-capture builds its graphs
// from, registered by the real korvanta-regsvr.

namespace kvtest {

// Registers every module in the build's module folder and the platform
// classes into this process's private registry, which child processes share.
// False when korvanta-regsvr failed on any of them.
bool RegisterCaptureModules();

}  // namespace kvtest
