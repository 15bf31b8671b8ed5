#pragma once
// DeckOutputPin: one output of the deck's capture filter. Both outputs carry
// the same interleaved DV frames (MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd,
// FORMAT_DvInfo with the DVINFO of the tape's system); the pin category,
// which the capture graph builder reads through IKsPropertySet, tells the
// capture stream from the preview stream.
//
// Frames are handed over on the deck's player thread. A live source must not
// wait for its consumers, so a frame for which no buffer is free at once is
// not delivered (and counts as dropped).
#include <span>

#include "platform/media/base/kspropertyset.h"
#include "platform/media/base/outputpin.h"

class DeckOutputPin : public CBaseOutputPin, public IKsPropertySet {
public:
    DeckOutputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR pinName,
                  const GUID& category, bool is625, LONG frameBytes);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

    // IKsPropertySet: the pin category is the only property, read-only.
    HRESULT Set(REFGUID propSet, DWORD id, void* instanceData, DWORD instanceLength, void* propertyData,
                DWORD dataLength) override;
    HRESULT Get(REFGUID propSet, DWORD id, void* instanceData, DWORD instanceLength, void* propertyData,
                DWORD dataLength, DWORD* bytesReturned) override;
    HRESULT QuerySupported(REFGUID propSet, DWORD id, DWORD* typeSupport) override;

    // Player thread: copies the frame into a sample stamped start..stop and
    // delivers it. True when the frame went downstream, or was not meant to
    // (the pin is unconnected or its stream is switched off).
    bool DeliverFrame(std::span<const std::uint8_t> frame, REFERENCE_TIME start, REFERENCE_TIME stop,
                      bool discontinuity);

    LONG FrameBytes() const { return frameBytes_; }

protected:
    // Optional: whether delivery waits for a free buffer instead of dropping
    // the frame; a live source never waits (the default).
    virtual bool WaitsForBuffer() const { return false; }
    // Optional: whether this sample is to be delivered; every one by default.
    virtual bool WantsSample(IMediaSample* sample);
    // Hands the filled sample downstream; true when it went (or was meant to
    // be dropped without counting). Delivers at once by default.
    virtual bool Send(IMediaSample* sample);

private:
    const GUID category_;
    const bool is625_;
    const LONG frameBytes_;
};
