#pragma once
// TestCaptureSource: a two-pin source in the shape of a camcorder's capture
// filter. Pin "Capture" (PIN_CATEGORY_CAPTURE) and pin "Preview"
// (PIN_CATEGORY_PREVIEW) push the same stream; each reports its category
// through IKsPropertySet, and the capture pin obeys IAMStreamControl,
// dropping the samples its stream control discards.
#include "platform/com/com_ptr.h"
#include "platform/media/base/kspropertyset.h"
#include "platform/media/base/streamcontrol.h"
#include "support/media/push_stream.h"

namespace kvtest {

class TestCapturePin : public TestPushStream, public CBaseStreamControl, public IKsPropertySet {
public:
    // streamControl: answer IAMStreamControl (the capture pin).
    TestCapturePin(CSource* filter, HRESULT* phr, LPCWSTR pinName, const PushSourceConfig& config,
                   const GUID& category, bool streamControl);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Set(REFGUID propSet, DWORD id, void* instanceData, DWORD instanceLength, void* propertyData,
                DWORD dataLength) override;
    HRESULT Get(REFGUID propSet, DWORD id, void* instanceData, DWORD instanceLength, void* propertyData,
                DWORD dataLength, DWORD* bytesReturned) override;
    HRESULT QuerySupported(REFGUID propSet, DWORD id, DWORD* typeSupport) override;

    // Drops what the stream control discards.
    HRESULT Deliver(IMediaSample* sample) override;
    LONG Discarded() const { return discarded_; }

private:
    const GUID category_;
    const bool streamControl_;
    std::atomic<LONG> discarded_{0};
};

class TestCaptureSource : public CSource {
public:
    // The default configuration pushes real-time frames until stopped.
    static PushSourceConfig LiveConfig();
    static ComPtr<TestCaptureSource> Create(const PushSourceConfig& config = LiveConfig());
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    TestCapturePin& CapturePin() { return *capture_; }
    TestCapturePin& PreviewPin() { return *preview_; }

    // The capture pin's stream control follows the filter's graph, clock and state.
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;

private:
    TestCaptureSource(const PushSourceConfig& config, HRESULT* phr);

    TestCapturePin* capture_;  // owned by CSource
    TestCapturePin* preview_;  // owned by CSource
};

}  // namespace kvtest
