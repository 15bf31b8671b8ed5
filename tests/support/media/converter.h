#pragma once
// TestConverter: a CTransformFilter that takes video of subtype TestA and
// delivers the same bytes as subtype TestB, so that a graph must insert it
// between a TestA source and a TestB sink. Pins "XForm In" and "XForm Out".
#include <atomic>

#include "platform/com/com_ptr.h"
#include "platform/media/base/transformfilter.h"

struct AMOVIESETUP_FILTER;

namespace kvtest {

class TestConverter : public CTransformFilter {
public:
    static ComPtr<TestConverter> Create();
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    // Registration data: one TestA input, one TestB output.
    static const AMOVIESETUP_FILTER& SetupData();

    LONG Converted() const { return converted_; }

    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

private:
    explicit TestConverter(HRESULT* phr);

    std::atomic<LONG> converted_{0};
};

}  // namespace kvtest
