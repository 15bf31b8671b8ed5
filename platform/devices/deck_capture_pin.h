#pragma once
// DeckCapturePin: the capture output (PIN_CATEGORY_CAPTURE). Its stream is
// switched on and off with IAMStreamControl (the capture graph builder's
// ControlStream), while the preview output keeps flowing; IAMDroppedFrames
// reports the deck's dropped and delivered frame counts.
#include <memory>

#include "platform/devices/deck_output_pin.h"
#include "platform/devices/extdevice.h"
#include "platform/media/base/streamcontrol.h"

class DvDeck;

class DeckCapturePin : public DeckOutputPin, public CBaseStreamControl, public IAMDroppedFrames {
public:
    DeckCapturePin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr, std::shared_ptr<DvDeck> deck);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetNumDropped(LONG* dropped) override;
    HRESULT GetNumNotDropped(LONG* notDropped) override;
    HRESULT GetDroppedInfo(LONG size, LONG* frames, LONG* copied) override;
    HRESULT GetAverageFrameSize(LONG* averageSize) override;

protected:
    bool WaitsForBuffer() const override;
    bool WantsSample(IMediaSample* sample) override;

private:
    const std::shared_ptr<DvDeck> deck_;
};
