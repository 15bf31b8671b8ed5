#pragma once
// DvStampFilter: the DV video info filter. An in-place transform on an
// interleaved DV stream that passes every sample on untouched and keeps the
// system, 16:9 flag, time code and recording date and time of the latest
// frame for the program, which reads them through IDvStamp.
#include <mutex>

#include "dvshared/dv_frame_reader.h"
#include "filters/dvstamp/idvstamp.h"
#include "platform/media/base/transinplacefilter.h"

class DvStampFilter final : public CTransInPlaceFilter, public IDvStamp {
public:
    // The factory template's creation function.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IDvStamp; any thread.
    HRESULT GetFrameInfo(DvFrameInfo* info) override;

    // Connection thread: any DV stream of subtype dvsd, whatever its major
    // and format type; anything else E_INVALIDARG.
    HRESULT CheckInputType(const CMediaType* mt) override;
    // Streaming thread: decodes the frame into the record; never changes the data.
    HRESULT Transform(IMediaSample* sample) override;

private:
    DvStampFilter(IUnknown* outer, HRESULT* phr);

    // Streaming thread only: attached to the current sample's buffer, never copying.
    DvFrameReader reader_;
    // Taken by the transform while it fills the record and by GetFrameInfo
    // while it copies it out, so a copy never mixes two frames. No other
    // lock is taken inside it.
    std::mutex infoLock_;
    // Guarded by infoLock_. Zero until the first frame; never reset, so the
    // last frame's values stay readable after the graph stops.
    DvFrameInfo info_{};
};
