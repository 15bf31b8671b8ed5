#include "platform/devices/ieee1394/linux_fw_bus.h"

#include <libudev.h>
#include <poll.h>

#include <cstring>

#include "platform/devices/ieee1394/linux_dv_link.h"
#include "platform/devices/ieee1394/sysfs_scan.h"

LinuxFireWireBus::LinuxFireWireBus(std::filesystem::path sysRoot, std::filesystem::path devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {
    udev_ = udev_new();
    if (udev_) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ && (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "firewire", nullptr) < 0 ||
                     udev_monitor_enable_receiving(monitor_) < 0)) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    Scan();
}

LinuxFireWireBus::~LinuxFireWireBus() {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

std::vector<FwNode> LinuxFireWireBus::Scan() {
    SysfsScan scan = ScanSysfs(sysRoot_, devRoot_);
    std::scoped_lock lock(mutex_);
    for (const auto& [sysname, guid] : scan.sysnames) guids_[sysname] = guid;
    return std::move(scan.nodes);
}

std::unique_ptr<IDvLink> LinuxFireWireBus::Open(std::uint64_t guid) { return LinuxDvLink::Open(guid); }

std::string LinuxFireWireBus::Diagnose() { return DiagnoseFireWire(ScanSysfs(sysRoot_, devRoot_)); }

std::vector<BusEvent> LinuxFireWireBus::WaitEvents(std::chrono::milliseconds timeout) {
    std::vector<BusEvent> events;
    if (!monitor_) {
        // Without udev (a container) nothing is announced; the wait still waits.
        ::poll(nullptr, 0, static_cast<int>(timeout.count()));
        return events;
    }
    pollfd fd{udev_monitor_get_fd(monitor_), POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(timeout.count())) <= 0) return events;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* sysname = udev_device_get_sysname(device);
        const char* guidText = udev_device_get_sysattr_value(device, "guid");
        std::uint64_t guid = guidText ? std::strtoull(guidText, nullptr, 16) : 0;
        {
            std::scoped_lock lock(mutex_);
            if (sysname && guid) guids_[sysname] = guid;
            if (sysname && !guid) {
                const auto known = guids_.find(sysname);
                if (known != guids_.end()) guid = known->second;
            }
        }
        const std::string what = action ? action : "";
        // Units (fwN.M) come and go with their node; the node's events suffice.
        const bool node = sysname && std::strchr(sysname, '.') == nullptr;
        if (node && what == "add") events.push_back({BusEventKind::Added, guid});
        if (node && what == "remove") events.push_back({BusEventKind::Removed, guid});
        // A node seen again after a reset (its config ROM read anew) changes.
        if (node && what == "change") events.push_back({BusEventKind::Changed, guid});
        udev_device_unref(device);
    }
    return events;
}
