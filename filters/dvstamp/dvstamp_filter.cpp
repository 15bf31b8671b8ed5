#include "filters/dvstamp/dvstamp_filter.h"

#include <algorithm>
#include <new>

#include "platform/media/base/mediatype.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kFilterName[] = "Tarvik DV Video Info";

}  // namespace

CUnknown* DvStampFilter::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) DvStampFilter(outer, phr);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

// Constructed as not modifying the data: the transform only reads, so
// read-only samples pass without a copy.
DvStampFilter::DvStampFilter(IUnknown* outer, HRESULT* phr)
    : CTransInPlaceFilter(kFilterName, outer, CLSID_DvStamp, phr, false) {}

HRESULT DvStampFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IDvStamp) return GetInterface(static_cast<IDvStamp*>(this), ppv);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DvStampFilter::GetFrameInfo(DvFrameInfo* info) {
    if (!info) return E_POINTER;
    std::scoped_lock lock(infoLock_);
    *info = info_;
    return S_OK;
}

HRESULT DvStampFilter::CheckInputType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return *mt->Subtype() == MEDIASUBTYPE_dvsd ? S_OK : E_INVALIDARG;
}

HRESULT DvStampFilter::Transform(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    BYTE* data = nullptr;
    const HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    // Only the bytes the sample holds now: a short or empty sample in a
    // recycled buffer must not be decoded from what an earlier frame left there.
    const LONG length = std::clamp(sample->GetActualDataLength(), LONG{0}, sample->GetSize());
    reader_.Attach(data, static_cast<std::uint32_t>(length));

    std::scoped_lock lock(infoLock_);
    reader_.FillInfo(info_);
    return S_OK;
}
