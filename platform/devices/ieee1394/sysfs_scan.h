#pragma once
// The 1394 nodes as the kernel's firewire core shows them under
// <sysfs>/bus/firewire/devices: one directory per node (fwN) with its GUID,
// the names from its config ROM, its units and whether it is the computer's
// own controller. Reading them needs no bus traffic and no rights on the
// device nodes. Both roots are parameters, so tests can use a tree of their own.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/devices/ieee1394/fw_bus.h"

struct SysfsScan {
    std::vector<FwNode> nodes;  // the other nodes, in name order
    bool controller = false;    // the computer has a 1394 controller
    std::vector<std::pair<std::string, std::uint64_t>> sysnames;  // fwN -> GUID, for every node found
};

SysfsScan ScanSysfs(const std::filesystem::path& sysRoot, const std::filesystem::path& devRoot);

// True when the unit list (the "units" attribute) has an AV/C unit.
bool HasAvcUnit(const std::string& units);

// What to tell the user when no camcorder can be used: no controller, or a
// camcorder whose device node the user may not open (named, with the udev
// rule that fixes it). Empty when neither is the case.
std::string DiagnoseFireWire(const SysfsScan& scan);

// The udev rule the program ships, as installed.
inline constexpr const char* kUdevRuleName = "60-korvanta-dv.rules";
