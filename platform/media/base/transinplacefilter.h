#pragma once
// CTransInPlaceFilter: a transform that works on the samples it receives and
// delivers the same samples downstream. The upstream filter's allocator is
// shared with the downstream pin whenever the downstream pin accepts it, so
// no data is copied; only when the two sides end up with different
// allocators, or the filter modifies data in read-only samples, is a sample
// copied into an output buffer first.
//
// Output types equal the input type. Derived filters supply CheckInputType
// and Transform(IMediaSample*); the locks are CTransformFilter's.
#include "platform/media/base/transformfilter.h"

class CTransInPlaceInputPin;
class CTransInPlaceOutputPin;

class CTransInPlaceFilter : public CTransformFilter {
public:
    // modifiesData: false when Transform only reads the sample, so read-only samples need no copy.
    CTransInPlaceFilter(const char* name, IUnknown* outer, REFCLSID clsid, HRESULT* phr, bool modifiesData = true);

    // Required, streaming thread, m_csReceive held: works on the sample in
    // place. S_FALSE drops it; a failure is returned upstream.
    virtual HRESULT Transform(IMediaSample* sample) = 0;

    // Answered here: in and out types are the same.
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    // Used only when the output keeps an allocator of its own: sizes it like the input's.
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

    HRESULT Receive(IMediaSample* sample) override;

    bool ModifiesData() const { return m_bModifiesData; }
    // Samples copied because the allocators differed or the input was read-only.
    LONG CopiedSamples() const { return m_copies; }

protected:
    void MakePins() override;
    // Streaming thread: an output buffer holding a copy of source; null when none can be had.
    IMediaSample* Copy(IMediaSample* source);
    bool UsingDifferentAllocators() const;
    CTransInPlaceInputPin* InputPin() const;
    CTransInPlaceOutputPin* OutputPin() const;

    const bool m_bModifiesData;
    std::atomic<LONG> m_copies{0};

    friend class CTransInPlaceInputPin;
    friend class CTransInPlaceOutputPin;

private:
    // The transform-filter form is not used; samples are transformed in place.
    HRESULT Transform(IMediaSample*, IMediaSample*) override { return E_UNEXPECTED; }
};
