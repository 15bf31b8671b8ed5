#pragma once
// TestPushSource: a CSource with one TestPushStream pin, "Output".
#include "platform/com/com_ptr.h"
#include "support/media/push_stream.h"

namespace kvtest {

class TestPushSource : public CSource {
public:
    static ComPtr<TestPushSource> Create(const PushSourceConfig& config = {});
    // For class factories: a source with the default configuration.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    IPin* OutputPin() { return GetPin(0); }
    TestPushStream& Stream() { return *stream_; }

private:
    TestPushSource(const PushSourceConfig& config, HRESULT* phr);

    TestPushStream* stream_;  // owned by CSource
};

}  // namespace kvtest
