#pragma once
// CBaseAllocator: the sample pool behind IMemAllocator. It keeps the samples,
// hands free ones out (GetBuffer waits for one unless AM_GBF_NOWAIT), takes
// them back when their last reference goes, and frees the memory only when it
// is decommitted and every sample has come home. Each sample handed out holds
// a reference on the allocator, so the pool outlives its samples.
//
// Derived classes supply the memory: Alloc creates the samples, Free lets go.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/combase.h"
#include "platform/media/base/mediasample.h"

class CBaseAllocator : public CUnknown, public IMemAllocator {
public:
    CBaseAllocator(const char* name, IUnknown* outer, HRESULT* phr);
    ~CBaseAllocator() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Checks and stores the request; VFW_E_ALREADY_COMMITTED while committed,
    // VFW_E_BUFFERS_OUTSTANDING while samples are out, VFW_E_BADALIGN when the
    // alignment is not a power of two.
    HRESULT SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* props) override;
    // VFW_E_SIZENOTSET before SetProperties.
    HRESULT Commit() override;
    // Wakes every GetBuffer waiter (they fail with VFW_E_NOT_COMMITTED).
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags) override;
    // Called by CMediaSample::Release; not for filters.
    HRESULT ReleaseBuffer(IMediaSample* sample) override;

protected:
    // Required. Creates the samples for the stored properties (m_lCount of
    // m_lSize bytes) with AddSample. Called by Commit with m_cs held.
    virtual HRESULT Alloc() = 0;
    // Required. Lets go of what Alloc made; every sample is free. Called with
    // m_cs held when a decommit completes, and by the derived destructor.
    virtual void Free() = 0;

    // For Alloc: takes ownership of a new sample and puts it on the free list.
    void AddSample(std::unique_ptr<CMediaSample> sample);
    // For Free: deletes every sample.
    void DeleteSamples();
    bool SamplesAllocated() const { return !m_samples.empty(); }

    std::mutex m_cs;          // guards everything below
    LONG m_lCount = 0;        // buffers requested
    LONG m_lSize = 0;         // usable bytes per buffer
    LONG m_lAlignment = 1;
    LONG m_lPrefix = 0;
    bool m_bChanged = false;  // properties changed since the last Alloc

private:
    std::condition_variable m_freed;                     // a sample came back or the pool was decommitted
    std::vector<std::unique_ptr<CMediaSample>> m_samples;  // every sample of the pool
    std::vector<CMediaSample*> m_free;                   // those not handed out
    bool m_bCommitted = false;
    bool m_bDecommitInProgress = false;  // decommitted, waiting for samples to come home
};
