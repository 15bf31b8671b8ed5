#include "platform/media/filters/dvdec/dv_video_codec.h"

#include <algorithm>
#include <cstring>

#include "platform/media/base/transforminputpin.h"
#include "platform/media/base/transformoutputpin.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace {

const REGPINTYPES kDvIn = {&MEDIATYPE_Video, &MEDIASUBTYPE_dvsd};
const REGPINTYPES kRgbOut = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32};
const AMOVIESETUP_PIN kPins[] = {
    {u"XForm In", FALSE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kDvIn},
    {u"XForm Out", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kRgbOut},
};

// DV video only. Were the interleaved stream taken too, a decoder already in
// the graph would swallow a camcorder's preview or a type-1 file whole and
// leave its sound behind: the DV splitter must come first.
bool IsDv(const CMediaType& mt) { return mt.majortype == MEDIATYPE_Video && mt.subtype == MEDIASUBTYPE_dvsd; }

}  // namespace

const AMOVIESETUP_FILTER kDvVideoCodecSetup = {&CLSID_DVVideoCodec, u"DV Video Decoder", MERIT_NORMAL, 2, kPins};

CUnknown* CDvVideoCodec::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* codec = new CDvVideoCodec(outer, phr);
    if (FAILED(*phr)) {
        delete codec;
        return nullptr;
    }
    return codec;
}

CDvVideoCodec::CDvVideoCodec(IUnknown* outer, HRESULT* phr)
    : CTransformFilter("DV Video Decoder", outer, CLSID_DVVideoCodec, phr) {}

HRESULT CDvVideoCodec::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IIPDVDec) return GetInterface(static_cast<IIPDVDec*>(this), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CDvVideoCodec::get_IPDisplay(int* displayPix) {
    if (!displayPix) return E_POINTER;
    *displayPix = display_;
    return S_OK;
}

HRESULT CDvVideoCodec::put_IPDisplay(int displayPix) {
    if (displayPix < DVRESOLUTION_FULL || displayPix > DVRESOLUTION_DC) return E_INVALIDARG;
    display_ = displayPix;
    return S_OK;
}

const DvSystem& CDvVideoCodec::SystemOf(const CMediaType& in) {
    if (in.formattype == FORMAT_VideoInfo && in.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        VIDEOINFOHEADER video;
        std::memcpy(&video, in.pbFormat, sizeof video);
        return DvSystemFor(std::abs(video.bmiHeader.biHeight) != kDvSystem525.height);
    }
    if (in.formattype == FORMAT_DvInfo && in.cbFormat >= sizeof(DVINFO)) {
        DVINFO info;
        std::memcpy(&info, in.pbFormat, sizeof info);
        if (info.dwDVVAuxSrc != 0) return DvSystemFor((info.dwDVVAuxSrc >> 21) & 1);  // VAUX PC3 bit 5: 50/60
    }
    return DvSystemFor(in.lSampleSize != kDvSystem525.frameBytes);
}

CMediaType CDvVideoCodec::OutputType(const DvSystem& system, int lowres) {
    const LONG width = system.width >> lowres;
    const LONG height = system.height >> lowres;
    CMediaType type(&MEDIATYPE_Video);
    type.SetSubtype(&MEDIASUBTYPE_RGB32);
    type.SetFormatType(&FORMAT_VideoInfo);
    type.SetSampleSize(DWORD(width * height * 4));
    VIDEOINFOHEADER video{};
    video.rcSource = {0, 0, width, height};
    video.rcTarget = video.rcSource;
    video.AvgTimePerFrame = REFERENCE_TIME(system.microsecondsPerFrame) * 10;
    // Positive height: rows bottom-up, as a Windows DIB.
    video.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, DWORD(width * height * 4), 0, 0, 0, 0};
    type.SetFormat(reinterpret_cast<const BYTE*>(&video), sizeof video);
    return type;
}

HRESULT CDvVideoCodec::CheckInputType(const CMediaType* in) { return IsDv(*in) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED; }

HRESULT CDvVideoCodec::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!IsDv(*in) || out->majortype != MEDIATYPE_Video || out->subtype != MEDIASUBTYPE_RGB32 ||
        out->formattype != FORMAT_VideoInfo || out->cbFormat < sizeof(VIDEOINFOHEADER))
        return VFW_E_TYPE_NOT_ACCEPTED;
    VIDEOINFOHEADER video;
    std::memcpy(&video, out->pbFormat, sizeof video);
    const DvSystem& system = SystemOf(*in);
    for (int lowres = 0; lowres <= DvVideoDecoder::kMaxLowres; ++lowres)
        if (video.bmiHeader.biWidth == system.width >> lowres && video.bmiHeader.biHeight == system.height >> lowres)
            return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDvVideoCodec::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!m_pInput || !m_pInput->IsConnected()) return VFW_E_NOT_CONNECTED;
    *mt = OutputType(SystemOf(m_pInput->CurrentMediaType()), display_ - DVRESOLUTION_FULL);
    return S_OK;
}

HRESULT CDvVideoCodec::SetMediaType(PIN_DIRECTION direction, const CMediaType* mt) {
    if (direction == PINDIR_OUTPUT) {
        VIDEOINFOHEADER video;
        std::memcpy(&video, mt->pbFormat, sizeof video);
        const DvSystem& system = SystemOf(m_pInput->CurrentMediaType());
        connectedLowres_ = 0;
        while (connectedLowres_ < DvVideoDecoder::kMaxLowres && (system.width >> connectedLowres_) > video.bmiHeader.biWidth)
            ++connectedLowres_;
    }
    return S_OK;
}

HRESULT CDvVideoCodec::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    const CMediaType& out = m_pOutput->CurrentMediaType();
    props->cBuffers = std::max<LONG>(props->cBuffers, 2);
    props->cbBuffer = std::max<LONG>(props->cbBuffer, LONG(out.lSampleSize));
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < props->cbBuffer ? E_FAIL : S_OK;
}

HRESULT CDvVideoCodec::StartStreaming() {
    return decoder_.Open(SystemOf(m_pInput->CurrentMediaType()), connectedLowres_);
}

HRESULT CDvVideoCodec::StopStreaming() {
    decoder_.Close();
    return S_OK;
}

HRESULT CDvVideoCodec::Transform(IMediaSample* in, IMediaSample* out) {
    BYTE* source = nullptr;
    BYTE* target = nullptr;
    if (FAILED(in->GetPointer(&source)) || FAILED(out->GetPointer(&target))) return E_POINTER;
    const std::span<const BYTE> frame(source, std::size_t(std::max<LONG>(in->GetActualDataLength(), 0)));
    const std::span<BYTE> dib(target, std::size_t(std::max<LONG>(out->GetSize(), 0)));
    if (decoder_.Decode(frame, dib) != S_OK) return S_FALSE;  // a damaged frame: drop it, keep going
    out->SetActualDataLength(LONG(decoder_.ImageBytes()));
    out->SetSyncPoint(TRUE);
    return S_OK;
}
