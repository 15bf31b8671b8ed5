#pragma once
// CTransInPlaceInputPin: offers the downstream allocator upstream, and passes
// an allocator chosen upstream on to the downstream pin, so that both
// connections share one pool.
#include "platform/media/base/transforminputpin.h"

class CTransInPlaceFilter;

class CTransInPlaceInputPin : public CTransformInputPin {
public:
    CTransInPlaceInputPin(const char* objectName, CTransInPlaceFilter* filter, HRESULT* phr, LPCWSTR pinName);

    // The downstream pin's allocator when the output is connected.
    HRESULT GetAllocator(IMemAllocator** allocator) override;
    // Also offers the allocator downstream; where it is refused, the output
    // keeps its own and samples are copied.
    HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    // The input type must also suit the downstream pin.
    HRESULT CheckMediaType(const CMediaType* mt) override;
    // The output's type, once the output is connected.
    HRESULT GetMediaType(int position, CMediaType* mt) override;

private:
    CTransInPlaceFilter* const m_pTIPFilter;
};
