#include "korvanta/capture/graph_pins.h"

#include "platform/media/base/mediatype.h"

namespace {

bool Matches(const GUID& actual, const GUID& wanted) { return wanted == GUID_NULL || actual == wanted; }

}  // namespace

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index) {
    if (!filter) return {};
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.GetAddressOf())) || !pins) return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.GetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION pinDirection{};
        if (SUCCEEDED(pin->QueryDirection(&pinDirection)) && pinDirection == direction && index-- == 0) return pin;
    }
    return {};
}

ConnectedPin FindConnectedPin(IGraphBuilder* graph, PIN_DIRECTION direction, const GUID& major,
                              const GUID& subtype, const GUID& format) {
    if (!graph) return {};
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.GetAddressOf())) || !filters) return {};
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.GetAddressOf(), nullptr) == S_OK) {
        for (int index = 0;; ++index) {
            ComPtr<IPin> pin = FindPin(filter.Get(), direction, index);
            if (!pin) break;
            AM_MEDIA_TYPE type{};
            if (pin->ConnectionMediaType(&type) != S_OK) continue;
            const bool found =
                Matches(type.majortype, major) && Matches(type.subtype, subtype) && Matches(type.formattype, format);
            FreeMediaType(type);
            if (found) return {filter, pin};
        }
    }
    return {};
}

void DisconnectBothEnds(IGraphBuilder* graph, IPin* pin) {
    if (!graph || !pin) return;
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer.GetAddressOf())) && peer) graph->Disconnect(peer.Get());
    graph->Disconnect(pin);
}

void RemoveAllFilters(IGraphBuilder* graph) {
    if (!graph) return;
    for (;;) {
        ComPtr<IEnumFilters> filters;
        ComPtr<IBaseFilter> filter;
        if (FAILED(graph->EnumFilters(filters.GetAddressOf())) || !filters ||
            filters->Next(1, filter.GetAddressOf(), nullptr) != S_OK)
            return;
        if (FAILED(graph->RemoveFilter(filter.Get()))) return;
    }
}

void ReconnectDownstream(IGraphBuilder* graph, ComPtr<IPin> output) {
    for (int hops = 0; output && hops < 8; ++hops) {
        ComPtr<IPin> peer;
        if (FAILED(output->ConnectedTo(peer.GetAddressOf())) || !peer) return;
        graph->Disconnect(peer.Get());
        graph->Disconnect(output.Get());
        if (FAILED(graph->Connect(output.Get(), peer.Get()))) return;
        PIN_INFO info{};
        if (FAILED(peer->QueryPinInfo(&info)) || !info.pFilter) return;
        ComPtr<IBaseFilter> next;
        next.Attach(info.pFilter);
        output = FindPin(next.Get(), PINDIR_OUTPUT, 0);
    }
}

bool InsertFilterAfter(IGraphBuilder* graph, IBaseFilter* filter, const char16_t* name, const GUID& major,
                       const GUID& subtype, const GUID& format) {
    const ConnectedPin found = FindConnectedPin(graph, PINDIR_OUTPUT, major, subtype, format);
    if (!found.pin) return false;
    ComPtr<IPin> peer;
    if (FAILED(found.pin->ConnectedTo(peer.GetAddressOf())) || !peer) return false;
    graph->Disconnect(peer.Get());
    graph->Disconnect(found.pin.Get());
    ComPtr<IBaseFilter> present;
    const bool alreadyThere =
        SUCCEEDED(graph->FindFilterByName(name, present.GetAddressOf())) && present.Get() == filter;
    if (!alreadyThere && FAILED(graph->AddFilter(filter, name))) return false;
    return SUCCEEDED(graph->Connect(found.pin.Get(), FindPin(filter, PINDIR_INPUT, 0).Get())) &&
           SUCCEEDED(graph->Connect(FindPin(filter, PINDIR_OUTPUT, 0).Get(), peer.Get()));
}
