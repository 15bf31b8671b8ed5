#pragma once
// TestInPlaceTransform: a CTransInPlaceFilter that counts the samples passing
// through and, when asked to, marks each one by writing a byte at its start.
// It accepts any type (or the configured partial type).
#include <atomic>

#include "platform/com/com_ptr.h"
#include "platform/media/base/basepin.h"
#include "platform/media/base/transinplacefilter.h"

namespace kvtest {

class TestInPlaceTransform : public CTransInPlaceFilter {
public:
    // mark: write `markByte` at offset 0 of every sample (the filter then modifies data).
    static ComPtr<TestInPlaceTransform> Create(bool mark = false, BYTE markByte = 0xA5);
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    IPin* InputPin() { return GetPin(0); }
    IPin* OutputPin() { return GetPin(1); }
    LONG Transformed() const { return transformed_; }
    LONG Copies() const { return CopiedSamples(); }

    HRESULT CheckInputType(const CMediaType* mt) override;
    HRESULT Transform(IMediaSample* sample) override;

private:
    TestInPlaceTransform(bool mark, BYTE markByte, HRESULT* phr);

    const bool mark_;
    const BYTE markByte_;
    std::atomic<LONG> transformed_{0};
};

}  // namespace kvtest
