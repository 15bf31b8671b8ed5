#include "platform/media/base/transformfilter.h"

#include "platform/com/com_ptr.h"
#include "platform/media/base/transforminputpin.h"
#include "platform/media/base/transformoutputpin.h"

CTransformFilter::CTransformFilter(const char* name, IUnknown* outer, REFCLSID clsid)
    : CBaseFilter(name, outer, &m_csFilter, clsid) {}

CTransformFilter::CTransformFilter(const char* name, IUnknown* outer, REFCLSID clsid, HRESULT*)
    : CTransformFilter(name, outer, clsid) {}

CTransformFilter::~CTransformFilter() = default;

void CTransformFilter::MakePins() {
    HRESULT hr = S_OK;
    m_pInput = std::make_unique<CTransformInputPin>("Transform input pin", this, &hr, u"XForm In");
    m_pOutput = std::make_unique<CTransformOutputPin>("Transform output pin", this, &hr, u"XForm Out");
}

CBasePin* CTransformFilter::GetPin(int n) {
    CAutoLock lock(&m_csFilter);
    if (!m_pInput) MakePins();
    if (n == 0) return m_pInput.get();
    if (n == 1) return m_pOutput.get();
    return nullptr;
}

HRESULT CTransformFilter::Stop() {
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Stopped && !m_bPinsLeftActive) return S_OK;
    GetPin(0);
    const bool inputConnected = m_pInput->IsConnected();
    // The input refuses new samples first; then wait for the one in progress.
    if (inputConnected) m_pInput->Inactive();
    CAutoLock streaming(&m_csReceive);
    if (m_pOutput->IsConnected()) m_pOutput->Inactive();
    // Pause started streaming whenever the input was connected.
    const HRESULT hr = inputConnected ? StopStreaming() : S_OK;
    if (SUCCEEDED(hr)) {
        m_State = State_Stopped;
        m_bPinsLeftActive = false;
        m_bEOSDelivered = false;
    }
    return hr;
}

HRESULT CTransformFilter::Pause() {
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Paused) return S_OK;
    GetPin(0);
    if (m_State == State_Stopped) {
        m_bEOSDelivered = false;
        // With no input there is nothing to transform: the output ends at once.
        if (!m_pInput->IsConnected()) {
            if (m_pOutput->IsConnected() && !m_bEOSDelivered.exchange(true)) m_pOutput->DeliverEndOfStream();
        } else {
            const HRESULT hr = StartStreaming();
            if (FAILED(hr)) return hr;
        }
    }
    // A pause that fails after StartStreaming leaves the pins to Stop, which ends streaming too.
    const HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr) && m_pInput->IsConnected()) m_bPinsLeftActive = true;
    return hr;
}

HRESULT CTransformFilter::Transform(IMediaSample*, IMediaSample*) { return E_UNEXPECTED; }

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* in, IMediaSample** out) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    const HRESULT timed = in->GetTime(&start, &end);
    const DWORD flags = in->IsSyncPoint() == S_OK ? 0 : AM_GBF_NOTASYNCPOINT;
    HRESULT hr = m_pOutput->GetDeliveryBuffer(out, SUCCEEDED(timed) ? &start : nullptr,
                                              timed == S_OK ? &end : nullptr, flags);
    if (FAILED(hr)) return hr;
    IMediaSample* sample = *out;
    sample->SetSyncPoint(in->IsSyncPoint() == S_OK);
    sample->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    sample->SetPreroll(in->IsPreroll() == S_OK);
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    if (in->GetMediaTime(&mediaStart, &mediaEnd) == S_OK) sample->SetMediaTime(&mediaStart, &mediaEnd);
    return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample* sample) {
    ComPtr<IMediaSample> out;
    HRESULT hr = InitializeOutputSample(sample, out.GetAddressOf());
    if (FAILED(hr)) return hr;
    hr = Transform(sample, out.Get());
    if (hr == S_FALSE) return S_OK;
    if (FAILED(hr)) return hr;
    return m_pOutput->Deliver(out.Get());
}

HRESULT CTransformFilter::EndOfStream() {
    if (m_bEOSDelivered.exchange(true)) return S_OK;
    return m_pOutput->DeliverEndOfStream();
}

HRESULT CTransformFilter::BeginFlush() { return m_pOutput->DeliverBeginFlush(); }

HRESULT CTransformFilter::EndFlush() {
    m_bEOSDelivered = false;
    return m_pOutput->DeliverEndFlush();
}

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverNewSegment(start, stop, rate);
}
