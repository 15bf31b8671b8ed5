#include "support/media/fake_graph.h"

#include <algorithm>
#include <chrono>

namespace kvtest {

FakeGraph::FakeGraph() : CUnknown("Fake graph", nullptr) {}

ComPtr<FakeGraph> FakeGraph::Create() { return ComPtr<FakeGraph>(new FakeGraph()); }

HRESULT FakeGraph::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IFilterGraph) return GetInterface(static_cast<IFilterGraph*>(this), ppv);
    if (riid == IID_IMediaEventSink) return GetInterface(static_cast<IMediaEventSink*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FakeGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
    if (!filter) return E_POINTER;
    return filter->JoinFilterGraph(this, name);
}

HRESULT FakeGraph::RemoveFilter(IBaseFilter* filter) {
    if (!filter) return E_POINTER;
    return filter->JoinFilterGraph(nullptr, nullptr);
}

HRESULT FakeGraph::EnumFilters(IEnumFilters**) { return E_NOTIMPL; }
HRESULT FakeGraph::FindFilterByName(LPCWSTR, IBaseFilter**) { return E_NOTIMPL; }
HRESULT FakeGraph::ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) { return ConnectPins(out, in, mt); }
HRESULT FakeGraph::Reconnect(IPin*) { return E_NOTIMPL; }
HRESULT FakeGraph::Disconnect(IPin* pin) {
    if (!pin) return E_POINTER;
    return pin->Disconnect();
}
HRESULT FakeGraph::SetDefaultSyncSource() { return E_NOTIMPL; }

HRESULT FakeGraph::Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) {
    {
        std::scoped_lock lock(lock_);
        events_.push_back({eventCode, param1, param2});
    }
    changed_.notify_all();
    return S_OK;
}

std::vector<RecordedEvent> FakeGraph::Events() const {
    std::scoped_lock lock(lock_);
    return events_;
}

LONG FakeGraph::CountOf(LONG code) const {
    std::scoped_lock lock(lock_);
    return static_cast<LONG>(
        std::count_if(events_.begin(), events_.end(), [code](const RecordedEvent& e) { return e.code == code; }));
}

bool FakeGraph::WaitForEvent(LONG code, DWORD milliseconds) {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] {
        return std::any_of(events_.begin(), events_.end(), [code](const RecordedEvent& e) { return e.code == code; });
    });
}

void FakeGraph::ClearEvents() {
    std::scoped_lock lock(lock_);
    events_.clear();
}

TestClock::TestClock() : CUnknown("Test clock", nullptr) {}

ComPtr<TestClock> TestClock::Create() { return ComPtr<TestClock>(new TestClock()); }

HRESULT TestClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TestClock::GetTime(REFERENCE_TIME* time) {
    if (!time) return E_POINTER;
    *time = now_;
    return S_OK;
}

HRESULT ConnectPins(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) {
    if (!out || !in) return E_POINTER;
    return out->Connect(in, mt);
}

void DisconnectPins(IPin* out) {
    if (!out) return;
    ComPtr<IPin> in;
    if (SUCCEEDED(out->ConnectedTo(in.GetAddressOf()))) in->Disconnect();
    out->Disconnect();
}

}  // namespace kvtest
