#pragma once
// CTransInPlaceOutputPin: chooses the input's allocator for the downstream
// connection when the downstream pin accepts it.
#include "platform/media/base/transformoutputpin.h"

class CTransInPlaceFilter;

class CTransInPlaceOutputPin : public CTransformOutputPin {
public:
    CTransInPlaceOutputPin(const char* objectName, CTransInPlaceFilter* filter, HRESULT* phr, LPCWSTR pinName);

    HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;
    // The type must also suit the upstream pin.
    HRESULT CheckMediaType(const CMediaType* mt) override;

    // Filter lock held: the input's allocator became the shared one.
    void ReceiveAllocator(IMemAllocator* allocator);

private:
    CTransInPlaceFilter* const m_pTIPFilter;
};
