#include "platform/devices/ieee1394/fw_camcorder.h"

#include <cstdio>

#include "platform/devices/edevdefs.h"
#include "platform/devices/extdevice.h"
#include "platform/devices/recording_packs.h"
#include "platform/devices/tape_file.h"

namespace {

constexpr std::chrono::nanoseconds kFramePeriod625{40'000'000};
constexpr std::chrono::nanoseconds kFramePeriod525{1'000'000'000LL * 1001 / 30000};
constexpr std::chrono::milliseconds kDeliverWait{100};
// A deck that plays or pauses sends frames; none for this long means the
// connection was lost (a bus reset we were not told of).
constexpr std::chrono::milliseconds kFrameWatchdog{1000};
// How long the last frame's time code stands for the tape's position.
constexpr std::chrono::milliseconds kFrameTimecodeAge{300};

bool SendsFrames(LONG mode) {
    return mode == ED_MODE_PLAY || mode == ED_MODE_FREEZE || mode == ED_MODE_PLAY_SLOWEST_FWD ||
           mode == ED_MODE_PLAY_SLOWEST_REV;
}

// The DSF bit of the header DIF block: set for 625/50.
bool FrameIs625(std::span<const std::uint8_t> frame) { return frame.size() > 3 && (frame[3] & 0x80) != 0; }

}  // namespace

FireWireCamcorder::FireWireCamcorder(const FwNode& node, std::unique_ptr<IDvLink> link)
    : node_(node), link_(std::move(link)) {
    transport_ = std::make_unique<AvcTransport>(*link_);
    // The output signal mode says the system before any frame comes (a
    // stopped deck sends none); operand 1 is 0x80 for SD 625/50.
    if (const AvcReply signal = transport_->Ask(AvcTransport::kOutputSignalMode); signal.Code() == 0xC)
        is625_ = (*signal.quadlet & 0xFF) == 0x80;
    Connect();
    deliverer_ = std::jthread([this](std::stop_token stop) { Deliver(stop); });
}

FireWireCamcorder::~FireWireCamcorder() {
    deliverer_.request_stop();
    deliverer_ = {};
    link_->StopReceive();
    link_->Disconnect();
    transport_.reset();
}

void FireWireCamcorder::Connect() {
    std::scoped_lock connecting(connectMutex_);
    link_->StopReceive();
    // Without a point-to-point connection the camcorder still broadcasts.
    const std::optional<int> channel = link_->Connect();
    {
        std::scoped_lock lock(mutex_);
        channel_ = channel;
    }
    link_->StartReceive(channel.value_or(kBroadcastChannel),
                        [this](std::span<const std::uint8_t> frame, bool complete) { OnFrame(frame, complete); });
}

void FireWireCamcorder::BusReset() {
    {
        std::scoped_lock lock(mutex_);
        if (unplugged_) return;
    }
    // Reconnecting keeps the channel; a device that lost its connection
    // altogether is connected anew.
    std::unique_lock connecting(connectMutex_);
    const std::optional<int> channel = link_->Reconnect();
    std::optional<int> before;
    {
        std::scoped_lock lock(mutex_);
        before = channel_;
    }
    connecting.unlock();
    if (!channel || channel != before) Connect();
}

void FireWireCamcorder::Unplug() {
    std::scoped_lock lock(mutex_);
    unplugged_ = true;
}

int FireWireCamcorder::Channel() const {
    std::scoped_lock lock(mutex_);
    return channel_.value_or(kBroadcastChannel);
}

void FireWireCamcorder::OnFrame(std::span<const std::uint8_t> frame, bool complete) {
    if (!complete) {
        ++incomplete_;
        return;
    }
    ring_.Push(frame);
}

void FireWireCamcorder::Deliver(std::stop_token stop) {
    auto lastFrame = std::chrono::steady_clock::now();
    while (!stop.stop_requested()) {
        if (link_->TakeReset()) BusReset();
        const std::span<const std::uint8_t> frame = ring_.Front(kDeliverWait);
        const auto now = std::chrono::steady_clock::now();
        if (frame.empty()) {
            LONG mode = 0;
            if (now - lastFrame > kFrameWatchdog && SUCCEEDED(GetMode(&mode)) && SendsFrames(mode)) {
                BusReset();
                lastFrame = now;
            }
            continue;
        }
        lastFrame = now;
        FrameSink sink;
        {
            std::scoped_lock lock(mutex_);
            is625_ = FrameIs625(frame);
            timecode_ = ReadFrameTimecode(frame);
            lastFrame_ = now;
            if (sink_) {
                sink = sink_;
                inSink_ = true;
            }
        }
        if (sink) {
            const bool taken = sink(frame);
            std::scoped_lock lock(mutex_);
            inSink_ = false;
            ++(taken ? delivered_ : refused_);
            sinkIdle_.notify_all();
        }
        ring_.Release();
    }
}

bool FireWireCamcorder::IsCamera() const { return transport_->CameraMode(); }

DeckDeviceId FireWireCamcorder::IdOfGuid(std::uint64_t guid) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(guid));
    return *ParseDeckDeviceId(text);
}

DeckDeviceId FireWireCamcorder::DeviceId() const { return IdOfGuid(node_.guid); }

bool FireWireCamcorder::Is625() const {
    std::scoped_lock lock(mutex_);
    return is625_;
}

std::uint32_t FireWireCamcorder::FrameBytes() const {
    return Is625() ? TapeFile::kFrameBytes625 : TapeFile::kFrameBytes525;
}

std::chrono::nanoseconds FireWireCamcorder::TickPeriod() const {
    return Is625() ? kFramePeriod625 : kFramePeriod525;
}

bool FireWireCamcorder::Unplugged() const {
    std::scoped_lock lock(mutex_);
    return unplugged_;
}

HRESULT FireWireCamcorder::SetMode(LONG mode) {
    if (Unplugged()) return KV_E_DEVICE_NOT_CONNECTED;
    return transport_->SetMode(mode);
}

HRESULT FireWireCamcorder::GetMode(LONG* mode) const {
    if (Unplugged()) return KV_E_DEVICE_NOT_CONNECTED;
    return transport_->GetMode(mode);
}

// The time code of the frame just received, as exact as it gets; while no
// frames come (winding, stopped) the one the deck reports over AV/C.
HRESULT FireWireCamcorder::GetTimecode(DWORD* bcd) const {
    if (!bcd) return E_POINTER;
    std::optional<std::uint32_t> timecode;
    {
        std::scoped_lock lock(mutex_);
        if (unplugged_) return KV_E_DEVICE_NOT_CONNECTED;
        if (std::chrono::steady_clock::now() - lastFrame_ < kFrameTimecodeAge) timecode = timecode_;
    }
    if (!timecode) timecode = transport_->TapeTimecode();
    if (!timecode) return E_FAIL;
    *bcd = *timecode;
    return S_OK;
}

HRESULT FireWireCamcorder::StartPlayer(const void* owner, FrameSink sink) {
    std::unique_lock lock(mutex_);
    if (owner_ && owner_ != owner) return HRESULT_FROM_WIN32(170);  // ERROR_BUSY
    owner_ = owner;
    sink_ = std::move(sink);
    return S_OK;
}

void FireWireCamcorder::RequestStopPlayer(const void* owner) {
    std::scoped_lock lock(mutex_);
    if (owner_ == owner) sink_ = nullptr;
}

void FireWireCamcorder::StopPlayer(const void* owner) {
    std::unique_lock lock(mutex_);
    if (owner_ != owner) return;
    sink_ = nullptr;
    sinkIdle_.wait(lock, [this] { return !inSink_; });
    owner_ = nullptr;
}

LONG FireWireCamcorder::DroppedFrames() const {
    std::scoped_lock lock(mutex_);
    return refused_ + static_cast<LONG>(incomplete_ + ring_.Overflows());
}

LONG FireWireCamcorder::DeliveredFrames() const {
    std::scoped_lock lock(mutex_);
    return delivered_;
}

std::int64_t FireWireCamcorder::IncompleteFrames() const { return incomplete_; }
