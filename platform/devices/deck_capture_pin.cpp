#include "platform/devices/deck_capture_pin.h"

#include "platform/devices/dv_deck.h"
#include "platform/media/uuids.h"

DeckCapturePin::DeckCapturePin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr, std::shared_ptr<DvDeck> deck)
    : DeckOutputPin("Deck capture pin", filter, lock, phr, u"Capture", PIN_CATEGORY_CAPTURE, deck->Is625(),
                    static_cast<LONG>(deck->FrameBytes())),
      deck_(std::move(deck)) {}

HRESULT DeckCapturePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IAMStreamControl) return GetInterface(static_cast<IAMStreamControl*>(this), ppv);
    if (riid == IID_IAMDroppedFrames) return GetInterface(static_cast<IAMDroppedFrames*>(this), ppv);
    return DeckOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DeckCapturePin::GetNumDropped(LONG* dropped) {
    if (!dropped) return E_POINTER;
    *dropped = deck_->DroppedFrames();
    return S_OK;
}

HRESULT DeckCapturePin::GetNumNotDropped(LONG* notDropped) {
    if (!notDropped) return E_POINTER;
    *notDropped = deck_->DeliveredFrames();
    return S_OK;
}

// The deck does not keep which frames it dropped.
HRESULT DeckCapturePin::GetDroppedInfo(LONG, LONG*, LONG*) { return E_NOTIMPL; }

HRESULT DeckCapturePin::GetAverageFrameSize(LONG* averageSize) {
    if (!averageSize) return E_POINTER;
    *averageSize = static_cast<LONG>(deck_->FrameBytes());
    return S_OK;
}

bool DeckCapturePin::WaitsForBuffer() const { return deck_->WaitsForCapture(); }

bool DeckCapturePin::WantsSample(IMediaSample* sample) { return CheckStreamState(sample) == STREAM_FLOWING; }
