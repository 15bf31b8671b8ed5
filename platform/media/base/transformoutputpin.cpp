#include "platform/media/base/transformoutputpin.h"

#include "platform/media/base/pospassthru.h"
#include "platform/media/base/transformfilter.h"
#include "platform/media/base/transforminputpin.h"

CTransformOutputPin::CTransformOutputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr,
                                         LPCWSTR pinName)
    : CBaseOutputPin(objectName, filter, &filter->m_csFilter, phr, pinName), m_pTransformFilter(filter) {}

CTransformOutputPin::~CTransformOutputPin() = default;

HRESULT CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) {
        CAutoLock lock(m_pLock);
        if (!m_pPosition) {
            HRESULT hr = S_OK;
            m_pPosition = std::make_unique<CPosPassThru>("Transform seeking", GetOwner(), &hr,
                                                         m_pTransformFilter->m_pInput.get());
        }
        return m_pPosition->NonDelegatingQueryInterface(riid, ppv);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    CTransformInputPin* input = m_pTransformFilter->m_pInput.get();
    if (!input || !input->IsConnected()) return VFW_E_NOT_CONNECTED;
    return m_pTransformFilter->CheckTransform(&input->CurrentMediaType(), mt);
}

HRESULT CTransformOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    CTransformInputPin* input = m_pTransformFilter->m_pInput.get();
    if (!input || !input->IsConnected()) return VFW_E_NOT_CONNECTED;
    return m_pTransformFilter->GetMediaType(position, mt);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* mt) {
    HRESULT hr = CBaseOutputPin::SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return m_pTransformFilter->SetMediaType(PINDIR_OUTPUT, mt);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pin) {
    CTransformInputPin* input = m_pTransformFilter->m_pInput.get();
    if (!input || !input->IsConnected()) return E_UNEXPECTED;
    const HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_OUTPUT, pin);
    if (FAILED(hr)) return hr;
    return CBaseOutputPin::CheckConnect(pin);
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    if (FAILED(hr)) return hr;
    return m_pTransformFilter->CompleteConnect(PINDIR_OUTPUT, receivePin);
}

HRESULT CTransformOutputPin::BreakConnect() {
    m_pTransformFilter->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    return m_pTransformFilter->DecideBufferSize(allocator, props);
}
