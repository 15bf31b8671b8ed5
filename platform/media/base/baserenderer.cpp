#include "platform/media/base/baserenderer.h"

#include <algorithm>
#include <chrono>

#include "platform/media/base/rendererposition.h"
#include "platform/media/evcode.h"

namespace {
// A waiting sample looks at the clock at least this often, so a clock that
// runs at its own pace (not the steady clock's) is followed closely.
constexpr REFERENCE_TIME kLongestWait = 10 * 10000;  // 10 ms in 100 ns units
}  // namespace

// ---- CRendererInputPin ---------------------------------------------------------

CRendererInputPin::CRendererInputPin(CBaseRenderer* renderer, HRESULT* phr, LPCWSTR pinName)
    : CBaseInputPin("Renderer input pin", renderer, renderer->pStateLock(), phr, pinName), m_pRenderer(renderer) {}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return m_pRenderer->CheckMediaType(mt);
}

HRESULT CRendererInputPin::SetMediaType(const CMediaType* mt) {
    const HRESULT hr = CBaseInputPin::SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return m_pRenderer->SetMediaType(mt);
}

HRESULT CRendererInputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (FAILED(hr)) return hr;
    return m_pRenderer->CompleteConnect(receivePin);
}

HRESULT CRendererInputPin::BreakConnect() {
    m_pRenderer->BreakConnect();
    return CBaseInputPin::BreakConnect();
}

HRESULT CRendererInputPin::Active() {
    const HRESULT hr = CBaseInputPin::Active();
    if (FAILED(hr)) return hr;
    return m_pRenderer->Active();
}

HRESULT CRendererInputPin::Inactive() {
    m_pRenderer->Inactive();
    return CBaseInputPin::Inactive();
}

HRESULT CRendererInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_pRenderer->Receive(sample);
}

HRESULT CRendererInputPin::EndOfStream() {
    const HRESULT hr = CBaseInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    return m_pRenderer->EndOfStream();
}

HRESULT CRendererInputPin::BeginFlush() {
    CAutoLock lock(m_pLock);
    CBaseInputPin::BeginFlush();
    return m_pRenderer->BeginFlush();
}

HRESULT CRendererInputPin::EndFlush() {
    CAutoLock lock(m_pLock);
    const HRESULT hr = m_pRenderer->EndFlush();
    CBaseInputPin::EndFlush();
    return hr;
}

// ---- CBaseRenderer -----------------------------------------------------------------

CBaseRenderer::CBaseRenderer(REFCLSID renderClass, const char* name, IUnknown* outer, HRESULT* phr)
    : CBaseFilter(name, outer, &m_InterfaceLock, renderClass, phr) {}

CBaseRenderer::~CBaseRenderer() = default;

HRESULT CBaseRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) {
        CAutoLock lock(&m_InterfaceLock);
        if (!m_pPosition) {
            HRESULT hr = S_OK;
            m_pPosition = std::make_unique<CRendererPosition>(GetOwner(), &hr, GetPin(0), [this] {
                std::scoped_lock renderer(m_RendererLock);
                return m_presented;
            });
        }
        return m_pPosition->NonDelegatingQueryInterface(riid, ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CBaseRenderer::GetPin(int n) {
    CAutoLock lock(&m_InterfaceLock);
    if (n != 0) return nullptr;
    if (!m_pInputPin) {
        HRESULT hr = S_OK;
        m_pInputPin = std::make_unique<CRendererInputPin>(this, &hr, u"In");
    }
    return m_pInputPin.get();
}

HRESULT CBaseRenderer::Stop() {
    CAutoLock lock(&m_InterfaceLock);
    if (m_State == State_Stopped) return S_OK;
    {
        std::scoped_lock renderer(m_RendererLock);
        m_bAbort = true;
    }
    m_renderChanged.notify_all();
    OnStopStreaming();
    return CBaseFilter::Stop();
}

HRESULT CBaseRenderer::Pause() {
    CAutoLock lock(&m_InterfaceLock);
    if (m_State == State_Stopped) {
        std::scoped_lock renderer(m_RendererLock);
        m_bAbort = false;
        m_bEOS = false;
        m_bEOSDelivered = false;
        m_presented.reset();
        const HRESULT hr = OnStartStreaming();
        if (FAILED(hr)) return hr;
    }
    const HRESULT hr = CBaseFilter::Pause();
    // Under the lock, so a sample that just saw the old state is already waiting.
    std::scoped_lock renderer(m_RendererLock);
    m_renderChanged.notify_all();
    return hr;
}

HRESULT CBaseRenderer::Run(REFERENCE_TIME start) {
    CAutoLock lock(&m_InterfaceLock);
    const HRESULT hr = CBaseFilter::Run(start);
    if (FAILED(hr)) return hr;
    bool complete = false;
    {
        std::scoped_lock renderer(m_RendererLock);
        complete = EndOfStreamDue();
        m_renderChanged.notify_all();
    }
    if (complete) SendEndOfStream();
    return hr;
}

HRESULT CBaseRenderer::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    std::unique_lock renderer(m_RendererLock);
    const auto ready = [this] {
        return m_State != State_Paused || m_pMediaSample || m_bEOS || !m_pInputPin || !m_pInputPin->IsConnected();
    };
    if (milliseconds == INFINITE) m_renderChanged.wait(renderer, ready);
    else m_renderChanged.wait_for(renderer, std::chrono::milliseconds(milliseconds), ready);
    *state = m_State;
    return ready() ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

HRESULT CBaseRenderer::ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start, REFERENCE_TIME* end) {
    if (!m_pClock) return S_OK;
    return SUCCEEDED(sample->GetTime(start, end)) ? S_FALSE : S_OK;
}

bool CBaseRenderer::WaitForRenderTime(std::unique_lock<CCritSec>& lock, IMediaSample* sample) {
    for (;;) {
        if (m_bAbort || m_State == State_Stopped) return false;
        if (m_State == State_Paused) {
            m_renderChanged.wait(lock);
            continue;
        }
        REFERENCE_TIME start = 0;
        REFERENCE_TIME end = 0;
        const HRESULT hr = ShouldDrawSampleNow(sample, &start, &end);
        if (hr == S_OK) return true;
        if (FAILED(hr)) return false;
        REFERENCE_TIME now = 0;
        IReferenceClock* clock = m_pClock;
        if (!clock || FAILED(clock->GetTime(&now))) return true;
        const REFERENCE_TIME due = m_tStart + start;
        if (now >= due) return true;
        const REFERENCE_TIME wait = std::min(due - now, kLongestWait);
        m_renderChanged.wait_for(lock, std::chrono::microseconds(wait / 10 + 1));
    }
}

HRESULT CBaseRenderer::Receive(IMediaSample* sample) {
    std::unique_lock lock(m_RendererLock);
    if (m_bAbort) return S_FALSE;
    if (m_bEOS) return VFW_E_SAMPLE_REJECTED_EOS;
    m_pMediaSample = sample;
    if (m_State == State_Paused) {
        OnReceiveFirstSample(sample);
        SetPresented(sample);
    }
    m_renderChanged.notify_all();
    const bool due = WaitForRenderTime(lock, sample);
    if (!due) {
        m_pMediaSample = nullptr;
        m_renderChanged.notify_all();
        return m_bAbort ? S_FALSE : S_OK;
    }
    lock.unlock();
    const HRESULT hr = DoRenderSample(sample);
    lock.lock();
    SetPresented(sample);
    m_pMediaSample = nullptr;
    m_renderChanged.notify_all();
    return hr;
}

HRESULT CBaseRenderer::EndOfStream() {
    bool complete = false;
    {
        std::scoped_lock lock(m_RendererLock);
        if (m_bAbort || m_State == State_Stopped) return S_OK;
        m_bEOS = true;
        complete = EndOfStreamDue();
        m_renderChanged.notify_all();
    }
    if (complete) SendEndOfStream();
    return S_OK;
}

bool CBaseRenderer::EndOfStreamDue() {
    if (!m_bEOS || m_pMediaSample || m_bEOSDelivered || m_State != State_Running) return false;
    m_bEOSDelivered = true;
    return true;
}

void CBaseRenderer::SetPresented(IMediaSample* sample) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    if (SUCCEEDED(sample->GetTime(&start, &end))) m_presented = m_pInputPin->CurrentStartTime() + start;
}

void CBaseRenderer::SendEndOfStream() { NotifyEvent(EC_COMPLETE, S_OK, 0); }

HRESULT CBaseRenderer::BeginFlush() {
    {
        std::scoped_lock lock(m_RendererLock);
        m_bAbort = true;
        m_bEOS = false;
        m_presented.reset();
    }
    m_renderChanged.notify_all();
    return S_OK;
}

HRESULT CBaseRenderer::EndFlush() {
    std::scoped_lock lock(m_RendererLock);
    m_bAbort = false;
    m_bEOSDelivered = false;
    return S_OK;
}
