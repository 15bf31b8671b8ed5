// FilterGraph: IMediaSeeking. The renderers answer (their own seeking passes
// the request upstream to the source); settings go to every renderer,
// questions to the first in the graph's order. Without a seekable renderer
// the graph answers E_NOTIMPL.
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
    return AskFirst(SeekingRenderers(), &IMediaSeeking::GetCurrentPosition, current);
}

HRESULT FilterGraph::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                       const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    return AskFirst(SeekingRenderers(), &IMediaSeeking::ConvertTimeFormat, target, targetFormat, source, sourceFormat);
}

HRESULT FilterGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    return TellAll(SeekingRenderers(), &IMediaSeeking::SetPositions, current, currentFlags, stop, stopFlags);
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
