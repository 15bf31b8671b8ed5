#include "support/media/capture_source.h"

#include <cstring>
#include <new>

#include "platform/media/uuids.h"

namespace kvtest {

TestCapturePin::TestCapturePin(CSource* filter, HRESULT* phr, LPCWSTR pinName, const PushSourceConfig& config,
                               const GUID& category, bool streamControl)
    : TestPushStream(filter, phr, pinName, config), category_(category), streamControl_(streamControl) {}

HRESULT TestCapturePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    if (riid == IID_IAMStreamControl && streamControl_)
        return GetInterface(static_cast<IAMStreamControl*>(this), ppv);
    return TestPushStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TestCapturePin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) { return E_NOTIMPL; }

HRESULT TestCapturePin::Get(REFGUID propSet, DWORD id, void*, DWORD, void* propertyData, DWORD dataLength,
                            DWORD* bytesReturned) {
    if (propSet != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (!propertyData) {
        if (!bytesReturned) return E_POINTER;
        *bytesReturned = sizeof(GUID);
        return S_OK;
    }
    if (dataLength < sizeof(GUID)) return E_UNEXPECTED;
    std::memcpy(propertyData, &category_, sizeof(GUID));
    if (bytesReturned) *bytesReturned = sizeof(GUID);
    return S_OK;
}

HRESULT TestCapturePin::QuerySupported(REFGUID propSet, DWORD id, DWORD* typeSupport) {
    if (propSet != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (typeSupport) *typeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT TestCapturePin::Deliver(IMediaSample* sample) {
    if (streamControl_ && CheckStreamState(sample) == STREAM_DISCARDING) {
        ++discarded_;
        return S_OK;
    }
    return TestPushStream::Deliver(sample);
}

PushSourceConfig TestCaptureSource::LiveConfig() {
    PushSourceConfig config;
    config.sampleCount = -1;
    config.realTime = true;
    return config;
}

TestCaptureSource::TestCaptureSource(const PushSourceConfig& config, HRESULT* phr)
    : CSource("Test capture source", nullptr, CLSID_TestCaptureSource, phr),
      // The filter owns its pins from here on (CSource::AddPin).
      capture_(new TestCapturePin(this, phr, u"Capture", config, PIN_CATEGORY_CAPTURE, true)),
      preview_(new TestCapturePin(this, phr, u"Preview", config, PIN_CATEGORY_PREVIEW, false)) {}

ComPtr<TestCaptureSource> TestCaptureSource::Create(const PushSourceConfig& config) {
    HRESULT hr = S_OK;
    return ComPtr<TestCaptureSource>(new TestCaptureSource(config, &hr));
}

CUnknown* TestCaptureSource::CreateInstance(IUnknown*, HRESULT* phr) {
    return new (std::nothrow) TestCaptureSource(LiveConfig(), phr);
}

HRESULT TestCaptureSource::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    const HRESULT hr = CSource::JoinFilterGraph(graph, name);
    capture_->SetFilterGraph(m_pSink);
    return hr;
}

HRESULT TestCaptureSource::SetSyncSource(IReferenceClock* clock) {
    const HRESULT hr = CSource::SetSyncSource(clock);
    capture_->SetSyncSource(clock);
    return hr;
}

HRESULT TestCaptureSource::Stop() {
    CAutoLock lock(&m_cStateLock);
    capture_->NotifyFilterState(State_Stopped);
    return CSource::Stop();
}

HRESULT TestCaptureSource::Pause() {
    CAutoLock lock(&m_cStateLock);
    capture_->NotifyFilterState(State_Paused);
    return CSource::Pause();
}

HRESULT TestCaptureSource::Run(REFERENCE_TIME start) {
    CAutoLock lock(&m_cStateLock);
    capture_->NotifyFilterState(State_Running, start);
    return CSource::Run(start);
}

}  // namespace kvtest
