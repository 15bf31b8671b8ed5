#pragma once
// TestPushStream: a CSourceStream that pushes a configured number of
// samples, time-stamped one frame apart, then ends its stream. It records what
// it did so tests can compare both ends of a pipeline, and answers
// IMediaSeeking for what it knows (duration and position, in frames or
// media time; it cannot seek), so that seeking passed upstream from a
// renderer finds a source. Used by the test push source and the test
// capture source.
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>

#include "platform/media/base/source.h"
#include "platform/media/base/sourcestream.h"
#include "support/media/test_types.h"

namespace kvtest {

struct PushSourceConfig {
    CMediaType type = DvInterleavedType();  // the one type offered
    LONG sampleSize = 144000;
    LONG sampleCount = 10;                  // negative: push until stopped
    LONG buffers = 4;
    REFERENCE_TIME frameDuration = 333667;  // 100 ns units (NTSC frame)
    bool realTime = false;                  // push one frame per frame duration, like a camcorder
    LONG failAt = -1;                       // FillBuffer fails with `failure` at this sample
    HRESULT failure = E_FAIL;
    bool writePattern = false;              // fill sample n with PatternByte(n, i)
    LONG changeTypeAt = -1;                 // attach changedType to this sample
    CMediaType changedType;
};

class TestPushStream : public CSourceStream, public IMediaSeeking {
public:
    TestPushStream(CSource* filter, HRESULT* phr, LPCWSTR pinName, const PushSourceConfig& config);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Counters since creation (threads) or since the last start (samples).
    LONG SamplesDelivered() const { return delivered_; }
    LONG ThreadCreates() const { return threadCreates_; }
    LONG ThreadDestroys() const { return threadDestroys_; }
    LONG StartPlays() const { return startPlays_; }
    // The distinct buffers filled, to show that downstream saw the same memory.
    std::set<const BYTE*> BufferAddresses() const;

    HRESULT GetMediaType(CMediaType* mt) override;
    // The source's own type change mid-stream is accepted too.
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

    // ---- IMediaSeeking: TIME_FORMAT_MEDIA_TIME (default) or TIME_FORMAT_FRAME ----
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    // E_NOTIMPL for an endless stream.
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    // Where the stream got to: the samples delivered.
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

private:
    // Frames in the current time format.
    LONGLONG InFormat(LONGLONG frames) const;

    const PushSourceConfig config_;
    LONG next_ = 0;  // worker thread only
    std::chrono::steady_clock::time_point playStart_;  // worker thread only
    std::atomic<LONG> delivered_{0};
    std::atomic<LONG> threadCreates_{0};
    std::atomic<LONG> threadDestroys_{0};
    std::atomic<LONG> startPlays_{0};
    mutable std::mutex addressesLock_;
    std::set<const BYTE*> addresses_;  // guarded by addressesLock_
    std::atomic<bool> framesFormat_{false};  // TIME_FORMAT_FRAME, else MEDIA_TIME
};

}  // namespace kvtest
