#pragma once
// LinuxDvLink: one camcorder through libraw1394, libiec61883 and libavc1394.
// Three handles, each used by one thread only, since the libraries iterate a
// handle inside their calls: the receive handle by the receive thread, the
// connection handle by the callers of Connect/Reconnect/Disconnect (under
// one lock), the AV/C handle by the AV/C worker.
//
// The node is found by GUID on every port; after a bus reset Reconnect makes
// the connection handle anew and finds the node again, since node ids change.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/devices/ieee1394/dv_frame_receiver.h"
#include "platform/devices/ieee1394/fw_bus.h"

struct raw1394_handle;

class LinuxDvLink final : public IDvLink {
public:
    // Null when no port has a node with this GUID, or the handles cannot be made.
    static std::unique_ptr<LinuxDvLink> Open(std::uint64_t guid);
    ~LinuxDvLink() override;

    std::optional<int> Connect() override;
    std::optional<int> Reconnect() override;
    void Disconnect() override;
    bool StartReceive(int channel, FrameCallback onFrame) override;
    void StopReceive() override;
    AvcReply Avc(std::uint32_t command, std::chrono::milliseconds timeout) override;
    bool HasCameraSubunit() override;
    std::optional<std::uint32_t> TapeTimecode() override;
    bool TakeReset() override { return resetSeen_.exchange(false); }

    struct HandleCloser {
        void operator()(raw1394_handle* handle) const;
    };
    using Handle = std::unique_ptr<raw1394_handle, HandleCloser>;

private:
    explicit LinuxDvLink(std::uint64_t guid) : guid_(guid) {}
    // Finds the node on any port; sets port_ and phy_ and makes handle on that port.
    bool Find(Handle& handle);

    const std::uint64_t guid_;
    int port_ = -1;

    std::mutex connectionMutex_;
    Handle connection_;                 // guarded by connectionMutex_
    int phy_ = -1;                      // guarded by connectionMutex_
    int oplug_ = -1, iplug_ = -1, bandwidth_ = 0;
    std::optional<int> channel_;        // guarded by connectionMutex_

    std::mutex avcMutex_;
    Handle avc_;                        // guarded by avcMutex_
    int avcPhy_ = -1;                   // guarded by avcMutex_

    std::atomic<bool> resetSeen_{false};
    Handle receive_;
    DvFrameReceiver receiver_;  // after the handle it uses: stopped first
};
