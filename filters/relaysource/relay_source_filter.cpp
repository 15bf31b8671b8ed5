#include "filters/relaysource/relay_source_filter.h"

#include <new>

#include "filters/relaysource/relay_source_pin.h"

CUnknown* RelaySourceFilter::CreateInstance(IUnknown* outer, HRESULT* phr) {
    HRESULT hr = S_OK;
    auto* filter = new (std::nothrow) RelaySourceFilter(outer, &hr);
    if (!filter) hr = E_OUTOFMEMORY;
    if (phr) *phr = hr;
    return filter;
}

RelaySourceFilter::RelaySourceFilter(IUnknown* outer, HRESULT* phr)
    : CSource("Relay source filter", outer, CLSID_RelaySource, phr) {
    // The pin adds itself to CSource, which owns it from then on.
    pin_ = new (std::nothrow) RelaySourcePin(phr, this);
    if (!pin_) *phr = E_OUTOFMEMORY;
}

HRESULT RelaySourceFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IRelaySource) return GetInterface(static_cast<IRelaySource*>(this), ppv);
    return CSource::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT RelaySourceFilter::SetIs625(std::uint8_t is625) {
    pin_->SetIs625(is625 != 0);
    return S_OK;
}

HRESULT RelaySourceFilter::SetQueue(FrameQueue* queue) {
    if (!queue) return E_POINTER;
    pin_->SetQueue(queue);
    return S_OK;
}
