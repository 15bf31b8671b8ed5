#pragma once
// The seam between the camcorder code and the Linux firewire stack, at whole
// frames and AV/C command quadlets. The real side (LinuxFireWireBus) is a thin
// adapter over sysfs, libudev, libraw1394, libiec61883 and libavc1394; tests
// put a fake bus with fake camcorders in its place.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One node on the bus, as enumeration finds it. Nodes are keyed by GUID:
// node ids change at every bus reset.
struct FwNode {
    std::uint64_t guid = 0;
    std::string devnode;  // "/dev/fw1"
    std::string vendor;
    std::string model;
    bool avc = false;         // has an AV/C unit (a camcorder or a tape deck)
    bool accessible = false;  // the user may read and write devnode

    bool operator==(const FwNode&) const = default;
};

// The answer to one AV/C command: the response quadlet, or nothing when the
// device did not answer within the time given.
struct AvcReply {
    std::optional<std::uint32_t> quadlet;
    // The response code: 0x9 accepted, 0xA rejected, 0x8 not implemented,
    // 0xC stable (a status answer), 0xF interim.
    int Code() const { return quadlet ? static_cast<int>((*quadlet >> 24) & 0x0F) : -1; }
};

// One camcorder, by GUID: its isochronous stream and its AV/C unit.
class IDvLink {
public:
    virtual ~IDvLink() = default;
    // Makes a point-to-point connection from the device's output plug to us;
    // the channel, or nothing when no connection could be made.
    virtual std::optional<int> Connect() = 0;
    // Restores the connection after a bus reset, the node looked up again by GUID.
    virtual std::optional<int> Reconnect() = 0;
    virtual void Disconnect() = 0;
    // Whole frames as they come off the bus, on the link's receive thread;
    // complete is false when packets of the frame were lost.
    using FrameCallback = std::function<void(std::span<const std::uint8_t> frame, bool complete)>;
    virtual bool StartReceive(int channel, FrameCallback onFrame) = 0;
    virtual void StopReceive() = 0;
    // Sends one AV/C command and waits at most timeout for its final answer.
    virtual AvcReply Avc(std::uint32_t command, std::chrono::milliseconds timeout) = 0;
    // The device's AV/C subunits include a video camera: it is in camera mode.
    virtual bool HasCameraSubunit() = 0;
    // The tape's time code as the deck reports it (AV/C TIME CODE status),
    // BCD 0xHHMMSSFF; nothing on a blank or stopped tape or without an answer.
    virtual std::optional<std::uint32_t> TapeTimecode() = 0;
    // True once after the link saw a bus reset on its own handle.
    virtual bool TakeReset() = 0;
};

// What the bus reports besides frames.
enum class BusEventKind { Added, Removed, Changed, Reset };
struct BusEvent {
    BusEventKind kind;
    std::uint64_t guid = 0;  // 0 for a reset of the whole bus
};

// Enumeration and hotplug.
class IFireWireBus {
public:
    virtual ~IFireWireBus() = default;
    // The camcorders and other nodes on the bus now, the computer's own controller left out.
    virtual std::vector<FwNode> Scan() = 0;
    // A link to the node with this GUID, or null when it is gone or cannot be opened.
    virtual std::unique_ptr<IDvLink> Open(std::uint64_t guid) = 0;
    // Waits at most timeout for events and returns them (empty when none came).
    virtual std::vector<BusEvent> WaitEvents(std::chrono::milliseconds timeout) = 0;
    // A sentence for the user when no camcorder can be used and why; empty when nothing is amiss.
    virtual std::string Diagnose() = 0;
};

// The broadcast channel a camcorder sends on when no connection is made.
inline constexpr int kBroadcastChannel = 63;
