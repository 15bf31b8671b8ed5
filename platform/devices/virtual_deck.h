#pragma once
// VirtualDeck: a configured deck with its tape in, as long as something in
// this process uses it. Every capture filter of one deck in a process shares
// the one VirtualDeck (through Acquire), as every program window would share
// the one camcorder on the bus; its tape position survives filters coming
// and going while it is in use.
//
// The deck's player thread runs while a filter streams (StartPlayer): on each
// tick of the deck's pacer (one frame period divided by the speed factor) it
// advances the transport and hands the frame under the head, if the mode
// shows one, to the sink. Frames the sink cannot take, and ticks the player
// could not keep because the sink held it up, count as dropped.
//
// A deck of speed 0 waits for the capture instead (a tape file split on
// disk): it plays as fast as the capture takes the frames, holding each frame
// until the room check says the capture has room for it, and drops nothing.
//
// While in use the deck takes button presses from korvanta-deck through its
// DeckControlServer, and a deck removed from the configuration is unplugged:
// it stops, shows nothing more, and answers KV_E_DEVICE_NOT_CONNECTED.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "platform/devices/deck_config.h"
#include "platform/devices/deck_control.h"
#include "platform/devices/device_change.h"
#include "platform/devices/dv_deck.h"
#include "platform/devices/tape_file.h"
#include "platform/devices/tape_transport.h"

class VirtualDeck final : public DvDeck {
public:
    // The deck named name, shared with its other users in this process.
    // Fails with VFW_E_NOT_FOUND for a deck that is not configured, and with
    // TapeFile::Open's error for a tape that cannot be played.
    static HRESULT Acquire(const std::string& name, std::shared_ptr<VirtualDeck>* deck);

    // Use Acquire; public for make_shared.
    VirtualDeck(DeckConfig config, TapeFile tape);
    // The members go in the order that stops outside calls (device changes,
    // the control socket) before the player and the tape.
    ~VirtualDeck() override = default;
    VirtualDeck(const VirtualDeck&) = delete;
    VirtualDeck& operator=(const VirtualDeck&) = delete;

    const DeckConfig& Config() const { return config_; }
    bool IsCamera() const override { return config_.camera; }
    DeckDeviceId DeviceId() const override { return config_.deviceId; }
    bool Is625() const override { return tape_.Is625(); }
    std::uint32_t FrameBytes() const override { return tape_.FrameBytes(); }
    // One frame period on the deck, speed factor applied.
    std::chrono::nanoseconds TickPeriod() const override { return tickPeriod_; }
    // One frame period of the tape's system at real time.
    std::chrono::nanoseconds FramePeriod() const override;
    // Speed 0: the deck waits for the capture and never drops a frame.
    bool WaitsForCapture() const override { return config_.speed == 0; }
    // A deck that waits for the capture asks `hasRoom` before each frame it
    // plays and holds the frame until it answers true; called on the player
    // thread under the deck's lock, so it must not call back into the deck.
    // An empty function (the default) always has room.
    void SetRoomCheck(std::function<bool()> hasRoom);
    bool Unplugged() const override;

    // IAMExtTransport::put_Mode and get_Mode.
    HRESULT SetMode(LONG mode) override;
    HRESULT GetMode(LONG* mode) const override;
    // The BCD time code 0xHHMMSSFF of the frame under the head (flag bits
    // cleared); E_FAIL when that frame carries no time code.
    HRESULT GetTimecode(DWORD* bcd) const override;

    // Attaches owner's sink and starts the player; HRESULT_FROM_WIN32(ERROR_BUSY)
    // when another owner's player is attached (a second graph streaming from
    // the same deck). A player of owner's that was asked to stop is waited for first.
    HRESULT StartPlayer(const void* owner, FrameSink sink) override;
    // Asks owner's player to end without waiting: it ends once the sink
    // returns, which a paused downstream filter may put off.
    void RequestStopPlayer(const void* owner) override;
    // Ends owner's player and waits for it.
    void StopPlayer(const void* owner) override;

    LONG DroppedFrames() const override;
    LONG DeliveredFrames() const override;

private:
    void Play(std::stop_token stop, const FrameSink& sink);
    // The frame as the deck shows it: a camera writes the clock's date and time into it.
    bool ReadShownFrame(std::int64_t index, std::span<std::uint8_t> frame) const;
    std::string AnswerControl(std::string_view request);
    void OnDeviceChange(DeviceChange change, const std::string& name, const std::string& display);

    const DeckConfig config_;
    const TapeFile tape_;
    const std::chrono::nanoseconds tickPeriod_;
    // How many frames the link holds for a player that fell behind.
    static constexpr std::int64_t kBufferedFrames = 100;

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;   // a mode change or an unplug for the player
    TapeTransport transport_;            // guarded by mutex_
    bool modeChanged_ = false;           // guarded by mutex_
    bool unplugged_ = false;             // guarded by mutex_
    const void* playerOwner_ = nullptr;  // guarded by mutex_; whose sink the player feeds
    LONG dropped_ = 0;                   // guarded by mutex_
    LONG delivered_ = 0;                 // guarded by mutex_
    std::function<bool()> hasRoom_;      // guarded by mutex_

    std::mutex playerMutex_;                     // serialises starting and stopping the player
    std::jthread player_;                        // guarded by playerMutex_
    std::unique_ptr<DeckControlServer> control_; // after the state its handler reads
    DeviceChangeSubscription unplugWatch_;       // last: gone first
};
