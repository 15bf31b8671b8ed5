#include "filters/relaysink/relay_sink_input_pin.h"

#include <algorithm>

#include "platform/media/uuids.h"

RelaySinkInputPin::RelaySinkInputPin(CBaseFilter* filter, CCritSec* filterLock, CCritSec* receiveLock,
                                     HRESULT* phr)
    : CRenderedInputPin("Relay sink input pin", filter, filterLock, phr, u"Input"), receiveLock_(receiveLock) {}

HRESULT RelaySinkInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (*mt->FormatType() == FORMAT_DvInfo && *mt->Subtype() == MEDIASUBTYPE_dvsd) return S_OK;
    return E_INVALIDARG;
}

HRESULT RelaySinkInputPin::Receive(IMediaSample* sample) {
    CAutoLock hold(receiveLock_);
    HRESULT hr = CRenderedInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (!active_) return VFW_E_WRONG_STATE;

    BYTE* data = nullptr;
    hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    if (!data) return E_POINTER;
    // Only the bytes the upstream filter wrote: the rest of the buffer may
    // still hold an older frame.
    const LONG size = std::max<LONG>(sample->GetSize(), 0);
    const LONG length = std::clamp<LONG>(sample->GetActualDataLength(), 0, size);
    scenes_.OnSample(data, static_cast<std::uint32_t>(length), sample->IsDiscontinuity() == S_OK);
    return S_OK;
}

HRESULT RelaySinkInputPin::ReceiveCanBlock() { return S_FALSE; }

HRESULT RelaySinkInputPin::EndOfStream() {
    CAutoLock hold(receiveLock_);
    scenes_.EndOfStreaming();
    return CRenderedInputPin::EndOfStream();
}

HRESULT RelaySinkInputPin::Active() {
    CAutoLock hold(receiveLock_);
    active_ = true;
    return CRenderedInputPin::Active();
}

HRESULT RelaySinkInputPin::Inactive() {
    CAutoLock hold(receiveLock_);
    active_ = false;
    scenes_.EndOfStreaming();
    return CRenderedInputPin::Inactive();
}
