#pragma once
// TestPushStream: a CSourceStream that pushes a configured number of
// samples, time-stamped one frame apart, then ends its stream. It records what
// it did so tests can compare both ends of a pipeline. Used by the test
// push source and the test capture source.
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

class TestPushStream : public CSourceStream {
public:
    TestPushStream(CSource* filter, HRESULT* phr, LPCWSTR pinName, const PushSourceConfig& config);

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

private:
    const PushSourceConfig config_;
    LONG next_ = 0;  // worker thread only
    std::chrono::steady_clock::time_point playStart_;  // worker thread only
    std::atomic<LONG> delivered_{0};
    std::atomic<LONG> threadCreates_{0};
    std::atomic<LONG> threadDestroys_{0};
    std::atomic<LONG> startPlays_{0};
    mutable std::mutex addressesLock_;
    std::set<const BYTE*> addresses_;  // guarded by addressesLock_
};

}  // namespace kvtest
