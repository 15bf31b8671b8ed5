// FilterGraph: IMediaSeeking. The renderers answer (their own seeking passes
// the request upstream to the source); settings go to every renderer,
// questions to the first in the graph's order, the current position to the
// first that shows pictures (the frame on screen). A seek reaches each source
// once, through one of the renderers it feeds, and restarts stream time at the
// new position: a running graph pauses around it and runs again from there.
// Without a seekable renderer the graph answers E_NOTIMPL.
#include <algorithm>

#include "platform/media/graph/filter_graph.h"
#include "platform/media/graph/pin_utils.h"

namespace kvmedia {

namespace {

template <class... Params, class... Args>
HRESULT AskFirst(const std::vector<ComPtr<IMediaSeeking>>& renderers, HRESULT (IMediaSeeking::*method)(Params...),
                 Args... args) {
    if (renderers.empty()) return E_NOTIMPL;
    return (renderers.front().Get()->*method)(args...);
}

template <class... Params, class... Args>
HRESULT TellAll(const std::vector<ComPtr<IMediaSeeking>>& renderers, HRESULT (IMediaSeeking::*method)(Params...),
                Args... args) {
    if (renderers.empty()) return E_NOTIMPL;
    HRESULT result = S_OK;
    for (auto& renderer : renderers) {
        const HRESULT hr = (renderer.Get()->*method)(args...);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

}  // namespace

std::vector<ComPtr<IMediaSeeking>> FilterGraph::SeekingRenderers() {
    std::scoped_lock lock(graphLock_);
    std::vector<ComPtr<IMediaSeeking>> renderers;
    for (auto& filter : OrderedFilters()) {
        ComPtr<IMediaSeeking> seeking;
        if (IsRenderer(filter.Get()) && SUCCEEDED(filter.As(&seeking)) && seeking) renderers.push_back(seeking);
    }
    return renderers;
}

std::vector<ComPtr<IMediaSeeking>> FilterGraph::SourceSeekers() {
    std::scoped_lock lock(graphLock_);
    std::vector<ComPtr<IMediaSeeking>> seekers;
    std::vector<ComPtr<IBaseFilter>> sources;
    for (auto& filter : OrderedFilters()) {
        ComPtr<IMediaSeeking> seeking;
        if (!IsRenderer(filter.Get()) || FAILED(filter.As(&seeking)) || !seeking) continue;
        ComPtr<IBaseFilter> source = UpstreamSource(filter.Get());
        if (std::find(sources.begin(), sources.end(), source) != sources.end()) continue;
        sources.push_back(source);
        seekers.push_back(seeking);
    }
    return seekers;
}

ComPtr<IMediaSeeking> FilterGraph::PositionRenderer() {
    std::scoped_lock lock(graphLock_);
    ComPtr<IMediaSeeking> first;
    for (auto& filter : OrderedFilters()) {
        ComPtr<IMediaSeeking> seeking;
        if (!IsRenderer(filter.Get()) || FAILED(filter.As(&seeking)) || !seeking) continue;
        ComPtr<IBasicVideo> video;
        if (SUCCEEDED(filter.As(&video)) && video) return seeking;
        if (!first) first = seeking;
    }
    return first;
}

HRESULT FilterGraph::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    const auto renderers = SeekingRenderers();
    if (renderers.empty()) return E_NOTIMPL;
    // The graph can do what every renderer can do.
    DWORD common = ~DWORD{0};
    for (auto& renderer : renderers) {
        DWORD own = 0;
        if (FAILED(renderer->GetCapabilities(&own))) own = 0;
        common &= own;
    }
    *capabilities = common;
    return S_OK;
}

HRESULT FilterGraph::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    DWORD available = 0;
    if (const HRESULT hr = GetCapabilities(&available); FAILED(hr)) return hr;
    const DWORD wanted = *capabilities;
    *capabilities = wanted & available;
    if (*capabilities == wanted) return S_OK;
    return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT FilterGraph::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return AskFirst(SeekingRenderers(), &IMediaSeeking::IsFormatSupported, format);
}

HRESULT FilterGraph::QueryPreferredFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT FilterGraph::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    *format = timeFormat_;
    return S_OK;
}

HRESULT FilterGraph::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    return *format == timeFormat_ ? S_OK : S_FALSE;
}

HRESULT FilterGraph::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    const HRESULT hr = TellAll(SeekingRenderers(), &IMediaSeeking::SetTimeFormat, format);
    if (SUCCEEDED(hr)) timeFormat_ = *format;
    return hr;
}

HRESULT FilterGraph::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    const auto renderers = SeekingRenderers();
    if (renderers.empty()) return E_NOTIMPL;
    // The graph lasts as long as its longest stream.
    HRESULT result = E_NOTIMPL;
    *duration = 0;
    for (auto& renderer : renderers) {
        LONGLONG own = 0;
        result = renderer->GetDuration(&own);
        if (SUCCEEDED(result)) *duration = std::max(*duration, own);
    }
    return *duration > 0 ? S_OK : result;
}

HRESULT FilterGraph::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    return AskFirst(SeekingRenderers(), &IMediaSeeking::GetStopPosition, stop);
}

HRESULT FilterGraph::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    const ComPtr<IMediaSeeking> renderer = PositionRenderer();
    if (!renderer) return E_NOTIMPL;
    return renderer->GetCurrentPosition(current);
}

HRESULT FilterGraph::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                       const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    return AskFirst(SeekingRenderers(), &IMediaSeeking::ConvertTimeFormat, target, targetFormat, source, sourceFormat);
}

HRESULT FilterGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    constexpr DWORD kHow = AM_SEEKING_PositioningBitsMask;
    if ((currentFlags & kHow) != AM_SEEKING_NoPositioning && !current) return E_POINTER;
    if ((stopFlags & kHow) != AM_SEEKING_NoPositioning && !stop) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    const auto seekers = SourceSeekers();
    if (seekers.empty()) return E_NOTIMPL;
    if ((currentFlags & kHow) == AM_SEEKING_NoPositioning && (stopFlags & kHow) == AM_SEEKING_NoPositioning)
        return S_OK;

    // Relative to the frame on show, not to where the last seek began.
    LONGLONG wantedCurrent = current ? *current : 0;
    if ((currentFlags & kHow) == AM_SEEKING_RelativePositioning) {
        LONGLONG now = 0;
        if (const HRESULT hr = GetCurrentPosition(&now); FAILED(hr)) return hr;
        wantedCurrent += now;
        currentFlags = (currentFlags & ~kHow) | AM_SEEKING_AbsolutePositioning;
    }
    const LONGLONG wantedStop = stop ? *stop : 0;

    const FILTER_STATE was = state_;
    if (was == State_Running) {
        if (const HRESULT hr = ChangeState(State_Paused, 0); FAILED(hr)) return hr;
    }
    HRESULT result = S_OK;
    bool first = true;
    for (auto& seeker : seekers) {
        // Each source starts from the caller's values; the first one's answer goes back.
        LONGLONG sourceCurrent = wantedCurrent;
        LONGLONG sourceStop = wantedStop;
        const HRESULT hr = seeker->SetPositions(current ? &sourceCurrent : nullptr, currentFlags,
                                                stop ? &sourceStop : nullptr, stopFlags);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        if (first && SUCCEEDED(hr)) {
            if (current) *current = sourceCurrent;
            if (stop) *stop = sourceStop;
            first = false;
        }
    }
    if (was != State_Stopped) {
        // The sources stamp from zero again at the new position, so stream time does too,
        // and the renderers report the new end.
        pausedStreamTime_ = 0;
        RestartCompletion();
        if (was == State_Running) {
            if (const HRESULT hr = Run(); FAILED(hr)) return hr;
        }
    }
    return result;
}

HRESULT FilterGraph::GetPositions(LONGLONG* current, LONGLONG* stop) {
    return AskFirst(SeekingRenderers(), &IMediaSeeking::GetPositions, current, stop);
}

HRESULT FilterGraph::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    return AskFirst(SeekingRenderers(), &IMediaSeeking::GetAvailable, earliest, latest);
}

HRESULT FilterGraph::SetRate(double rate) {
    if (rate == 0.0) return E_INVALIDARG;
    return TellAll(SeekingRenderers(), &IMediaSeeking::SetRate, rate);
}

HRESULT FilterGraph::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    return AskFirst(SeekingRenderers(), &IMediaSeeking::GetRate, rate);
}

HRESULT FilterGraph::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    return AskFirst(SeekingRenderers(), &IMediaSeeking::GetPreroll, preroll);
}

}  // namespace kvmedia
