// FilterGraph: construction, the filter list and IFilterGraph.
#include "platform/media/graph/filter_graph.h"

#include <algorithm>
#include <cstdio>

#include "platform/media/graph/com_enumerator.h"
#include "platform/media/graph/pin_utils.h"
#include "platform/media/graph/system_clock.h"

namespace kvmedia {

namespace {
// FILTER_INFO holds names of up to MAX_FILTER_NAME - 1 characters.
constexpr std::size_t kLongestName = MAX_FILTER_NAME - 1;
constexpr std::size_t kSuffixLength = 5;  // " 0001"
constexpr int kMostSuffixes = 9999;
}  // namespace

CUnknown* FilterGraph::CreateInstance(IUnknown* outer, HRESULT* phr) {
    if (phr) *phr = S_OK;
    return new FilterGraph(outer);
}

FilterGraph::FilterGraph(IUnknown* outer) : CUnknown("FilterGraph", outer), timeFormat_(TIME_FORMAT_MEDIA_TIME) {}

FilterGraph::~FilterGraph() {
    Stop();
    std::scoped_lock lock(graphLock_);
    // Filters keep an unreferenced pointer to the graph: take it back from each.
    while (!filters_.empty()) RemoveFilter(filters_.back().filter.Get());
}

HRESULT FilterGraph::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IFilterGraph || riid == IID_IGraphBuilder)
        return GetInterface(static_cast<IGraphBuilder*>(this), ppv);
    if (riid == IID_IMediaFilter || riid == IID_IPersist) return GetInterface(static_cast<IMediaFilter*>(this), ppv);
    if (riid == IID_IMediaEventSink) return GetInterface(static_cast<IMediaEventSink*>(this), ppv);
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    if (riid == IID_IMediaControl || riid == IID_IDispatch)
        return GetInterface(static_cast<IMediaControl*>(this), ppv);
    if (riid == IID_IMediaEvent || riid == IID_IMediaEventEx)
        return GetInterface(static_cast<IMediaEventEx*>(this), ppv);
    if (riid == IID_IBasicAudio) return GetInterface(static_cast<IBasicAudio*>(this), ppv);
    if (riid == IID_IBasicVideo) return GetInterface(static_cast<IBasicVideo*>(this), ppv);
    if (riid == IID_IVideoWindow) return GetInterface(static_cast<IVideoWindow*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

std::vector<ComPtr<IBaseFilter>> FilterGraph::OrderedFilters() {
    struct Node {
        ComPtr<IBaseFilter> filter;
        std::vector<IBaseFilter*> downstream;
    };
    std::vector<Node> remaining;
    for (auto entry = filters_.rbegin(); entry != filters_.rend(); ++entry) {
        Node node{entry->filter, {}};
        for (auto& pin : FilterPins(node.filter.Get(), PINDIR_OUTPUT))
            if (ComPtr<IBaseFilter> next = PinOwner(ConnectedPeer(pin.Get()).Get()); next && next != node.filter)
                node.downstream.push_back(next.Get());
        remaining.push_back(std::move(node));
    }
    std::vector<ComPtr<IBaseFilter>> ordered;
    const auto placed = [&ordered](IBaseFilter* filter) {
        return std::any_of(ordered.begin(), ordered.end(), [filter](const auto& f) { return f.Get() == filter; });
    };
    const auto inGraph = [&remaining, &placed](IBaseFilter* filter) {
        return placed(filter) || std::any_of(remaining.begin(), remaining.end(),
                                             [filter](const Node& node) { return node.filter.Get() == filter; });
    };
    while (!remaining.empty()) {
        auto ready = std::find_if(remaining.begin(), remaining.end(), [&](const Node& node) {
            return std::all_of(node.downstream.begin(), node.downstream.end(),
                               [&](IBaseFilter* next) { return placed(next) || !inGraph(next); });
        });
        // A cycle has no filter that is ready; break it at the newest filter.
        if (ready == remaining.end()) ready = remaining.begin();
        ordered.push_back(ready->filter);
        remaining.erase(ready);
    }
    return ordered;
}

bool FilterGraph::Contains(IBaseFilter* filter) {
    return std::any_of(filters_.begin(), filters_.end(), [filter](const Entry& e) { return e.filter.Get() == filter; });
}

std::u16string FilterGraph::UniqueName(std::u16string name) {
    const auto taken = [this](const std::u16string& candidate) {
        return std::any_of(filters_.begin(), filters_.end(), [&](const Entry& e) { return e.name == candidate; });
    };
    name.resize(std::min(name.size(), kLongestName));
    if (!taken(name)) return name;
    const std::u16string base = name.substr(0, kLongestName - kSuffixLength);
    for (int suffix = 1; suffix <= kMostSuffixes; ++suffix) {
        char digits[8];
        std::snprintf(digits, sizeof digits, " %04d", suffix);
        std::u16string candidate = base;
        for (const char* c = digits; *c; ++c) candidate.push_back(static_cast<char16_t>(*c));
        if (!taken(candidate)) return candidate;
    }
    return {};
}

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
    if (!filter) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    if (Contains(filter)) return E_INVALIDARG;
    const std::u16string wanted = name && *name ? std::u16string(name) : std::u16string(u"Filter");
    const std::u16string unique = UniqueName(wanted);
    if (unique.empty()) return VFW_E_DUPLICATE_NAME;
    const HRESULT joined = filter->JoinFilterGraph(static_cast<IGraphBuilder*>(this), unique.c_str());
    if (FAILED(joined)) return joined;
    filters_.push_back({filter, unique});
    if (clock_) filter->SetSyncSource(clock_.Get());
    return unique == wanted.substr(0, kLongestName) ? S_OK : VFW_S_DUPLICATE_NAME;
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter) {
    if (!filter) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    const auto entry =
        std::find_if(filters_.begin(), filters_.end(), [filter](const Entry& e) { return e.filter.Get() == filter; });
    if (entry == filters_.end()) return VFW_E_NOT_FOUND;
    const ComPtr<IBaseFilter> keep = entry->filter;
    // Stopping one filter alone can wait forever on a streaming thread that a
    // paused filter downstream holds: the whole graph stops, downstream first,
    // and goes back to its state without the filter.
    const FILTER_STATE was = state_;
    if (was != State_Stopped) ChangeState(State_Stopped, 0);
    for (auto& pin : FilterPins(filter)) DisconnectBothEnds(pin.Get());
    filter->SetSyncSource(nullptr);
    filter->JoinFilterGraph(nullptr, nullptr);
    filters_.erase(std::find_if(filters_.begin(), filters_.end(),
                                [filter](const Entry& e) { return e.filter.Get() == filter; }));
    if (was == State_Paused) ChangeState(State_Paused, 0);
    if (was == State_Running) Run();
    return S_OK;
}

HRESULT FilterGraph::EnumFilters(IEnumFilters** filters) {
    if (!filters) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    return ComEnumerator<IEnumFilters, IBaseFilter>::Create(OrderedFilters(), filters);
}

HRESULT FilterGraph::FindFilterByName(LPCWSTR name, IBaseFilter** filter) {
    if (!filter) return E_POINTER;
    *filter = nullptr;
    if (!name) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    for (const Entry& entry : filters_)
        if (entry.name == name) return entry.filter.CopyTo(filter);
    return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::CheckPinsInGraph(IPin* out, IPin* in) {
    if (!out || !in) return E_POINTER;
    const ComPtr<IBaseFilter> upstream = PinOwner(out);
    const ComPtr<IBaseFilter> downstream = PinOwner(in);
    if (!upstream || !downstream || !Contains(upstream.Get()) || !Contains(downstream.Get())) return VFW_E_NOT_IN_GRAPH;
    if (!PinHasDirection(out, PINDIR_OUTPUT) || !PinHasDirection(in, PINDIR_INPUT)) return VFW_E_INVALID_DIRECTION;
    return S_OK;
}

HRESULT FilterGraph::ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) {
    std::scoped_lock lock(graphLock_);
    if (const HRESULT hr = CheckPinsInGraph(out, in); FAILED(hr)) return hr;
    return out->Connect(in, mt);
}

HRESULT FilterGraph::Reconnect(IPin* pin) {
    if (!pin) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    const ComPtr<IPin> peer = ConnectedPeer(pin);
    if (!peer) return VFW_E_NOT_CONNECTED;
    const bool isOutput = PinHasDirection(pin, PINDIR_OUTPUT);
    IPin* out = isOutput ? pin : peer.Get();
    IPin* in = isOutput ? peer.Get() : pin;
    if (const HRESULT hr = CheckPinsInGraph(out, in); FAILED(hr)) return hr;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    DisconnectBothEnds(out);
    return out->Connect(in, nullptr);
}

HRESULT FilterGraph::Disconnect(IPin* pin) {
    if (!pin) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    return pin->Disconnect();
}

HRESULT FilterGraph::SetDefaultSyncSource() {
    std::scoped_lock lock(graphLock_);
    ComPtr<IReferenceClock> clock = FindFilterInterface<IReferenceClock>();
    if (!clock) clock = new SystemClock(nullptr);
    return SetSyncSource(clock.Get());
}

}  // namespace kvmedia
