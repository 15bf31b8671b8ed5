#include "platform/devices/ieee1394/sysfs_scan.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
    return line;
}

}  // namespace

bool HasAvcUnit(const std::string& units) {
    // Specifier 0x00a02d (1394 Trade Association), versions 0x010000 and
    // 0x010001 (AV/C) and 0x01400x (AV/C over later protocols).
    for (const char* unit : {"0x00a02d:0x010000", "0x00a02d:0x010001", "0x00a02d:0x01400"})
        if (units.find(unit) != std::string::npos) return true;
    return false;
}

SysfsScan ScanSysfs(const fs::path& sysRoot, const fs::path& devRoot) {
    SysfsScan scan;
    std::error_code error;
    const fs::path devices = sysRoot / "bus/firewire/devices";
    std::vector<fs::path> dirs;
    for (const auto& entry : fs::directory_iterator(devices, error)) {
        const std::string name = entry.path().filename().string();
        // Nodes are fwN; their units fwN.M.
        if (name.starts_with("fw") && name.find('.') == std::string::npos) dirs.push_back(entry.path());
    }
    std::sort(dirs.begin(), dirs.end());
    for (const fs::path& dir : dirs) {
        const std::string sysname = dir.filename().string();
        const std::string guidText = ReadAttribute(dir / "guid");
        std::uint64_t guid = 0;
        try {
            guid = std::stoull(guidText, nullptr, 16);
        } catch (const std::exception&) {
            continue;  // gone while read, or not yet set up by the kernel
        }
        scan.sysnames.emplace_back(sysname, guid);
        if (ReadAttribute(dir / "is_local") == "1") {
            scan.controller = true;
            continue;
        }
        FwNode node;
        node.guid = guid;
        node.devnode = (devRoot / sysname).string();
        node.vendor = ReadAttribute(dir / "vendor_name");
        // A config ROM without a textual vendor leaf: the vendor's number.
        if (node.vendor.empty()) node.vendor = ReadAttribute(dir / "vendor");
        node.model = ReadAttribute(dir / "model_name");
        if (node.model.empty()) node.model = ReadAttribute(dir / (sysname + ".0") / "model_name");
        node.avc = HasAvcUnit(ReadAttribute(dir / "units"));
        node.accessible = ::access(node.devnode.c_str(), R_OK | W_OK) == 0;
        scan.nodes.push_back(std::move(node));
    }
    return scan;
}

std::string DiagnoseFireWire(const SysfsScan& scan) {
    if (!scan.controller)
        return "No FireWire (IEEE 1394) controller was found on this computer. A DV camcorder needs one, "
               "with its driver (firewire_ohci) loaded.";
    for (const FwNode& node : scan.nodes) {
        if (!node.avc || node.accessible) continue;
        return "The camcorder " + node.vendor + " " + node.model + " is on " + node.devnode +
               ", but you have no read and write rights on " + node.devnode +
               ". Install the udev rule " + kUdevRuleName + " (shipped in platform/devices/ieee1394) as /etc/udev/rules.d/" +
               kUdevRuleName + ", make sure you are in the group \"video\", then unplug the camcorder and plug it in again.";
    }
    return {};
}
