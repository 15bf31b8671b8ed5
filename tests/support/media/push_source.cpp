#include "support/media/push_source.h"

#include <new>

namespace kvtest {

TestPushSource::TestPushSource(const PushSourceConfig& config, HRESULT* phr)
    : CSource("Test push source", nullptr, CLSID_TestPushSource, phr),
      // The filter owns the pin from here on (CSource::AddPin).
      stream_(new TestPushStream(this, phr, u"Output", config)) {}

ComPtr<TestPushSource> TestPushSource::Create(const PushSourceConfig& config) {
    HRESULT hr = S_OK;
    return ComPtr<TestPushSource>(new TestPushSource(config, &hr));
}

CUnknown* TestPushSource::CreateInstance(IUnknown*, HRESULT* phr) {
    return new (std::nothrow) TestPushSource(PushSourceConfig{}, phr);
}

}  // namespace kvtest
