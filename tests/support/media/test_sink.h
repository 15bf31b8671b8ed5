#pragma once
// TestSink: a CBaseRenderer that records what reaches it (samples, bytes,
// times, discontinuities, types, buffer addresses, pattern errors) and can be
// told to block inside DoRenderSample until released, stopped or flushed.
// Its input pin is "In".
#include <condition_variable>
#include <mutex>
#include <set>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/baserenderer.h"
#include "support/media/test_types.h"

namespace kvtest {

struct SinkConfig {
    CMediaType accept = PartialType(GUID_NULL);  // partial type; the default takes anything
    bool checkPattern = false;                   // compare the bytes with PatternByte
    LONG skipPatternBytes = 0;                   // leading bytes a transform may have changed
};

class TestSink : public CBaseRenderer {
public:
    static ComPtr<TestSink> Create(const SinkConfig& config = {});
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    IPin* InputPin() { return GetPin(0); }

    // ---- What arrived (thread-safe) ----
    LONG Samples() const;
    LONGLONG Bytes() const;
    LONG Discontinuities() const;
    LONG PatternErrors() const;
    LONG EndOfStreams() const;
    std::vector<REFERENCE_TIME> StartTimes() const;
    std::set<const BYTE*> BufferAddresses() const;
    std::vector<GUID> SubtypesSeen() const;  // the connection subtype at each sample, when it changed
    // The connection type the input pin holds now.
    CMediaType ConnectionType();
    // True once `count` samples arrived / end of stream arrived, within the time.
    bool WaitForSamples(LONG count, DWORD milliseconds);
    bool WaitForEndOfStream(DWORD milliseconds);
    void Reset();

    // ---- Blocking on demand ----
    // From now on DoRenderSample waits until Unblock, a stop or a flush.
    void BlockRendering();
    void Unblock();
    // True once a sample is waiting inside DoRenderSample, within the time.
    bool WaitUntilBlocked(DWORD milliseconds);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT OnStopStreaming() override;
    HRESULT BeginFlush() override;

private:
    TestSink(const SinkConfig& config, HRESULT* phr);

    const SinkConfig config_;
    mutable std::mutex lock_;  // guards everything below
    std::condition_variable changed_;
    LONG samples_ = 0;
    LONGLONG bytes_ = 0;
    LONG discontinuities_ = 0;
    LONG patternErrors_ = 0;
    LONG endOfStreams_ = 0;
    std::vector<REFERENCE_TIME> startTimes_;
    std::set<const BYTE*> addresses_;
    std::vector<GUID> subtypes_;
    bool blockRequested_ = false;
    bool blocked_ = false;  // a sample waits in DoRenderSample
};

}  // namespace kvtest
