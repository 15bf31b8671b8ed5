#pragma once
// LinuxFireWireBus: the real bus. Enumeration reads sysfs; hotplug and bus
// resets come from a libudev monitor on the "firewire" subsystem; links are
// LinuxDvLink. The kernel reads a new node's config ROM about half a second
// after it appears and announces a removal two seconds after the node went;
// a "remove" carries no attributes any more, so the GUID of every node seen
// is remembered by its name.
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/devices/ieee1394/fw_bus.h"

struct udev;
struct udev_monitor;

class LinuxFireWireBus final : public IFireWireBus {
public:
    explicit LinuxFireWireBus(std::filesystem::path sysRoot = "/sys", std::filesystem::path devRoot = "/dev");
    ~LinuxFireWireBus() override;

    std::vector<FwNode> Scan() override;
    std::unique_ptr<IDvLink> Open(std::uint64_t guid) override;
    std::vector<BusEvent> WaitEvents(std::chrono::milliseconds timeout) override;
    std::string Diagnose() override;

private:
    const std::filesystem::path sysRoot_;
    const std::filesystem::path devRoot_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, std::uint64_t> guids_;  // guarded by mutex_; sysname -> GUID
};
