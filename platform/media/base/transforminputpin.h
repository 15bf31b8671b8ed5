#pragma once
// CTransformInputPin: the input of a CTransformFilter; passes types, samples,
// end of stream and flushes to the filter's hooks.
#include "platform/media/base/inputpin.h"

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr, LPCWSTR pinName);

    // The filter's CheckInputType, and CheckTransform against a connected output.
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    const CMediaType& CurrentMediaType() const { return m_mt; }

protected:
    CTransformFilter* const m_pTransformFilter;
};
