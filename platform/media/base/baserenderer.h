#pragma once
// CBaseRenderer: a filter with one input that presents each sample at its
// time. While paused the first sample is held (the graph's pause completes
// once it arrived, see GetState); while running a sample with times waits
// until its start time on the filter's clock, counted from m_tStart, and is
// then handed to DoRenderSample; without a clock or times it is rendered at
// once. End of stream becomes EC_COMPLETE after the last sample, once the
// filter runs. Stop and BeginFlush release a waiting sample at once.
//
// Locks: m_InterfaceLock is the filter lock. m_RendererLock guards the
// streaming state below; the streaming thread waits on it (m_renderChanged)
// and drops it around DoRenderSample.
#include <condition_variable>
#include <memory>
#include <optional>

#include "platform/media/base/basefilter.h"
#include "platform/media/base/inputpin.h"

class CBaseRenderer;
class CRendererPosition;

// The renderer's input pin: passes everything to the renderer.
class CRendererInputPin : public CBaseInputPin {
public:
    CRendererInputPin(CBaseRenderer* renderer, HRESULT* phr, LPCWSTR pinName);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    CBaseRenderer* const m_pRenderer;
};

class CBaseRenderer : public CBaseFilter {
public:
    CBaseRenderer(REFCLSID renderClass, const char* name, IUnknown* outer, HRESULT* phr);
    ~CBaseRenderer() override;

    // IMediaSeeking is passed upstream through the input pin, but for the
    // current position: the media time of the sample last presented.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return 1; }
    // Makes the input pin ("In") on first use.
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    // VFW_S_STATE_INTERMEDIATE while paused and still waiting (up to
    // milliseconds) for the first sample.
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;

    // ---- Required hooks ------------------------------------------------------
    // Filter lock held (connecting) or streaming thread (a sample's new type).
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    // Streaming thread, no lock held: present the sample. A renderer that
    // blocks here must return when OnStopStreaming or BeginFlush is called.
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;

    // ---- Optional hooks --------------------------------------------------------
    // Streaming thread, m_RendererLock held: a sample arrived while paused;
    // it is what a paused renderer shows.
    virtual void OnReceiveFirstSample(IMediaSample*) {}
    // Streaming thread, m_RendererLock held: S_OK renders at once, S_FALSE
    // waits until *start (stream time; set it), a failure drops the sample.
    // The default waits for the sample's start time when there is a clock.
    virtual HRESULT ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start, REFERENCE_TIME* end);
    // Filter lock held: leaving Stopped / entering Stopped (before the pin goes inactive).
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    // Filter lock held: connection steps of the input pin.
    virtual HRESULT SetMediaType(const CMediaType*) { return S_OK; }
    virtual HRESULT CompleteConnect(IPin*) { return S_OK; }
    virtual HRESULT BreakConnect() { return S_OK; }
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    // Streaming thread: one sample, after the pin's checks. Waits as described above.
    virtual HRESULT Receive(IMediaSample* sample);
    // Streaming thread: the stream ended.
    virtual HRESULT EndOfStream();
    // Filter lock held: discard what waits / accept samples again.
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();

    CCritSec* pStateLock() { return &m_InterfaceLock; }

protected:
    // m_RendererLock held: true (once per run) when the end of stream is to
    // be reported now: it arrived, nothing waits and the filter runs.
    bool EndOfStreamDue();
    // No renderer lock held (the graph may call back): reports EC_COMPLETE.
    void SendEndOfStream();
    // m_RendererLock held by lock: waits until the held sample is due; false when released by a stop or flush.
    bool WaitForRenderTime(std::unique_lock<CCritSec>& lock, IMediaSample* sample);
    // m_RendererLock held: the sample is on show; its media time becomes the current position.
    void SetPresented(IMediaSample* sample);

    CCritSec m_InterfaceLock;
    CCritSec m_RendererLock;
    std::condition_variable_any m_renderChanged;  // state, flush or sample changed
    std::unique_ptr<CRendererInputPin> m_pInputPin;  // made by GetPin under m_InterfaceLock

    // guarded by m_RendererLock
    IMediaSample* m_pMediaSample = nullptr;  // the sample waiting to be rendered (not referenced)
    bool m_bEOS = false;                     // end of stream arrived
    bool m_bEOSDelivered = false;            // EC_COMPLETE sent in this run
    bool m_bAbort = false;                   // stopping or flushing: release waiting samples
    std::optional<REFERENCE_TIME> m_presented;  // media time of the sample last presented, since the last flush

private:
    std::unique_ptr<CRendererPosition> m_pPosition;  // made on the first IMediaSeeking query, under m_InterfaceLock
};
