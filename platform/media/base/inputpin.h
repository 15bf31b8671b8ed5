#pragma once
// CBaseInputPin: an input pin that takes samples through IMemInputPin.
//
// Receive (streaming thread, no filter lock) refuses samples while stopped
// (VFW_E_WRONG_STATE), flushing (S_FALSE), after end of stream
// (VFW_E_SAMPLE_REJECTED_EOS) or after a fatal error (VFW_E_RUNTIME_ERROR),
// and adopts a type attached to the sample as the new connection type.
// Derived pins call it first and then do their work.
#include "platform/media/base/basepin.h"

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR pinName);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ---- IMemInputPin ----------------------------------------------------
    // The allocator agreed with NotifyAllocator, else a new CMemAllocator.
    HRESULT GetAllocator(IMemAllocator** allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    // E_NOTIMPL: no requirements. Override to ask for sizes or alignment.
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
    // S_OK when a downstream Receive of this filter may block (or the filter
    // renders), S_FALSE when every connected output feeds pins that never block.
    HRESULT ReceiveCanBlock() override;

    // ---- IPin ------------------------------------------------------------
    // Marks the end of the stream; later samples are refused until a flush
    // or a stop. Derived pins pass it on or report it.
    HRESULT EndOfStream() override;
    // Called on any thread, with the filter lock held by derived pins that
    // pass it on; samples are refused from BeginFlush to EndFlush.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT BreakConnect() override;
    // A run starts with a clean stream: clears the flushing, end-of-stream and
    // error states. An end of stream delivered while the filter was still
    // going inactive (after Inactive cleared it, before the filter counted as
    // stopped) belongs to the run before and must not refuse this run's samples.
    HRESULT Active() override;
    // Clears the flushing, end-of-stream and error states and decommits the allocator.
    HRESULT Inactive() override;

    // Streaming thread: the state checks of Receive (also for EndOfStream).
    virtual HRESULT CheckStreaming();
    bool IsFlushing() const { return m_bFlushing; }
    bool IsReadOnly() const { return m_bReadOnly; }
    IMemAllocator* PeekAllocator() const { return m_pAllocator; }

protected:
    // Holds a reference; set by NotifyAllocator while connecting, read while streaming.
    IMemAllocator* m_pAllocator = nullptr;
    bool m_bReadOnly = false;                   // samples may not be written (NotifyAllocator)
    std::atomic<bool> m_bFlushing{false};       // between BeginFlush and EndFlush
    std::atomic<bool> m_bAtEndOfStream{false};  // EndOfStream seen; cleared by EndFlush, Active and Inactive
};
