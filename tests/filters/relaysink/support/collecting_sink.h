#pragma once
// CollectingSink: a test filter with one DV input pin that keeps a copy of
// every sample it receives, grouped by stream run: a run begins with the
// first sample after the filter starts (or after an end of stream) and ends
// with the end of stream.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/basefilter.h"
#include "platform/media/base/renderedinputpin.h"

namespace kvtest {

struct CollectedSample {
    std::vector<std::uint8_t> bytes;  // the actual data
    REFERENCE_TIME start = -1;
    REFERENCE_TIME stop = -1;
    bool syncPoint = false;
    bool discontinuity = false;
};

struct CollectedRun {
    std::vector<CollectedSample> samples;
    bool ended = false;  // its end of stream arrived
};

class CollectingSink final : public CBaseFilter {
public:
    static ComPtr<IBaseFilter> Create(CollectingSink** self);

    CBasePin* GetPin(int n) override;
    int GetPinCount() override { return 1; }

    // A copy of the runs so far.
    std::vector<CollectedRun> Runs();
    // Waits until endedRuns runs have ended; false on time-out.
    bool WaitForEndedRuns(std::size_t endedRuns, std::chrono::milliseconds timeout);

private:
    class Pin;
    CollectingSink();
    void Collect(IMediaSample* sample);
    void EndRun();

    CCritSec lock_;
    std::unique_ptr<Pin> pin_;
    std::mutex runsLock_;
    std::condition_variable runEnded_;
    std::vector<CollectedRun> runs_;  // guarded by runsLock_
};

}  // namespace kvtest
