#pragma once
// CTransformOutputPin: the output of a CTransformFilter. It offers the
// filter's output types once the input is connected, and answers
// IMediaSeeking by passing it upstream through the input pin.
#include <memory>

#include "platform/media/base/outputpin.h"

class CTransformFilter;
class CPosPassThru;

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr, LPCWSTR pinName);
    ~CTransformOutputPin() override;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // VFW_E_NOT_CONNECTED until the input is connected.
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

    const CMediaType& CurrentMediaType() const { return m_mt; }

protected:
    CTransformFilter* const m_pTransformFilter;

private:
    std::unique_ptr<CPosPassThru> m_pPosition;  // made on the first IMediaSeeking query, under the filter lock
};
