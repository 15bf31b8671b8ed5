#include "platform/media/base/pospassthru.h"

CPosPassThru::CPosPassThru(const char* name, IUnknown* outer, HRESULT* phr, IPin* pin)
    : CUnknown(name, outer), pin_(pin) {
    if (!pin && phr) *phr = E_POINTER;
}

HRESULT CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CPosPassThru::GetPeerSeeking(ComPtr<IMediaSeeking>* seeking) {
    if (!pin_) return E_POINTER;
    ComPtr<IPin> upstream;
    if (FAILED(pin_->ConnectedTo(upstream.GetAddressOf()))) return VFW_E_NOT_CONNECTED;
    if (FAILED(upstream.As(seeking))) return E_NOTIMPL;
    return S_OK;
}

template <class Call>
HRESULT CPosPassThru::Forward(Call call) {
    ComPtr<IMediaSeeking> seeking;
    const HRESULT hr = GetPeerSeeking(&seeking);
    if (FAILED(hr)) return hr;
    return call(seeking.Get());
}

HRESULT CPosPassThru::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetCapabilities(capabilities); });
}
HRESULT CPosPassThru::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->CheckCapabilities(capabilities); });
}
HRESULT CPosPassThru::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->IsFormatSupported(format); });
}
HRESULT CPosPassThru::QueryPreferredFormat(GUID* format) {
    if (!format) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->QueryPreferredFormat(format); });
}
HRESULT CPosPassThru::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetTimeFormat(format); });
}
HRESULT CPosPassThru::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->IsUsingTimeFormat(format); });
}
HRESULT CPosPassThru::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->SetTimeFormat(format); });
}
HRESULT CPosPassThru::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetDuration(duration); });
}
HRESULT CPosPassThru::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetStopPosition(stop); });
}
HRESULT CPosPassThru::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetCurrentPosition(current); });
}
HRESULT CPosPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                        const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    return Forward(
        [&](IMediaSeeking* s) { return s->ConvertTimeFormat(target, targetFormat, source, sourceFormat); });
}
HRESULT CPosPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    return Forward([&](IMediaSeeking* s) { return s->SetPositions(current, currentFlags, stop, stopFlags); });
}
HRESULT CPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) {
    return Forward([&](IMediaSeeking* s) { return s->GetPositions(current, stop); });
}
HRESULT CPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    return Forward([&](IMediaSeeking* s) { return s->GetAvailable(earliest, latest); });
}
HRESULT CPosPassThru::SetRate(double rate) {
    return Forward([&](IMediaSeeking* s) { return s->SetRate(rate); });
}
HRESULT CPosPassThru::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetRate(rate); });
}
HRESULT CPosPassThru::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    return Forward([&](IMediaSeeking* s) { return s->GetPreroll(preroll); });
}
