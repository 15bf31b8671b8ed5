#include "platform/media/base/transforminputpin.h"

#include "platform/media/base/transformfilter.h"
#include "platform/media/base/transformoutputpin.h"

CTransformInputPin::CTransformInputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr,
                                       LPCWSTR pinName)
    : CBaseInputPin(objectName, filter, &filter->m_csFilter, phr, pinName), m_pTransformFilter(filter) {}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    HRESULT hr = m_pTransformFilter->CheckInputType(mt);
    if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    CTransformOutputPin* output = m_pTransformFilter->m_pOutput.get();
    if (output && output->IsConnected()) return m_pTransformFilter->CheckTransform(mt, &output->CurrentMediaType());
    return S_OK;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType* mt) {
    HRESULT hr = CBaseInputPin::SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return m_pTransformFilter->SetMediaType(PINDIR_INPUT, mt);
}

HRESULT CTransformInputPin::CheckConnect(IPin* pin) {
    const HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_INPUT, pin);
    if (FAILED(hr)) return hr;
    return CBaseInputPin::CheckConnect(pin);
}

HRESULT CTransformInputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = m_pTransformFilter->CompleteConnect(PINDIR_INPUT, receivePin);
    if (FAILED(hr)) return hr;
    return CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT CTransformInputPin::BreakConnect() {
    m_pTransformFilter->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT CTransformInputPin::Receive(IMediaSample* sample) {
    CAutoLock streaming(&m_pTransformFilter->m_csReceive);
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_pTransformFilter->Receive(sample);
}

HRESULT CTransformInputPin::EndOfStream() {
    CAutoLock streaming(&m_pTransformFilter->m_csReceive);
    const HRESULT hr = CBaseInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    return m_pTransformFilter->EndOfStream();
}

HRESULT CTransformInputPin::BeginFlush() {
    CAutoLock lock(&m_pTransformFilter->m_csFilter);
    if (!IsConnected() || !m_pTransformFilter->m_pOutput->IsConnected()) return VFW_E_NOT_CONNECTED;
    const HRESULT hr = CBaseInputPin::BeginFlush();
    if (FAILED(hr)) return hr;
    return m_pTransformFilter->BeginFlush();
}

HRESULT CTransformInputPin::EndFlush() {
    CAutoLock lock(&m_pTransformFilter->m_csFilter);
    if (!IsConnected() || !m_pTransformFilter->m_pOutput->IsConnected()) return VFW_E_NOT_CONNECTED;
    const HRESULT hr = CBaseInputPin::EndFlush();
    if (FAILED(hr)) return hr;
    return m_pTransformFilter->EndFlush();
}

HRESULT CTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    CBasePin::NewSegment(start, stop, rate);
    return m_pTransformFilter->NewSegment(start, stop, rate);
}
