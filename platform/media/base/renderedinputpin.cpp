#include "platform/media/base/renderedinputpin.h"

#include "platform/media/base/basefilter.h"
#include "platform/media/evcode.h"

CRenderedInputPin::CRenderedInputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr,
                                     LPCWSTR pinName)
    : CBaseInputPin(objectName, filter, lock, phr, pinName) {}

HRESULT CRenderedInputPin::EndOfStream() {
    const HRESULT hr = CBaseInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    FILTER_STATE state = State_Stopped;
    m_pFilter->GetState(0, &state);
    if (state == State_Running) DoCompleteHandling();
    return S_OK;
}

HRESULT CRenderedInputPin::EndFlush() {
    m_bCompleteNotified = false;
    return CBaseInputPin::EndFlush();
}

HRESULT CRenderedInputPin::Active() {
    m_bCompleteNotified = false;
    return CBaseInputPin::Active();
}

HRESULT CRenderedInputPin::Run(REFERENCE_TIME start) {
    if (m_bAtEndOfStream) DoCompleteHandling();
    return CBaseInputPin::Run(start);
}

void CRenderedInputPin::DoCompleteHandling() {
    if (!m_bCompleteNotified.exchange(true)) m_pFilter->NotifyEvent(EC_COMPLETE, S_OK, 0);
}
