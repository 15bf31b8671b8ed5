#include "filters/relaysink/relay_sink_filter.h"

#include "filters/relaysink/relay_sink_input_pin.h"

RelaySinkFilter::RelaySinkFilter(IUnknown* owner, CCritSec* filterLock)
    : CBaseFilter("Relay sink filter", owner, filterLock, CLSID_RelaySink) {}

CBasePin* RelaySinkFilter::GetPin(int n) { return n == 0 ? pin_ : nullptr; }

int RelaySinkFilter::GetPinCount() { return 1; }

HRESULT RelaySinkFilter::SetFolder(const bstr_t& folder) {
    CAutoLock hold(m_pLock);
    pin_->Scenes().SetFolder(folder);
    return S_OK;
}

HRESULT RelaySinkFilter::SetFilePrefix(const bstr_t& prefix) {
    CAutoLock hold(m_pLock);
    pin_->Scenes().SetFilePrefix(prefix);
    return S_OK;
}

HRESULT RelaySinkFilter::SetSceneThreshold(std::int32_t seconds) {
    CAutoLock hold(m_pLock);
    pin_->Scenes().SetSceneThreshold(seconds);
    return S_OK;
}

HRESULT RelaySinkFilter::SetCaptureMode(std::int32_t mode) {
    CAutoLock hold(m_pLock);
    pin_->Scenes().SetCaptureMode(mode);
    return S_OK;
}

HRESULT RelaySinkFilter::GetRecording(std::uint8_t* recording) {
    if (!recording) return E_POINTER;
    CAutoLock hold(m_pLock);
    *recording = pin_->Scenes().Recording() ? 1 : 0;
    return S_OK;
}

HRESULT RelaySinkFilter::GetWide(std::uint8_t* wide) {
    if (!wide) return E_POINTER;
    CAutoLock hold(m_pLock);
    *wide = pin_->Scenes().FileWide() ? 1 : 0;
    return S_OK;
}

HRESULT RelaySinkFilter::GetFileName(bstr_t* name) {
    if (!name) return E_POINTER;
    CAutoLock hold(m_pLock);
    *name = pin_->Scenes().FileName();
    return S_OK;
}

HRESULT RelaySinkFilter::GetFolder(bstr_t* folder) {
    if (!folder) return E_POINTER;
    CAutoLock hold(m_pLock);
    *folder = pin_->Scenes().Folder();
    return S_OK;
}

HRESULT RelaySinkFilter::GetNextEvent(RelayEvent** event) {
    if (!event) return E_POINTER;
    CAutoLock hold(m_pLock);
    *event = pin_->Scenes().Events().TakeOldest().release();
    return *event ? S_OK : S_FALSE;
}

HRESULT RelaySinkFilter::GetFrameCount(std::int64_t* count) {
    if (!count) return E_POINTER;
    CAutoLock hold(m_pLock);
    *count = pin_->Scenes().FrameCount();
    return S_OK;
}

HRESULT RelaySinkFilter::GetQueue(FrameQueue** queue) {
    if (!queue) return E_POINTER;
    CAutoLock hold(m_pLock);
    *queue = &pin_->Scenes().Queue();
    return S_OK;
}
