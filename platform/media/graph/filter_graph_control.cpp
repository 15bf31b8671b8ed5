// FilterGraph: state changes (IMediaFilter, IMediaControl) and the clock.
#include <chrono>

#include "platform/media/graph/filter_graph.h"
#include "platform/media/graph/pin_utils.h"
#include "platform/media/uuids.h"

namespace kvmedia {

namespace {
// Stream time 0 lies this far after Run, so every filter has started before the first sample is due.
constexpr REFERENCE_TIME kRunDelay = 100'000;  // 10 ms
// StopWhenReady waits at most this long for the filters to cue data.
constexpr DWORD kReadyWaitMs = 10'000;

REFERENCE_TIME ClockTime(IReferenceClock* clock) {
    REFERENCE_TIME now = 0;
    if (clock) clock->GetTime(&now);
    return now;
}
}  // namespace

HRESULT FilterGraph::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_FilterGraph;
    return S_OK;
}

HRESULT FilterGraph::Stop() {
    std::scoped_lock lock(graphLock_);
    return ChangeState(State_Stopped, 0);
}

HRESULT FilterGraph::Pause() {
    std::scoped_lock lock(graphLock_);
    return ChangeState(State_Paused, 0);
}

HRESULT FilterGraph::Run(REFERENCE_TIME start) {
    std::scoped_lock lock(graphLock_);
    return ChangeState(State_Running, start);
}

HRESULT FilterGraph::Run() {
    std::scoped_lock lock(graphLock_);
    if (state_ == State_Running) return S_OK;
    // Pause first so the stream time of the run can continue from where the pause left it.
    if (state_ == State_Stopped) {
        if (const HRESULT hr = ChangeState(State_Paused, 0); FAILED(hr)) return hr;
    }
    const REFERENCE_TIME start = clock_ ? ClockTime(clock_.Get()) + kRunDelay - pausedStreamTime_ : 0;
    return ChangeState(State_Running, start);
}

void FilterGraph::StartStreaming() {
    if (!clockChosen_) SetDefaultSyncSource();
    std::size_t renderers = 0;
    for (auto& filter : OrderedFilters())
        if (IsRenderer(filter.Get())) ++renderers;
    {
        std::scoped_lock lock(completionLock_);
        streaming_ = true;
        renderersToComplete_ = renderers;
    }
    RestartCompletion();
}

void FilterGraph::RestartCompletion() {
    events_.ResetCompletion();
    std::scoped_lock lock(completionLock_);
    completedRenderers_.clear();
}

HRESULT FilterGraph::ChangeState(FILTER_STATE target, REFERENCE_TIME start) {
    if (target == state_) return S_OK;
    if (target == State_Running && state_ == State_Stopped) {
        if (const HRESULT hr = ChangeState(State_Paused, 0); FAILED(hr)) return hr;
    }
    if (state_ == State_Stopped) StartStreaming();
    if (target == State_Running) streamStart_ = start;
    if (target == State_Paused && state_ == State_Running && clock_)
        pausedStreamTime_ = ClockTime(clock_.Get()) - streamStart_;
    if (target == State_Stopped) pausedStreamTime_ = 0;

    HRESULT result = S_OK;
    for (auto& filter : OrderedFilters()) {
        const HRESULT hr = target == State_Stopped  ? filter->Stop()
                           : target == State_Paused ? filter->Pause()
                                                    : filter->Run(start);
        if (FAILED(hr)) {
            if (target == State_Stopped) {
                result = hr;
                continue;
            }
            // A graph half started is worse than one stopped: take everything back down.
            state_ = target;
            ChangeState(State_Stopped, 0);
            return hr;
        }
        if (hr == S_FALSE && result == S_OK) result = S_FALSE;
    }
    state_ = target;
    if (target == State_Stopped) {
        std::scoped_lock lock(completionLock_);
        streaming_ = false;
    }
    return result;
}

HRESULT FilterGraph::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    *state = state_;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds == INFINITE ? 0 : milliseconds);
    HRESULT result = S_OK;
    for (auto& filter : OrderedFilters()) {
        DWORD remaining = INFINITE;
        if (milliseconds != INFINITE) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            remaining = left > 0 ? static_cast<DWORD>(left) : 0;
        }
        FILTER_STATE filterState{};
        const HRESULT hr = filter->GetState(remaining, &filterState);
        if (FAILED(hr)) return hr;
        if (hr == VFW_S_STATE_INTERMEDIATE) result = hr;
        else if (hr == VFW_S_CANT_CUE && result == S_OK) result = hr;
    }
    return result;
}

HRESULT FilterGraph::GetState(LONG msTimeout, OAFilterState* state) {
    if (!state) return E_POINTER;
    FILTER_STATE filterState{};
    const HRESULT hr = GetState(msTimeout < 0 ? INFINITE : static_cast<DWORD>(msTimeout), &filterState);
    *state = filterState;
    return hr;
}

HRESULT FilterGraph::SetSyncSource(IReferenceClock* clock) {
    std::scoped_lock lock(graphLock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    clock_ = clock;
    clockChosen_ = true;
    for (const Entry& entry : filters_) entry.filter->SetSyncSource(clock);
    return S_OK;
}

HRESULT FilterGraph::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    clock_.CopyTo(clock);
    return clock_ ? S_OK : S_FALSE;
}

HRESULT FilterGraph::RenderFile(BSTR file) { return RenderFile(file, nullptr); }

HRESULT FilterGraph::AddSourceFilter(BSTR, IDispatch**) { return E_NOTIMPL; }
HRESULT FilterGraph::get_FilterCollection(IDispatch**) { return E_NOTIMPL; }
HRESULT FilterGraph::get_RegFilterCollection(IDispatch**) { return E_NOTIMPL; }

HRESULT FilterGraph::StopWhenReady() {
    std::scoped_lock lock(graphLock_);
    if (const HRESULT hr = ChangeState(State_Paused, 0); FAILED(hr)) return hr;
    FILTER_STATE state{};
    GetState(kReadyWaitMs, &state);
    return ChangeState(State_Stopped, 0);
}

}  // namespace kvmedia
