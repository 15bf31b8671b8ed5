#pragma once
// CTransformFilter: one input, one output; each sample received is turned
// into a new sample from the output allocator by Transform and delivered.
//
// Locks: m_csFilter is the filter lock (state changes, connections,
// flushing). m_csReceive is the streaming lock, held around Receive and
// EndOfStream on the streaming thread; Stop takes it after the input pin went
// inactive, so a Stop waits for the sample in progress.
#include <memory>

#include "platform/media/base/basefilter.h"

class CTransformInputPin;
class CTransformOutputPin;
class CMediaType;

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(const char* name, IUnknown* outer, REFCLSID clsid);
    CTransformFilter(const char* name, IUnknown* outer, REFCLSID clsid, HRESULT* phr);
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    // Makes the pins on first use (override to make other pin classes).
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;

    // ---- Required hooks (filter lock held unless noted) ----------------------
    // Streaming thread, m_csReceive held: fills out from in. S_FALSE drops the sample.
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out);
    // S_OK when the input takes this type.
    virtual HRESULT CheckInputType(const CMediaType* in) = 0;
    // S_OK when in can be turned into out.
    virtual HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) = 0;
    // The output types offered, once the input is connected.
    virtual HRESULT GetMediaType(int position, CMediaType* mt) = 0;
    // Sets the output allocator's properties (see CBaseOutputPin::DecideBufferSize).
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;

    // ---- Optional hooks --------------------------------------------------------
    // Filter lock held: around the change to and from Stopped.
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    // Filter lock held: a pin agreed a type, completed or broke its connection.
    virtual HRESULT SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }
    virtual HRESULT CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    virtual HRESULT BreakConnect(PIN_DIRECTION) { return S_OK; }
    virtual HRESULT CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    // Streaming thread, m_csReceive held: one sample from the input pin.
    virtual HRESULT Receive(IMediaSample* sample);
    // Streaming thread, m_csReceive held: passes end of stream on.
    virtual HRESULT EndOfStream();
    // Filter lock held: pass the flush on.
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    CCritSec* pStateLock() { return &m_csFilter; }

protected:
    // Streaming thread: a sample from the output allocator carrying in's times and flags.
    HRESULT InitializeOutputSample(IMediaSample* in, IMediaSample** out);
    virtual void MakePins();

    CCritSec m_csFilter;
    CCritSec m_csReceive;
    // Made by MakePins under m_csFilter on the first GetPin; live as long as the filter.
    std::unique_ptr<CTransformInputPin> m_pInput;
    std::unique_ptr<CTransformOutputPin> m_pOutput;
    std::atomic<bool> m_bEOSDelivered{false};  // end of stream went downstream in this run

    friend class CTransformInputPin;
    friend class CTransformOutputPin;
};
