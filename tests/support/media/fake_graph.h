#pragma once
// FakeGraph: the smallest graph a filter can join. It hands filters its
// IMediaEventSink and records every event they report, so tests can drive
// filters by hand (connect, Pause, Run, Stop) without a graph manager.
// TestClock: a reference clock whose time the test sets.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvtest {

struct RecordedEvent {
    LONG code;
    LONG_PTR param1;
    LONG_PTR param2;
};

class FakeGraph : public CUnknown, public IFilterGraph, public IMediaEventSink {
public:
    static ComPtr<FakeGraph> Create();

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Joins the filter to this graph (no reference is kept: the test owns it).
    HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** filters) override;
    HRESULT FindFilterByName(LPCWSTR name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) override;
    HRESULT Reconnect(IPin* pin) override;
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override;

    HRESULT Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) override;

    std::vector<RecordedEvent> Events() const;
    LONG CountOf(LONG code) const;
    // True once an event with this code was reported, within the time.
    bool WaitForEvent(LONG code, DWORD milliseconds);
    void ClearEvents();

private:
    FakeGraph();

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<RecordedEvent> events_;  // guarded by lock_
};

class TestClock : public CUnknown, public IReferenceClock {
public:
    static ComPtr<TestClock> Create();

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetTime(REFERENCE_TIME* time) override;
    // Advises are not offered; the renderer does not need them.
    HRESULT AdviseTime(REFERENCE_TIME, REFERENCE_TIME, HEVENT, DWORD_PTR*) override { return E_NOTIMPL; }
    HRESULT AdvisePeriodic(REFERENCE_TIME, REFERENCE_TIME, HSEMAPHORE, DWORD_PTR*) override { return E_NOTIMPL; }
    HRESULT Unadvise(DWORD_PTR) override { return E_NOTIMPL; }

    void SetTime(REFERENCE_TIME time) { now_ = time; }

private:
    TestClock();

    std::atomic<REFERENCE_TIME> now_{0};
};

// Connects out to in directly, as a test without a graph manager does.
HRESULT ConnectPins(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt = nullptr);
// Breaks a connection on both sides.
void DisconnectPins(IPin* out);

}  // namespace kvtest
