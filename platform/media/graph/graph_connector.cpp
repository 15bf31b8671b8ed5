#include "platform/media/graph/graph_connector.h"

#include "platform/media/graph/filter_mapper.h"
#include "platform/media/graph/pin_utils.h"

namespace kvmedia {

namespace {

// The name an inserted filter gets in the graph: its registered friendly name.
std::u16string FriendlyName(IMoniker* moniker) {
    ComPtr<IPropertyBag> bag;
    std::u16string name;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.GetVoidAddress()))) return name;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(bag->Read(u"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
        name = value.bstrVal;
    VariantClear(&value);
    return name;
}

}  // namespace

GraphConnector::GraphConnector(IFilterGraph* graph) : graph_(graph) {}

HRESULT GraphConnector::Connect(IPin* out, IPin* in) {
    const Mark start = Here();
    if (Extend(out, in, kMostInsertedFilters)) return S_OK;
    RollBack(start);
    return VFW_E_CANNOT_CONNECT;
}

HRESULT GraphConnector::Render(IPin* out) {
    const Mark start = Here();
    if (Extend(out, nullptr, kMostInsertedFilters)) return partial_ ? VFW_S_PARTIAL_RENDER : S_OK;
    RollBack(start);
    return VFW_E_CANNOT_RENDER;
}

bool GraphConnector::Extend(IPin* out, IPin* target, int depth) {
    if (target && ConnectDirectly(out, target)) return true;
    if (depth == 0) return false;
    const ComPtr<IBaseFilter> from = PinOwner(out);
    const ComPtr<IBaseFilter> to = target ? PinOwner(target) : nullptr;
    for (auto& filter : FiltersInGraph()) {
        if (filter == from || filter == to) continue;
        if (ExtendThrough(out, filter.Get(), target, depth)) return true;
    }
    for (auto& moniker : RegisteredCandidates(out)) {
        if (candidatesLeft_-- <= 0) return false;
        ComPtr<IBaseFilter> filter;
        if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress()))) continue;
        const Mark mark = Here();
        if (FAILED(graph_->AddFilter(filter.Get(), FriendlyName(moniker.Get()).c_str()))) continue;
        added_.push_back(filter);
        if (ExtendThrough(out, filter.Get(), target, depth)) return true;
        RollBack(mark);
    }
    return false;
}

bool GraphConnector::ExtendThrough(IPin* out, IBaseFilter* filter, IPin* target, int depth) {
    for (auto& in : FilterPins(filter, PINDIR_INPUT)) {
        if (ConnectedPeer(in.Get())) continue;
        const Mark mark = Here();
        if (!ConnectDirectly(out, in.Get())) continue;
        // Output pins are asked for only now: some filters make them when their input connects.
        const auto outputs = FilterPins(filter, PINDIR_OUTPUT);
        if (target) {
            for (auto& next : outputs)
                if (!ConnectedPeer(next.Get()) && Extend(next.Get(), target, depth - 1)) return true;
        } else {
            // A filter without outputs renders the stream; one whose outputs are
            // already connected feeds a chain that does.
            bool rendered = outputs.empty();
            bool missed = false;
            for (auto& next : outputs) {
                if (ConnectedPeer(next.Get()) || Extend(next.Get(), nullptr, depth - 1)) rendered = true;
                else missed = true;
            }
            if (rendered) {
                partial_ = partial_ || missed;
                return true;
            }
        }
        RollBack(mark);
    }
    return false;
}

bool GraphConnector::ConnectDirectly(IPin* out, IPin* in) {
    if (ConnectedPeer(in) || ConnectedPeer(out)) return false;
    const auto attempt = [&](const AM_MEDIA_TYPE* mt) {
        if (FAILED(out->Connect(in, mt))) return false;
        connections_.push_back(out);
        return true;
    };
    const auto outTypes = PinMediaTypes(out);
    for (const CMediaType& mt : outTypes)
        if (attempt(&mt)) return true;
    const auto inTypes = PinMediaTypes(in);
    for (const CMediaType& mt : inTypes)
        if (attempt(&mt)) return true;
    // Pins that list no types may still agree on one between themselves.
    return outTypes.empty() && inTypes.empty() && attempt(nullptr);
}

std::vector<ComPtr<IBaseFilter>> GraphConnector::FiltersInGraph() {
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> enumerator;
    if (FAILED(graph_->EnumFilters(enumerator.GetAddressOf()))) return filters;
    ComPtr<IBaseFilter> filter;
    while (enumerator->Next(1, filter.GetAddressOf(), nullptr) == S_OK) filters.push_back(filter);
    return filters;
}

std::vector<ComPtr<IMoniker>> GraphConnector::RegisteredCandidates(IPin* out) {
    std::vector<GUID> types;
    for (const CMediaType& mt : PinMediaTypes(out)) {
        types.push_back(mt.majortype);
        types.push_back(mt.subtype);
    }
    const auto [cached, isNew] = candidates_.try_emplace(types);
    std::vector<ComPtr<IMoniker>>& candidates = cached->second;
    if (!isNew) return candidates;
    if (!mapper_) mapper_ = new FilterMapper(nullptr);
    ComPtr<IEnumMoniker> enumerator;
    if (FAILED(mapper_->EnumMatchingFilters(enumerator.GetAddressOf(), 0, FALSE, MERIT_DO_NOT_USE + 1, TRUE,
                                            static_cast<DWORD>(types.size() / 2), types.data(), nullptr, nullptr,
                                            FALSE, FALSE, 0, nullptr, nullptr, nullptr)) ||
        !enumerator)
        return candidates;
    ComPtr<IMoniker> moniker;
    while (enumerator->Next(1, moniker.GetAddressOf(), nullptr) == S_OK) candidates.push_back(moniker);
    return candidates;
}

void GraphConnector::RollBack(Mark mark) {
    while (connections_.size() > mark.connections) {
        DisconnectBothEnds(connections_.back().Get());
        connections_.pop_back();
    }
    while (added_.size() > mark.filters) {
        graph_->RemoveFilter(added_.back().Get());
        added_.pop_back();
    }
    partial_ = mark.partial;
}

}  // namespace kvmedia
