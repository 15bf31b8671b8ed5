#pragma once
// PayloadSink: a renderer for tests that keeps the bytes and start time of
// every sample it renders, notes where each flush fell, and counts ends of
// stream, so a test can compare what a source delivered with the file.
// Its input pin "In" takes any type matching `accept` (partial).
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/baserenderer.h"

namespace kvtest {

class PayloadSink : public CBaseRenderer {
public:
    static ComPtr<PayloadSink> Create(const CMediaType& accept);

    IPin* InputPin() { return GetPin(0); }

    std::vector<std::vector<BYTE>> Payloads() const;
    std::vector<REFERENCE_TIME> StartTimes() const;
    // The payloads rendered since the last flush (all of them when none came).
    std::vector<std::vector<BYTE>> PayloadsSinceFlush() const;
    bool WaitForSamples(std::size_t count, DWORD milliseconds) const;
    bool WaitForEndOfStreams(int count, DWORD milliseconds) const;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;

private:
    PayloadSink(const CMediaType& accept, HRESULT* phr);
    template <class Done>
    bool WaitFor(DWORD milliseconds, Done done) const;

    const CMediaType accept_;
    mutable std::mutex lock_;  // guards everything below
    mutable std::condition_variable changed_;
    std::vector<std::vector<BYTE>> payloads_;
    std::vector<REFERENCE_TIME> starts_;
    std::size_t lastFlushAt_ = 0;  // payloads_.size() at the last flush
    int endOfStreams_ = 0;
};

}  // namespace kvtest
