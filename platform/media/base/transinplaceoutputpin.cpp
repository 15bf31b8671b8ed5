#include "platform/media/base/transinplaceoutputpin.h"

#include <algorithm>

#include "platform/media/base/transinplacefilter.h"
#include "platform/media/base/transinplaceinputpin.h"

CTransInPlaceOutputPin::CTransInPlaceOutputPin(const char* objectName, CTransInPlaceFilter* filter, HRESULT* phr,
                                               LPCWSTR pinName)
    : CTransformOutputPin(objectName, filter, phr, pinName), m_pTIPFilter(filter) {}

HRESULT CTransInPlaceOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    if (!pin || !allocator) return E_POINTER;
    CTransformInputPin* input = m_pTIPFilter->InputPin();
    IMemAllocator* shared = input->IsConnected() ? input->PeekAllocator() : nullptr;
    if (shared) {
        // Grow the shared pool to what the downstream pin asks for, if it can still change.
        ALLOCATOR_PROPERTIES want{};
        ALLOCATOR_PROPERTIES have{};
        if (SUCCEEDED(pin->GetAllocatorRequirements(&want)) && SUCCEEDED(shared->GetProperties(&have))) {
            ALLOCATOR_PROPERTIES merged{std::max(want.cBuffers, have.cBuffers), std::max(want.cbBuffer, have.cbBuffer),
                                        std::max({want.cbAlign, have.cbAlign, LONG{1}}),
                                        std::max(want.cbPrefix, have.cbPrefix)};
            ALLOCATOR_PROPERTIES actual{};
            shared->SetProperties(&merged, &actual);
        }
        if (SUCCEEDED(pin->NotifyAllocator(shared, input->IsReadOnly()))) {
            *allocator = shared;
            shared->AddRef();
            return S_OK;
        }
    }
    return CTransformOutputPin::DecideAllocator(pin, allocator);
}

HRESULT CTransInPlaceOutputPin::CheckMediaType(const CMediaType* mt) {
    HRESULT hr = CTransformOutputPin::CheckMediaType(mt);
    if (hr != S_OK) return hr;
    hr = m_pTIPFilter->CheckInputType(mt);
    if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    IPin* upstream = m_pTIPFilter->InputPin()->GetConnected();
    if (upstream && upstream->QueryAccept(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

void CTransInPlaceOutputPin::ReceiveAllocator(IMemAllocator* allocator) {
    allocator->AddRef();
    if (m_pAllocator) m_pAllocator->Release();
    m_pAllocator = allocator;
}
