#pragma once
// CMediaSample: one buffer of an allocator with its times and flags. It is
// counted like a COM object but owned by its allocator: when the last
// reference goes, the sample forgets its per-use state (times, flags,
// attached type) and goes back to the allocator's free list.
#include <atomic>

#include "platform/media/strmif.h"

class CBaseAllocator;

class CMediaSample : public IMediaSample {
public:
    // buffer: length bytes owned by the allocator, valid until the allocator frees the sample.
    CMediaSample(const char* name, CBaseAllocator* allocator, HRESULT* phr, BYTE* buffer = nullptr,
                 LONG length = 0);
    virtual ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    // At zero the sample returns to its allocator (it is not deleted).
    ULONG Release() override;

    HRESULT GetPointer(BYTE** buffer) override;
    LONG GetSize() override { return cbBuffer_; }
    // VFW_E_SAMPLE_TIME_NOT_SET without a start; VFW_S_NO_STOP_TIME (end = start + 1) without a stop.
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    // start null clears both times; end null keeps only the start.
    HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT IsSyncPoint() override;
    HRESULT SetSyncPoint(BOOL syncPoint) override;
    HRESULT IsPreroll() override;
    HRESULT SetPreroll(BOOL preroll) override;
    LONG GetActualDataLength() override { return actualLength_; }
    // VFW_E_BUFFER_OVERFLOW when longer than the buffer.
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** mt) override;
    // A copy is attached; null detaches.
    HRESULT SetMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT IsDiscontinuity() override;
    HRESULT SetDiscontinuity(BOOL discontinuity) override;
    HRESULT GetMediaTime(LONGLONG* start, LONGLONG* end) override;
    // start null clears the media times.
    HRESULT SetMediaTime(LONGLONG* start, LONGLONG* end) override;

    // For allocators: points the sample at another buffer.
    void SetPointer(BYTE* buffer, LONG length);
    // The reference count before the allocator hands the sample out; the allocator sets it to one.
    void ResetRefCount(LONG count) { refCount_ = count; }

private:
    void ClearPerUseState();

    enum : DWORD {
        kSyncPoint = 0x1,
        kPreroll = 0x2,
        kDiscontinuity = 0x4,
        kTimeValid = 0x8,
        kStopValid = 0x10,
        kMediaTimeValid = 0x20,
    };

    // Every field below belongs to whoever holds the sample: one thread at a
    // time, handed over with the sample (GetBuffer, Receive, Release).
    CBaseAllocator* const allocator_;
    std::atomic<LONG> refCount_{0};
    BYTE* buffer_;
    LONG cbBuffer_;
    LONG actualLength_ = 0;
    DWORD flags_ = 0;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME end_ = 0;
    LONGLONG mediaStart_ = 0;
    LONGLONG mediaEnd_ = 0;
    AM_MEDIA_TYPE* mediaType_ = nullptr;  // task memory, owned
};
