#pragma once
// CDvVideoCodec (CLSID_DVVideoCodec): decodes DV video (dvsd; the interleaved
// stream goes through the DV splitter first) to RGB32 DIB rows, bottom row first, at the size
// IIPDVDec::put_IPDisplay chose: full, half, quarter or DC. A new size takes
// effect at the next connection, since it changes the output type. A frame
// that cannot be decoded is dropped and the stream goes on.
#include <atomic>

#include "platform/media/base/transformfilter.h"
#include "platform/media/filters/dv/dv_video_decoder.h"
#include "platform/media/filters/dvdec/iipdvdec.h"

class CDvVideoCodec : public CTransformFilter, public IIPDVDec {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ---- IIPDVDec ----
    HRESULT get_IPDisplay(int* displayPix) override;
    // E_INVALIDARG for a value outside DVRESOLUTION_FULL..DVRESOLUTION_DC.
    HRESULT put_IPDisplay(int displayPix) override;

    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* mt) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

private:
    CDvVideoCodec(IUnknown* outer, HRESULT* phr);
    // The system the input type announces.
    static const DvSystem& SystemOf(const CMediaType& in);
    static CMediaType OutputType(const DvSystem& system, int lowres);

    std::atomic<int> display_{DVRESOLUTION_QUARTER};  // put_IPDisplay's last value
    int connectedLowres_ = 2;  // filter lock: the size of the output type agreed
    DvVideoDecoder decoder_;   // opened by StartStreaming; used on the streaming thread
};

// Registration data: name, merit (MERIT_NORMAL, so intelligent connect uses it), pins and types.
extern const AMOVIESETUP_FILTER kDvVideoCodecSetup;
