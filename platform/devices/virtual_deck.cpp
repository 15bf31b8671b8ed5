#include "platform/devices/virtual_deck.h"

#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

#include "platform/devices/deck_buttons.h"
#include "platform/devices/extdevice.h"
#include "platform/devices/recording_packs.h"

namespace {

// Frame periods of the two systems: 25 frames a second, and 30000/1001.
constexpr std::chrono::nanoseconds kFramePeriod625{40'000'000};
constexpr std::chrono::nanoseconds kFramePeriod525{1'000'000'000LL * 1001 / 30000};

// The decks in use in this process, by name.
class LiveDecks {
public:
    static LiveDecks& Instance() {
        static LiveDecks decks;
        return decks;
    }
    HRESULT Acquire(const std::string& name, std::shared_ptr<VirtualDeck>* deck) {
        std::scoped_lock lock(mutex_);
        const auto config = deck_store::Find(name);
        if (!config) return VFW_E_NOT_FOUND;
        // A deck configured anew under its old name is another deck.
        if (auto live = decks_[name].lock(); live && !live->Unplugged() && live->Config() == *config) {
            *deck = std::move(live);
            return S_OK;
        }
        TapeFile tape;
        if (const HRESULT hr = tape.Open(config->tape); FAILED(hr)) return hr;
        *deck = std::make_shared<VirtualDeck>(*config, std::move(tape));
        decks_[name] = *deck;
        return S_OK;
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::weak_ptr<VirtualDeck>> decks_;  // guarded by mutex_
};

std::string TimecodeText(const VirtualDeck& deck) {
    DWORD bcd = 0;
    if (FAILED(deck.GetTimecode(&bcd))) return "--:--:--:--";
    char text[16];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x", bcd >> 24, (bcd >> 16) & 0xFF, (bcd >> 8) & 0xFF,
                  bcd & 0xFF);
    return text;
}

}  // namespace

HRESULT VirtualDeck::Acquire(const std::string& name, std::shared_ptr<VirtualDeck>* deck) {
    return LiveDecks::Instance().Acquire(name, deck);
}

VirtualDeck::VirtualDeck(DeckConfig config, TapeFile tape)
    : config_(std::move(config)),
      tape_(std::move(tape)),
      tickPeriod_(config_.speed == 0 ? std::chrono::nanoseconds(0)
                                     : std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           (tape_.Is625() ? kFramePeriod625 : kFramePeriod525) / config_.speed)),
      transport_(tape_.FrameCount(), config_.camera) {
    control_ = std::make_unique<DeckControlServer>(config_.name,
                                                   [this](std::string_view request) { return AnswerControl(request); });
    unplugWatch_ = WatchDeviceChanges([this](DeviceChange change, const std::string& name, const std::string& display) {
        OnDeviceChange(change, name, display);
    });
}

std::chrono::nanoseconds VirtualDeck::FramePeriod() const {
    return tape_.Is625() ? kFramePeriod625 : kFramePeriod525;
}

void VirtualDeck::SetRoomCheck(std::function<bool()> hasRoom) {
    std::lock_guard lock(mutex_);
    hasRoom_ = std::move(hasRoom);
}

bool VirtualDeck::Unplugged() const {
    std::scoped_lock lock(mutex_);
    return unplugged_;
}

HRESULT VirtualDeck::SetMode(LONG mode) {
    std::scoped_lock lock(mutex_);
    if (unplugged_) return KV_E_DEVICE_NOT_CONNECTED;
    const HRESULT hr = transport_.SetMode(mode);
    if (SUCCEEDED(hr)) {
        modeChanged_ = true;
        wake_.notify_all();
    }
    return hr;
}

HRESULT VirtualDeck::GetMode(LONG* mode) const {
    if (!mode) return E_POINTER;
    std::scoped_lock lock(mutex_);
    if (unplugged_) return KV_E_DEVICE_NOT_CONNECTED;
    *mode = transport_.Mode();
    return S_OK;
}

HRESULT VirtualDeck::GetTimecode(DWORD* bcd) const {
    if (!bcd) return E_POINTER;
    std::int64_t head = 0;
    {
        std::scoped_lock lock(mutex_);
        if (unplugged_) return KV_E_DEVICE_NOT_CONNECTED;
        head = transport_.HeadFrame();
    }
    std::vector<std::uint8_t> frame(tape_.FrameBytes());
    if (!tape_.ReadFrame(head, frame)) return E_FAIL;
    const auto timecode = ReadFrameTimecode(frame);
    if (!timecode) return E_FAIL;
    *bcd = *timecode;
    return S_OK;
}

HRESULT VirtualDeck::StartPlayer(const void* owner, FrameSink sink) {
    std::scoped_lock player(playerMutex_);
    {
        std::scoped_lock lock(mutex_);
        if (playerOwner_ && playerOwner_ != owner) return HRESULT_FROM_WIN32(170);  // ERROR_BUSY
        playerOwner_ = owner;
    }
    if (player_.joinable()) {
        player_.request_stop();
        player_.join();
    }
    player_ = std::jthread([this, sink = std::move(sink)](std::stop_token stop) { Play(stop, sink); });
    return S_OK;
}

void VirtualDeck::RequestStopPlayer(const void* owner) {
    std::scoped_lock player(playerMutex_);
    std::scoped_lock lock(mutex_);
    if (playerOwner_ == owner) player_.request_stop();
}

void VirtualDeck::StopPlayer(const void* owner) {
    std::scoped_lock player(playerMutex_);
    {
        std::scoped_lock lock(mutex_);
        if (playerOwner_ != owner) return;
    }
    if (player_.joinable()) {
        player_.request_stop();
        player_.join();
    }
    std::scoped_lock lock(mutex_);
    playerOwner_ = nullptr;
}

void VirtualDeck::Play(std::stop_token stop, const FrameSink& sink) {
    using Clock = std::chrono::steady_clock;
    std::vector<std::uint8_t> frame(tape_.FrameBytes());
    Clock::time_point due = Clock::now();
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        // A stopped VCR shows nothing until its mode changes: no tick to wait for.
        if (transport_.Mode() == ED_MODE_STOP && !config_.camera)
            wake_.wait(lock, stop, [this] { return modeChanged_; });
        else
            wake_.wait_until(lock, stop, due, [this] { return modeChanged_; });
        if (stop.stop_requested()) break;
        const Clock::time_point now = Clock::now();
        if (modeChanged_) {
            // A new mode takes effect at once, not at the next tick of the old one.
            modeChanged_ = false;
            due = now;
        }
        if (now < due) continue;
        // A deck that waits for the capture plays without pause, and only
        // while the capture has room; in its other modes it keeps real time.
        const bool fast = WaitsForCapture() && transport_.Mode() == ED_MODE_PLAY;
        if (fast && hasRoom_ && !hasRoom_()) {
            // A mode change or a stop still comes through while the frame waits.
            wake_.wait_for(lock, stop, std::chrono::milliseconds(2), [this] { return modeChanged_; });
            continue;
        }
        const std::chrono::nanoseconds period = fast ? std::chrono::nanoseconds(0)
                                                : WaitsForCapture() ? FramePeriod() : tickPeriod_;
        // Frames that fell due while the player was held up are still
        // delivered, one by one, as the link to a camcorder buffers them
        // (four seconds of real-time play); only a longer delay loses frames.
        const std::int64_t overdue = fast ? 0 : (now - due) / period;
        const std::int64_t ticks = overdue > kBufferedFrames ? 1 + overdue : 1;
        due += ticks * period;
        if (unplugged_) continue;
        const TapeTransport::Tick tick = transport_.Advance(ticks);
        if (!tick.frame) continue;
        dropped_ += static_cast<LONG>(tick.missed);
        lock.unlock();
        const bool readable = ReadShownFrame(*tick.frame, frame);
        const bool taken = readable && sink(frame);
        lock.lock();
        if (!readable) {
            // The tape file shrank under the deck: its end has come early.
            transport_.SetMode(ED_MODE_STOP);
        } else if (taken) {
            ++delivered_;
        } else {
            ++dropped_;
        }
    }
}

bool VirtualDeck::ReadShownFrame(std::int64_t index, std::span<std::uint8_t> frame) const {
    if (!tape_.ReadFrame(index, frame)) return false;
    if (config_.camera) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        WriteRecordingPacks(frame, tape_.Is625(), MakeRecordingDatePack(local), MakeRecordingTimePack(local));
    }
    return true;
}

LONG VirtualDeck::DroppedFrames() const {
    std::scoped_lock lock(mutex_);
    return dropped_;
}

LONG VirtualDeck::DeliveredFrames() const {
    std::scoped_lock lock(mutex_);
    return delivered_;
}

std::string VirtualDeck::AnswerControl(std::string_view request) {
    if (request.starts_with("press ")) {
        const std::string_view button = request.substr(6);
        const auto mode = ModeOfButton(button);
        if (!mode) return "error no button \"" + std::string(button) + "\"";
        if (const HRESULT hr = SetMode(*mode); FAILED(hr)) {
            char reason[64];
            std::snprintf(reason, sizeof reason, "error the deck refused %s (0x%08X)", std::string(button).c_str(),
                          static_cast<unsigned>(hr));
            return reason;
        }
    } else if (request != "status") {
        return "error unknown request";
    }
    LONG mode = 0;
    if (FAILED(GetMode(&mode))) return "error the deck is unplugged";
    return "ok " + std::string(ButtonOfMode(mode)) + " " + TimecodeText(*this);
}

void VirtualDeck::OnDeviceChange(DeviceChange change, const std::string& name, const std::string& display) {
    if (change != DeviceChange::Removal || name != config_.name || display != DeckDisplayName(config_)) return;
    std::scoped_lock lock(mutex_);
    unplugged_ = true;
    wake_.notify_all();
}
