#include "fake_bus.h"

#include <algorithm>
#include <thread>

#include "platform/devices/edevdefs.h"
#include "platform/devices/ieee1394/avc_transport.h"
#include "platform/devices/virtual_deck.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/uuids.h"

namespace fwtest {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kConnectedChannel = 5;

// The transport state answer of a deck in mode, as a VCR subunit gives it.
std::uint32_t StateOf(LONG mode) {
    switch (mode) {
        case ED_MODE_PLAY: return 0xC375;
        case ED_MODE_FREEZE: return 0xC37D;
        case ED_MODE_PLAY_SLOWEST_FWD: return 0xC331;
        case ED_MODE_PLAY_SLOWEST_REV: return 0xC341;
        case ED_MODE_FF: return 0xC475;
        case ED_MODE_REW: return 0xC465;
        default: return 0xC460;
    }
}

}  // namespace

// One node's link, remembering the node id it last resolved.
class FakeLink final : public IDvLink {
public:
    explicit FakeLink(std::shared_ptr<FakeCamcorder> camcorder)
        : camcorder_(std::move(camcorder)), phy_(camcorder_->Phy()) {}
    ~FakeLink() override { StopReceive(); }

    std::optional<int> Connect() override { return camcorder_->Connect(phy_); }
    std::optional<int> Reconnect() override {
        phy_ = camcorder_->Phy();  // found again by GUID
        return camcorder_->Reconnect(phy_);
    }
    void Disconnect() override {}
    bool StartReceive(int channel, FrameCallback onFrame) override {
        camcorder_->Listen(this, channel, std::move(onFrame));
        return true;
    }
    void StopReceive() override { camcorder_->StopListening(this); }
    AvcReply Avc(std::uint32_t command, std::chrono::milliseconds timeout) override {
        return camcorder_->Answer(phy_, command, timeout);
    }
    bool HasCameraSubunit() override { return camcorder_->camera_; }
    std::optional<std::uint32_t> TapeTimecode() override { return camcorder_->Timecode(phy_); }
    bool TakeReset() override { return false; }  // the bus reports its resets

private:
    const std::shared_ptr<FakeCamcorder> camcorder_;
    int phy_;
};

FakeCamcorder::FakeCamcorder(std::uint64_t guid, const std::string& deckName, bool camera)
    : guid_(guid), camera_(camera) {
    ChangeDeck(deckName);
}

FakeCamcorder::~FakeCamcorder() {
    if (auto deck = Deck()) deck->StopPlayer(this);
}

FwNode FakeCamcorder::Node() const {
    FwNode node;
    node.guid = guid_;
    node.devnode = "/dev/fw" + std::to_string(Phy());
    node.vendor = "Fake";
    node.model = camera_ ? "Camera" : "Deck";
    node.avc = true;
    node.accessible = true;
    return node;
}

int FakeCamcorder::Phy() const {
    std::scoped_lock lock(mutex_);
    return phy_;
}

void FakeCamcorder::ChangeDeck(const std::string& deckName) {
    if (auto old = Deck()) old->StopPlayer(this);
    std::shared_ptr<VirtualDeck> deck;
    VirtualDeck::Acquire(deckName, &deck);
    {
        std::scoped_lock lock(mutex_);
        deck_ = deck;
    }
    if (deck) deck->StartPlayer(this, [this](std::span<const std::uint8_t> frame) {
        OnDeckFrame(frame);
        return true;
    });
}

std::shared_ptr<VirtualDeck> FakeCamcorder::Deck() const {
    std::scoped_lock lock(mutex_);
    return deck_;
}

void FakeCamcorder::MakeIncomplete(int frames) {
    std::scoped_lock lock(mutex_);
    incomplete_ = frames;
}

void FakeCamcorder::Burst(int copies) {
    std::scoped_lock lock(mutex_);
    burst_ = copies;
}

void FakeCamcorder::ForceAnswer(std::uint32_t command, int code) {
    std::scoped_lock lock(mutex_);
    forced_[command] = code;
}

void FakeCamcorder::RefuseConnections(bool refuse) {
    std::scoped_lock lock(mutex_);
    refuse_ = refuse;
}

// A connection lost in a bus reset lives on for a second, then the device
// falls back to broadcasting.
int FakeCamcorder::SendChannel() const {
    std::scoped_lock lock(mutex_);
    if (!connection_) return kBroadcastChannel;
    if (resetAt_ && Clock::now() - *resetAt_ > 1s) return kBroadcastChannel;
    return *connection_;
}

int FakeCamcorder::Reconnects() const {
    std::scoped_lock lock(mutex_);
    return reconnects_;
}

void FakeCamcorder::BusReset(int newPhy) {
    std::scoped_lock lock(mutex_);
    phy_ = newPhy;
    if (connection_) resetAt_ = Clock::now();
}

void FakeCamcorder::SetPlugged(bool plugged) {
    std::scoped_lock lock(mutex_);
    plugged_ = plugged;
    if (!plugged) connection_.reset();
}

std::unique_ptr<IDvLink> FakeCamcorder::MakeLink() { return std::make_unique<FakeLink>(shared_from_this()); }

std::optional<int> FakeCamcorder::Connect(int phy) {
    std::scoped_lock lock(mutex_);
    if (refuse_ || !plugged_ || phy != phy_) return std::nullopt;
    connection_ = kConnectedChannel;
    resetAt_.reset();
    return connection_;
}

std::optional<int> FakeCamcorder::Reconnect(int phy) {
    std::scoped_lock lock(mutex_);
    if (!plugged_ || phy != phy_ || !connection_) return std::nullopt;
    if (resetAt_ && Clock::now() - *resetAt_ > 1s) {
        connection_.reset();
        return std::nullopt;
    }
    resetAt_.reset();
    ++reconnects_;
    return connection_;
}

AvcReply FakeCamcorder::Answer(int phy, std::uint32_t command, std::chrono::milliseconds timeout) {
    std::shared_ptr<VirtualDeck> deck;
    int forced = 0;
    {
        std::scoped_lock lock(mutex_);
        const bool reachable = plugged_ && phy == phy_;
        const auto scripted = forced_.find(command);
        forced = !reachable ? kNoAnswer : scripted != forced_.end() ? scripted->second : 0;
        deck = deck_;
    }
    const auto reply = [command](std::uint32_t code) { return AvcReply{(code << 24) | (command & 0x00FFFFFF)}; };
    if (forced == kNoAnswer) {
        std::this_thread::sleep_for(timeout);
        return {};
    }
    if (forced != 0) return reply(static_cast<std::uint32_t>(forced));
    if (command == AvcTransport::kTransportState) {
        LONG mode = ED_MODE_STOP;
        deck->GetMode(&mode);
        return {0x0C200000u | (camera_ ? 0xC275u : StateOf(mode))};
    }
    if (command == AvcTransport::kOutputSignalMode) return {0x0C207800u | (deck->Is625() ? 0x80u : 0x00u)};
    for (const LONG mode : {ED_MODE_PLAY, ED_MODE_FREEZE, ED_MODE_STOP, ED_MODE_FF, ED_MODE_REW, ED_MODE_PLAY_SLOWEST_FWD,
                            ED_MODE_PLAY_SLOWEST_REV, ED_MODE_STEP_FWD, ED_MODE_STEP_REV}) {
        if (AvcTransport::CommandOfMode(mode) != command) continue;
        const HRESULT hr = deck->SetMode(mode);
        return reply(SUCCEEDED(hr) ? 0x9 : hr == VFW_E_WRONG_STATE ? 0xA : 0x8);
    }
    return reply(0x8);
}

std::optional<std::uint32_t> FakeCamcorder::Timecode(int phy) {
    std::shared_ptr<VirtualDeck> deck;
    {
        std::scoped_lock lock(mutex_);
        if (!plugged_ || phy != phy_) return std::nullopt;
        deck = deck_;
    }
    DWORD bcd = 0;
    if (FAILED(deck->GetTimecode(&bcd))) return std::nullopt;
    return bcd;
}

void FakeCamcorder::Listen(const void* owner, int channel, IDvLink::FrameCallback callback) {
    std::scoped_lock lock(mutex_);
    listener_ = Listener{owner, channel, std::move(callback)};
}

void FakeCamcorder::StopListening(const void* owner) {
    std::scoped_lock lock(mutex_);
    if (listener_ && listener_->owner == owner) listener_.reset();
}

// On the deck's player thread: a frame goes out when the next one starts.
void FakeCamcorder::OnDeckFrame(std::span<const std::uint8_t> frame) {
    if (held_.empty()) {
        held_.assign(frame.begin(), frame.end());
        return;
    }
    const int channel = SendChannel();
    IDvLink::FrameCallback callback;
    bool complete = true;
    int copies = 1;
    {
        std::scoped_lock lock(mutex_);
        if (plugged_ && listener_ && listener_->channel == channel) {
            callback = listener_->callback;
            if (incomplete_ > 0) {
                --incomplete_;
                complete = false;
            }
            copies += std::exchange(burst_, 0);
        }
    }
    // Called without the lock, as a receive thread would; a listener that
    // stops listening meanwhile is the link's to wait for.
    for (int n = 0; callback && n < copies; ++n) callback(held_, complete);
    held_.assign(frame.begin(), frame.end());
}

HRESULT CreateDeviceFilter(const std::string& displayName, IBaseFilter** filter) {
    for (const auto& provider : kvmedia::DeviceCategoryProviders(CLSID_VideoInputDeviceCategory))
        for (const auto& device : provider->ListDevices())
            if (device.displayName == displayName) return provider->CreateFilter(device, filter);
    return VFW_E_NOT_FOUND;
}

// ---- FakeBus -------------------------------------------------------------------

void FakeBus::Add(std::shared_ptr<FakeCamcorder> camcorder) {
    std::scoped_lock lock(mutex_);
    camcorder->BusReset(static_cast<int>(camcorders_.size()) + 1);
    present_[camcorder->Node().guid] = true;
    camcorders_.push_back(std::move(camcorder));
}

void FakeBus::Reset() {
    std::scoped_lock lock(mutex_);
    ++resets_;
    const int count = static_cast<int>(camcorders_.size());
    for (int n = 0; n < count; ++n) camcorders_[n]->BusReset(count - n + resets_);
    pending_.push_back({Clock::now(), {BusEventKind::Reset, 0}});
}

void FakeBus::Unplug(std::uint64_t guid) {
    std::scoped_lock lock(mutex_);
    for (auto& camcorder : camcorders_)
        if (camcorder->Node().guid == guid) camcorder->SetPlugged(false);
    pending_.push_back({Clock::now() + 2s, {BusEventKind::Removed, guid}});
}

void FakeBus::Plug(std::uint64_t guid) {
    std::scoped_lock lock(mutex_);
    pending_.push_back({Clock::now() + 500ms, {BusEventKind::Added, guid}, true});
}

std::vector<FwNode> FakeBus::Scan() {
    std::scoped_lock lock(mutex_);
    std::vector<FwNode> nodes;
    for (const auto& camcorder : camcorders_) {
        FwNode node = camcorder->Node();
        if (present_[node.guid]) nodes.push_back(std::move(node));
    }
    return nodes;
}

std::unique_ptr<IDvLink> FakeBus::Open(std::uint64_t guid) {
    std::scoped_lock lock(mutex_);
    for (const auto& camcorder : camcorders_)
        if (camcorder->Node().guid == guid && present_[guid]) return camcorder->MakeLink();
    return nullptr;
}

std::vector<BusEvent> FakeBus::WaitEvents(std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        std::vector<BusEvent> events;
        {
            std::scoped_lock lock(mutex_);
            const auto now = Clock::now();
            for (auto it = pending_.begin(); it != pending_.end();) {
                if (it->due > now) {
                    ++it;
                    continue;
                }
                if (it->event.kind == BusEventKind::Removed) present_[it->event.guid] = false;
                if (it->plug) {
                    present_[it->event.guid] = true;
                    for (auto& camcorder : camcorders_)
                        if (camcorder->Node().guid == it->event.guid) camcorder->SetPlugged(true);
                }
                events.push_back(it->event);
                it = pending_.erase(it);
            }
        }
        if (!events.empty() || Clock::now() >= end) return events;
        std::this_thread::sleep_for(10ms);
    }
}

}  // namespace fwtest
