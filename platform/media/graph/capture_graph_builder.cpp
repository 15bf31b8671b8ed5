#include "platform/media/graph/capture_graph_builder.h"

#include <algorithm>
#include <deque>

#include "platform/media/graph/filter_graph.h"
#include "platform/media/graph/pin_utils.h"

namespace kvmedia {

namespace {

bool OffersType(IPin* pin, const GUID& type) {
    const auto matches = [&type](const AM_MEDIA_TYPE& mt) { return mt.majortype == type || mt.subtype == type; };
    CMediaType connected;
    if (SUCCEEDED(pin->ConnectionMediaType(&connected))) return matches(connected);
    const auto offered = PinMediaTypes(pin);
    return std::any_of(offered.begin(), offered.end(), matches);
}

bool PinMatches(IPin* pin, PIN_DIRECTION dir, const GUID* category, const GUID* type, bool unconnected) {
    return PinHasDirection(pin, dir) && (!category || PinCategory(pin) == *category) &&
           (!unconnected || !ConnectedPeer(pin)) && (!type || OffersType(pin, *type));
}

// Every matching pin of the filter, in its pin order.
std::vector<ComPtr<IPin>> MatchingPins(IBaseFilter* filter, PIN_DIRECTION dir, const GUID* category,
                                       const GUID* type, bool unconnected) {
    std::vector<ComPtr<IPin>> pins;
    for (auto& pin : FilterPins(filter))
        if (PinMatches(pin.Get(), dir, category, type, unconnected)) pins.push_back(pin);
    return pins;
}

ComPtr<IPin> FirstFreePin(IBaseFilter* filter, PIN_DIRECTION dir) {
    const auto pins = MatchingPins(filter, dir, nullptr, nullptr, true);
    return pins.empty() ? nullptr : pins.front();
}

std::vector<ComPtr<IBaseFilter>> GraphFilters(IGraphBuilder* graph) {
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> enumerator;
    if (!graph || FAILED(graph->EnumFilters(enumerator.GetAddressOf()))) return filters;
    ComPtr<IBaseFilter> filter;
    while (enumerator->Next(1, filter.GetAddressOf(), nullptr) == S_OK) filters.push_back(filter);
    return filters;
}

// The filters reached from `start` through its pins of one direction, nearest first.
std::vector<ComPtr<IBaseFilter>> Neighbourhood(IBaseFilter* start, PIN_DIRECTION dir) {
    std::vector<ComPtr<IBaseFilter>> reached;
    std::deque<ComPtr<IBaseFilter>> pending{ComPtr<IBaseFilter>(start)};
    while (!pending.empty()) {
        const ComPtr<IBaseFilter> filter = pending.front();
        pending.pop_front();
        for (auto& pin : FilterPins(filter.Get(), dir)) {
            const ComPtr<IBaseFilter> next = PinOwner(ConnectedPeer(pin.Get()).Get());
            if (!next || next.Get() == start ||
                std::any_of(reached.begin(), reached.end(), [&](const auto& f) { return f == next; }))
                continue;
            reached.push_back(next);
            pending.push_back(next);
        }
    }
    return reached;
}

}  // namespace

CUnknown* CaptureGraphBuilder::CreateInstance(IUnknown* outer, HRESULT* phr) {
    if (phr) *phr = S_OK;
    return new CaptureGraphBuilder(outer);
}

CaptureGraphBuilder::CaptureGraphBuilder(IUnknown* outer) : CUnknown("CaptureGraphBuilder", outer) {}

HRESULT CaptureGraphBuilder::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_ICaptureGraphBuilder2) return GetInterface(static_cast<ICaptureGraphBuilder2*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ComPtr<IGraphBuilder> CaptureGraphBuilder::Graph() {
    std::scoped_lock lock(mutex_);
    if (!graph_) graph_ = new FilterGraph(nullptr);
    return graph_;
}

HRESULT CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* graph) {
    if (!graph) return E_POINTER;
    std::scoped_lock lock(mutex_);
    if (graph_) return E_UNEXPECTED;
    graph_ = graph;
    return S_OK;
}

HRESULT CaptureGraphBuilder::GetFiltergraph(IGraphBuilder** graph) {
    if (!graph) return E_POINTER;
    return Graph().CopyTo(graph);
}

HRESULT CaptureGraphBuilder::FindPin(IUnknown* source, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                                     BOOL unconnected, int index, IPin** pin) {
    if (!pin) return E_POINTER;
    *pin = nullptr;
    if (!source) return E_POINTER;
    if (index < 0) return E_INVALIDARG;
    ComPtr<IPin> asPin;
    if (SUCCEEDED(source->QueryInterface(IID_IPin, asPin.GetVoidAddress()))) {
        if (index == 0 && PinMatches(asPin.Get(), dir, category, type, unconnected)) return asPin.CopyTo(pin);
        return VFW_E_NOT_FOUND;
    }
    ComPtr<IBaseFilter> filter;
    if (FAILED(source->QueryInterface(IID_IBaseFilter, filter.GetVoidAddress()))) return E_NOINTERFACE;
    const auto pins = MatchingPins(filter.Get(), dir, category, type, unconnected != FALSE);
    if (static_cast<std::size_t>(index) >= pins.size()) return VFW_E_NOT_FOUND;
    return pins[index].CopyTo(pin);
}

HRESULT CaptureGraphBuilder::FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter, REFIID riid,
                                           void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!filter) return E_POINTER;
    if (SUCCEEDED(filter->QueryInterface(riid, ppv))) return S_OK;
    for (PIN_DIRECTION dir : {PINDIR_OUTPUT, PINDIR_INPUT})
        for (auto& pin : MatchingPins(filter, dir, category, type, false))
            if (SUCCEEDED(pin->QueryInterface(riid, ppv))) return S_OK;
    for (PIN_DIRECTION dir : {PINDIR_OUTPUT, PINDIR_INPUT})
        for (auto& other : Neighbourhood(filter, dir))
            if (SUCCEEDED(other->QueryInterface(riid, ppv))) return S_OK;
    return E_NOINTERFACE;
}

HRESULT CaptureGraphBuilder::RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                                          IBaseFilter* intermediate, IBaseFilter* sink) {
    if (!source) return E_POINTER;
    const ComPtr<IGraphBuilder> graph = Graph();
    ComPtr<IPin> out;
    if (const HRESULT hr = FindPin(source, PINDIR_OUTPUT, category, type, TRUE, 0, out.GetAddressOf()); FAILED(hr))
        return hr;

    // Remembered so that a failure half way can be taken back.
    const ComPtr<IPin> first = out;
    const auto filtersBefore = GraphFilters(graph.Get());
    const auto fail = [&](HRESULT hr) {
        for (auto& filter : GraphFilters(graph.Get()))
            if (std::none_of(filtersBefore.begin(), filtersBefore.end(), [&](const auto& f) { return f == filter; }))
                graph->RemoveFilter(filter.Get());
        DisconnectBothEnds(first.Get());
        return hr;
    };

    if (intermediate) {
        const ComPtr<IPin> in = FirstFreePin(intermediate, PINDIR_INPUT);
        if (!in) return VFW_E_NOT_FOUND;
        if (const HRESULT hr = graph->Connect(out.Get(), in.Get()); FAILED(hr)) return fail(hr);
        out = FirstFreePin(intermediate, PINDIR_OUTPUT);
        // An intermediate filter that ends the stream leaves nothing more to do.
        if (!out) return sink ? fail(VFW_E_NOT_FOUND) : S_OK;
    }
    if (sink) {
        const ComPtr<IPin> in = FirstFreePin(sink, PINDIR_INPUT);
        if (!in) return fail(VFW_E_NOT_FOUND);
        const HRESULT hr = graph->Connect(out.Get(), in.Get());
        return FAILED(hr) ? fail(hr) : hr;
    }
    const HRESULT hr = graph->Render(out.Get());
    return FAILED(hr) ? fail(hr) : hr;
}

HRESULT CaptureGraphBuilder::ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter,
                                           REFERENCE_TIME* start, REFERENCE_TIME* stop, WORD startCookie,
                                           WORD stopCookie) {
    std::vector<ComPtr<IBaseFilter>> filters;
    if (filter) filters.emplace_back(filter);
    else filters = GraphFilters(Graph().Get());

    bool found = false;
    HRESULT result = E_NOINTERFACE;
    for (auto& candidate : filters) {
        for (auto& pin : MatchingPins(candidate.Get(), PINDIR_OUTPUT, category, type, false)) {
            found = true;
            ComPtr<IAMStreamControl> control;
            if (FAILED(pin.As(&control))) continue;
            HRESULT hr = control->StartAt(start, startCookie);
            if (SUCCEEDED(hr)) hr = control->StopAt(stop, FALSE, stopCookie);
            if (FAILED(hr)) return hr;
            result = S_OK;
        }
    }
    return found ? result : VFW_E_NOT_FOUND;
}

HRESULT CaptureGraphBuilder::SetOutputFileName(const GUID*, LPCOLESTR, IBaseFilter**, IFileSinkFilter**) {
    return E_NOTIMPL;
}
HRESULT CaptureGraphBuilder::AllocCapFile(LPCOLESTR, ULONGLONG) { return E_NOTIMPL; }
HRESULT CaptureGraphBuilder::CopyCaptureFile(LPOLESTR, LPOLESTR, int, IAMCopyCaptureFileProgress*) {
    return E_NOTIMPL;
}

}  // namespace kvmedia
