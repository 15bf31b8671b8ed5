#pragma once
// A fake 1394 bus for the camcorder tests, at whole frames and AV/C
// quadlets. Each FakeCamcorder is a virtual deck (its tape and transport,
// its pacing) seen through the bus: frames come one frame late (a frame is
// complete only when the next one starts), the last one before the stream
// stops never comes, a paused deck sends its still frame, slow play its
// off-speed frames, stop and wind nothing. It sends on the channel of its
// point-to-point connection, else on the broadcast channel.
//
// Scripted faults: incomplete frames, bursts that overflow a receiver's
// ring, AV/C answers forced per command (rejected, not implemented, none),
// camera mode, a bus reset that gives every node a new id and drops the
// connections unless restored within a second, and unplugging and plugging
// with the kernel's delays (removal announced 2 s late, arrival 0.5 s late).
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices/ieee1394/fw_bus.h"
#include "platform/media/strmif.h"

class VirtualDeck;

namespace fwtest {

inline constexpr int kNoAnswer = -1;

class FakeCamcorder : public std::enable_shared_from_this<FakeCamcorder> {
public:
    // deckName: a configured virtual deck whose tape and transport this camcorder has.
    FakeCamcorder(std::uint64_t guid, const std::string& deckName, bool camera = false);
    ~FakeCamcorder();

    FwNode Node() const;
    int Phy() const;

    // Faults.
    void MakeIncomplete(int frames);            // the next frames lose packets
    void Burst(int copies);                     // the next frame comes copies times at once
    void ForceAnswer(std::uint32_t command, int code);  // 0xA, 0x8 or kNoAnswer
    void RefuseConnections(bool refuse);        // no plug: it broadcasts
    // Swaps the tape (and so perhaps the television system) while it plays on.
    void ChangeDeck(const std::string& deckName);

    std::shared_ptr<VirtualDeck> Deck() const;
    int SendChannel() const;
    int Reconnects() const;

    // Bus side (FakeBus).
    void BusReset(int newPhy);
    void SetPlugged(bool plugged);
    std::unique_ptr<IDvLink> MakeLink();

private:
    friend class FakeLink;
    struct Listener {
        const void* owner;
        int channel;
        IDvLink::FrameCallback callback;
    };
    void OnDeckFrame(std::span<const std::uint8_t> frame);
    std::optional<int> Connect(int phy);
    std::optional<int> Reconnect(int phy);
    AvcReply Answer(int phy, std::uint32_t command, std::chrono::milliseconds timeout);
    std::optional<std::uint32_t> Timecode(int phy);
    void Listen(const void* owner, int channel, IDvLink::FrameCallback callback);
    void StopListening(const void* owner);

    const std::uint64_t guid_;
    const bool camera_;
    mutable std::mutex mutex_;
    std::shared_ptr<VirtualDeck> deck_;       // guarded by mutex_
    int phy_ = 1;                             // guarded by mutex_
    bool plugged_ = true;                     // guarded by mutex_
    std::optional<int> connection_;           // guarded by mutex_
    std::optional<std::chrono::steady_clock::time_point> resetAt_;  // guarded by mutex_; connection lost at
    std::vector<std::uint8_t> held_;          // deck thread: the frame not yet complete
    std::optional<Listener> listener_;        // guarded by mutex_
    std::map<std::uint32_t, int> forced_;     // guarded by mutex_
    int incomplete_ = 0, burst_ = 0;          // guarded by mutex_
    bool refuse_ = false;                     // guarded by mutex_
    int reconnects_ = 0;                      // guarded by mutex_
};

class FakeBus final : public IFireWireBus {
public:
    void Add(std::shared_ptr<FakeCamcorder> camcorder);
    // Every node gets a new id (the order of the nodes reversed and shifted).
    void Reset();
    void Unplug(std::uint64_t guid);
    void Plug(std::uint64_t guid);

    std::vector<FwNode> Scan() override;
    std::unique_ptr<IDvLink> Open(std::uint64_t guid) override;
    std::vector<BusEvent> WaitEvents(std::chrono::milliseconds timeout) override;
    std::string Diagnose() override { return {}; }

private:
    struct Pending {
        std::chrono::steady_clock::time_point due;
        BusEvent event;
        bool plug = false;  // the node comes back on the bus at due
    };
    std::mutex mutex_;
    std::vector<std::shared_ptr<FakeCamcorder>> camcorders_;  // guarded by mutex_
    std::map<std::uint64_t, bool> present_;                   // guarded by mutex_; as Scan sees it
    std::vector<Pending> pending_;                            // guarded by mutex_
    int resets_ = 0;                                          // guarded by mutex_
};

// Binds the video input device with this display name as the device
// enumerator would (through the providers of the category).
HRESULT CreateDeviceFilter(const std::string& displayName, IBaseFilter** filter);

}  // namespace fwtest
