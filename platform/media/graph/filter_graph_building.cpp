// FilterGraph: IGraphBuilder (connecting through other filters, rendering, files).
#include <filesystem>

#include "platform/com/objbase.h"
#include "platform/com/utf.h"
#include "platform/media/graph/filter_graph.h"
#include "platform/media/graph/graph_connector.h"
#include "platform/media/graph/pin_utils.h"
#include "platform/media/uuids.h"

namespace kvmedia {

namespace {
// Where a file source may come from, in order of preference: a file reader
// that the AVI splitter then parses, or an AVI source that does both. Both
// are built-in platform classes; until one exists, files cannot be played.
constexpr const CLSID* kFileSources[] = {&CLSID_AsyncReader, &CLSID_AviSplitter};
}  // namespace

HRESULT FilterGraph::Connect(IPin* out, IPin* in) {
    std::scoped_lock lock(graphLock_);
    if (const HRESULT hr = CheckPinsInGraph(out, in); FAILED(hr)) return hr;
    if (ConnectedPeer(out) || ConnectedPeer(in)) return VFW_E_ALREADY_CONNECTED;
    return GraphConnector(static_cast<IGraphBuilder*>(this)).Connect(out, in);
}

HRESULT FilterGraph::Render(IPin* out) {
    if (!out) return E_POINTER;
    std::scoped_lock lock(graphLock_);
    const ComPtr<IBaseFilter> owner = PinOwner(out);
    if (!owner || !Contains(owner.Get())) return VFW_E_NOT_IN_GRAPH;
    if (!PinHasDirection(out, PINDIR_OUTPUT)) return VFW_E_INVALID_DIRECTION;
    if (ConnectedPeer(out)) return VFW_E_ALREADY_CONNECTED;
    return GraphConnector(static_cast<IGraphBuilder*>(this)).Render(out);
}

HRESULT FilterGraph::AddSourceFilter(LPCWSTR file, LPCWSTR filterName, IBaseFilter** filter) {
    if (!filter) return E_POINTER;
    *filter = nullptr;
    if (!file) return E_POINTER;
    std::error_code error;
    if (!std::filesystem::is_regular_file(Utf16ToUtf8(file), error)) return VFW_E_NOT_FOUND;

    ComPtr<IBaseFilter> source;
    ComPtr<IFileSourceFilter> fileSource;
    for (const CLSID* clsid : kFileSources) {
        if (SUCCEEDED(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, source.GetVoidAddress())) &&
            SUCCEEDED(source.As(&fileSource)))
            break;
        source.Reset();
    }
    if (!fileSource) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;

    std::scoped_lock lock(graphLock_);
    if (const HRESULT hr = AddFilter(source.Get(), filterName ? filterName : file); FAILED(hr)) return hr;
    if (const HRESULT hr = fileSource->Load(file, nullptr); FAILED(hr)) {
        RemoveFilter(source.Get());
        return hr;
    }
    return source.CopyTo(filter);
}

HRESULT FilterGraph::RenderFile(LPCWSTR file, LPCWSTR) {
    std::scoped_lock lock(graphLock_);
    ComPtr<IBaseFilter> source;
    if (const HRESULT hr = AddSourceFilter(file, file, source.GetAddressOf()); FAILED(hr)) return hr;
    bool rendered = false, missed = false;
    for (auto& pin : FilterPins(source.Get(), PINDIR_OUTPUT)) {
        const HRESULT hr = Render(pin.Get());
        if (hr == S_OK) rendered = true;
        else if (SUCCEEDED(hr)) rendered = missed = true;
        else missed = true;
    }
    if (!rendered) {
        RemoveFilter(source.Get());
        return VFW_E_UNSUPPORTED_STREAM;
    }
    return missed ? VFW_S_PARTIAL_RENDER : S_OK;
}

// Building runs synchronously and keeps no log.
HRESULT FilterGraph::SetLogFile(DWORD_PTR) { return S_OK; }
HRESULT FilterGraph::Abort() { return S_OK; }
HRESULT FilterGraph::ShouldOperationContinue() { return S_OK; }

}  // namespace kvmedia
