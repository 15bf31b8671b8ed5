#include "platform/media/base/transinplaceinputpin.h"

#include "platform/media/base/transinplacefilter.h"
#include "platform/media/base/transinplaceoutputpin.h"

CTransInPlaceInputPin::CTransInPlaceInputPin(const char* objectName, CTransInPlaceFilter* filter, HRESULT* phr,
                                             LPCWSTR pinName)
    : CTransformInputPin(objectName, filter, phr, pinName), m_pTIPFilter(filter) {}

HRESULT CTransInPlaceInputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    CAutoLock lock(m_pLock);
    CBaseOutputPin* output = m_pTIPFilter->OutputPin();
    if (output->ConnectedIMemInputPin()) return output->ConnectedIMemInputPin()->GetAllocator(allocator);
    return CTransformInputPin::GetAllocator(allocator);
}

HRESULT CTransInPlaceInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (!allocator) return E_POINTER;
    CAutoLock lock(m_pLock);
    HRESULT hr = CTransformInputPin::NotifyAllocator(allocator, readOnly);
    if (FAILED(hr)) return hr;
    CTransInPlaceOutputPin* output = m_pTIPFilter->OutputPin();
    IMemInputPin* downstream = output->ConnectedIMemInputPin();
    if (downstream && SUCCEEDED(downstream->NotifyAllocator(allocator, readOnly))) output->ReceiveAllocator(allocator);
    return S_OK;
}

HRESULT CTransInPlaceInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    CBaseOutputPin* output = m_pTIPFilter->OutputPin();
    if (output->ConnectedIMemInputPin()) return output->ConnectedIMemInputPin()->GetAllocatorRequirements(props);
    return E_NOTIMPL;
}

HRESULT CTransInPlaceInputPin::CheckMediaType(const CMediaType* mt) {
    HRESULT hr = CTransformInputPin::CheckMediaType(mt);
    if (hr != S_OK) return hr;
    // Also asked on the streaming thread (a sample's new type): no filter lock here.
    IPin* downstream = m_pTIPFilter->OutputPin()->GetConnected();
    if (downstream && downstream->QueryAccept(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CTransInPlaceInputPin::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    CBasePin* output = m_pTIPFilter->OutputPin();
    if (position > 0 || !output->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    *mt = output->CurrentMediaType();
    return S_OK;
}
