#pragma once
// FireWireCamcorder: a DV camcorder or tape deck on the 1394 bus, as the
// capture filter sees it (DvDeck). One object per device and process; every
// filter on the device shares it.
//
// Frames arrive on the link's receive thread and go into a ring allocated
// once (about two seconds); a deliverer thread of our own hands them to the
// filter's sink. Frames lost on the way are counted by us, not by the
// libraries (which report nothing useful): incomplete frames (packets lost,
// their holes hold the previous frame's bytes) are not delivered, frames
// that found the ring full are lost; both count as dropped.
//
// The transport runs on its own AV/C worker (AvcTransport). After a bus
// reset the connection is made again within a second; a device that left
// the bus is unplugged and answers KV_E_DEVICE_NOT_CONNECTED.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/devices/dv_deck.h"
#include "platform/devices/ieee1394/avc_transport.h"
#include "platform/devices/ieee1394/frame_ring.h"
#include "platform/devices/ieee1394/fw_bus.h"

class FireWireCamcorder final : public DvDeck {
public:
    static constexpr std::size_t kRingFrames = 50;

    // Takes the link, connects (or listens on the broadcast channel) and
    // starts receiving; the television system comes from the device's output
    // signal mode, else from the first frame.
    FireWireCamcorder(const FwNode& node, std::unique_ptr<IDvLink> link);
    ~FireWireCamcorder() override;

    const FwNode& Node() const { return node_; }
    // The 8-byte identifier of a GUID: its text is the GUID in hexadecimal.
    static DeckDeviceId IdOfGuid(std::uint64_t guid);
    // The channel the stream is received on.
    int Channel() const;

    bool IsCamera() const override;
    DeckDeviceId DeviceId() const override;
    bool Is625() const override;
    std::uint32_t FrameBytes() const override;
    std::chrono::nanoseconds TickPeriod() const override;
    bool Unplugged() const override;
    HRESULT SetMode(LONG mode) override;
    HRESULT GetMode(LONG* mode) const override;
    HRESULT GetTimecode(DWORD* bcd) const override;
    HRESULT StartPlayer(const void* owner, FrameSink sink) override;
    void RequestStopPlayer(const void* owner) override;
    void StopPlayer(const void* owner) override;
    LONG DroppedFrames() const override;
    LONG DeliveredFrames() const override;

    // The bus was reset: connect again (the link finds the node by GUID).
    void BusReset();
    // The device left the bus.
    void Unplug();

    std::int64_t IncompleteFrames() const;
    std::int64_t RingOverflows() const { return ring_.Overflows(); }

private:
    void OnFrame(std::span<const std::uint8_t> frame, bool complete);
    void Deliver(std::stop_token stop);
    void Connect();

    const FwNode node_;
    const std::unique_ptr<IDvLink> link_;
    FrameRing ring_{kRingFrames};

    std::mutex connectMutex_;  // one connection change at a time (bus events, the frame watchdog)
    mutable std::mutex mutex_;
    std::condition_variable sinkIdle_;
    std::optional<int> channel_;       // guarded by mutex_; nothing: broadcast
    bool is625_ = true;                // guarded by mutex_
    bool unplugged_ = false;           // guarded by mutex_
    const void* owner_ = nullptr;      // guarded by mutex_
    FrameSink sink_;                   // guarded by mutex_
    bool inSink_ = false;              // guarded by mutex_
    std::optional<DWORD> timecode_;    // guarded by mutex_; of the last frame received
    std::chrono::steady_clock::time_point lastFrame_;  // guarded by mutex_; when it came
    LONG refused_ = 0;                 // guarded by mutex_
    LONG delivered_ = 0;               // guarded by mutex_
    std::atomic<std::int64_t> incomplete_{0};

    std::unique_ptr<AvcTransport> transport_;
    std::jthread deliverer_;  // last: stopped first
};
