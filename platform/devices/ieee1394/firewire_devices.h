#pragma once
// The DV camcorders on the 1394 bus as devices of
// CLSID_VideoInputDeviceCategory, beside the virtual decks: while a
// FireWireDevices object lives, the system device enumerator lists one
// moniker per AV/C node the bus reports (vendor and model from its config
// ROM, the GUID as the 8-byte identifier; bag values "FriendlyName",
// "DevicePath" and "FireWireGuid"), and binding one makes a capture filter
// on the camcorder, shared by every filter on it in the process.
//
// A thread of its own takes the bus's events: a bus reset makes every
// camcorder in use connect again, a node that left is unplugged, and
// arrivals and removals are announced through WatchDeviceChanges like the
// virtual decks'.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/wintypes.h"
#include "platform/devices/device_change.h"
#include "platform/devices/ieee1394/fw_bus.h"

class FireWireCamcorder;

// The class of a camcorder's capture filter (GetClassID).
inline constexpr CLSID CLSID_KorvantaFireWireCamcorder = MakeGuid("{3C7B1E52-9A4D-4E86-B0F2-6D18A5C93E71}");

class FireWireDevices {
public:
    explicit FireWireDevices(std::shared_ptr<IFireWireBus> bus);
    ~FireWireDevices();
    FireWireDevices(const FireWireDevices&) = delete;
    FireWireDevices& operator=(const FireWireDevices&) = delete;

    // The camcorders on the bus now.
    std::vector<FwNode> Camcorders() const;
    // Why no camcorder can be used, for the user; empty when nothing is amiss.
    std::string Diagnose() const;
    // The camcorder in use with this GUID, if any filter holds it.
    std::shared_ptr<FireWireCamcorder> InUse(std::uint64_t guid) const;

    // The name a camcorder is listed under, and its moniker display name.
    static std::string FriendlyName(const FwNode& node);
    static std::string DisplayName(const FwNode& node);

private:
    class Provider;
    void Watch(std::stop_token stop);

    const std::shared_ptr<Provider> provider_;
    DWORD cookie_ = 0;
    DeviceSource announcer_;
    std::jthread watcher_;  // last: stopped first
};
