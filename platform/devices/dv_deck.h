#pragma once
// DvDeck: the device behind a DV capture filter, whatever carries its
// frames: a virtual deck playing a tape file, or a camcorder on the 1394 bus.
// The capture filter and its pins see a deck only through this interface, so
// every kind of deck has the same pins and external-device interfaces.
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/devices/deck_config.h"
#include "platform/com/hresult.h"

class DvDeck {
public:
    virtual ~DvDeck() = default;

    // ED_DEVTYPE_CAMERA rather than ED_DEVTYPE_VCR.
    virtual bool IsCamera() const = 0;
    // The 8 bytes get_ExternalDeviceID hands out.
    virtual DeckDeviceId DeviceId() const = 0;
    virtual bool Is625() const = 0;
    virtual std::uint32_t FrameBytes() const = 0;
    // One frame period on the deck.
    virtual std::chrono::nanoseconds TickPeriod() const = 0;
    // One frame period of the tape's system at real time.
    virtual std::chrono::nanoseconds FramePeriod() const { return TickPeriod(); }
    // A deck that waits for the capture instead of dropping frames (a file
    // played as fast as it is written); a camcorder never waits.
    virtual bool WaitsForCapture() const { return false; }
    virtual bool Unplugged() const = 0;

    // IAMExtTransport::put_Mode and get_Mode.
    virtual HRESULT SetMode(LONG mode) = 0;
    virtual HRESULT GetMode(LONG* mode) const = 0;
    // The BCD time code 0xHHMMSSFF under the head; E_FAIL when there is none.
    virtual HRESULT GetTimecode(DWORD* bcd) const = 0;

    // Receives each frame the deck shows; returns false when it could not
    // take it. Called on the deck's own thread, never under its lock.
    using FrameSink = std::function<bool(std::span<const std::uint8_t> frame)>;
    // Attaches owner's sink and starts delivery; HRESULT_FROM_WIN32(ERROR_BUSY)
    // when another owner's sink is attached.
    virtual HRESULT StartPlayer(const void* owner, FrameSink sink) = 0;
    // Asks owner's delivery to end without waiting for it.
    virtual void RequestStopPlayer(const void* owner) = 0;
    // Ends owner's delivery and waits for it.
    virtual void StopPlayer(const void* owner) = 0;

    virtual LONG DroppedFrames() const = 0;
    virtual LONG DeliveredFrames() const = 0;
};
