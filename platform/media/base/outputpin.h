#pragma once
// CBaseOutputPin: an output pin that delivers samples through the
// downstream pin's IMemInputPin.
//
// Allocator: CompleteConnect calls DecideAllocator, which takes the
// downstream pin's allocator when it offers one and makes a CMemAllocator
// otherwise; DecideBufferSize sets its properties either way. Active commits
// the allocator and Inactive decommits it, which wakes a streaming thread
// waiting in GetDeliveryBuffer.
#include "platform/media/base/basepin.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR pinName);
    ~CBaseOutputPin() override;

    // Required: sets the allocator's properties (cBuffers, cbBuffer, ...)
    // from the downstream request in props. Called with the filter lock held
    // while connecting.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;
    // Optional: chooses the allocator for the connection (see above) and
    // tells the downstream pin with NotifyAllocator.
    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator);
    // Optional: makes this pin's own allocator (a CMemAllocator).
    virtual HRESULT InitAllocator(IMemAllocator** allocator);

    // Streaming thread: an empty sample from the agreed allocator; blocks
    // until one is free unless flags has AM_GBF_NOWAIT.
    virtual HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                                      DWORD flags);
    // Streaming thread: hands a sample to the downstream pin's Receive.
    virtual HRESULT Deliver(IMediaSample* sample);
    // Streaming thread (or the flushing thread): passes the call downstream.
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Output pins take none of these calls: E_UNEXPECTED.
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    IMemAllocator* Allocator() const { return m_pAllocator; }
    IMemInputPin* ConnectedIMemInputPin() const { return m_pInputPin; }

protected:
    // Both hold references; set while connecting, read by the streaming thread.
    IMemAllocator* m_pAllocator = nullptr;
    IMemInputPin* m_pInputPin = nullptr;
};
