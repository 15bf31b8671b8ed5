#pragma once
// CaptureGraphBuilder (CLSID_CaptureGraphBuilder2): builds and controls
// capture graphs on top of a graph manager. Pins are chosen by category
// (PIN_CATEGORY_CAPTURE, PIN_CATEGORY_PREVIEW, read through the pin's
// IKsPropertySet) and by media type (the major type or subtype of a type the
// pin offers).
#include <mutex>

#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvmedia {

class CaptureGraphBuilder final : public CUnknown, public ICaptureGraphBuilder2 {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    explicit CaptureGraphBuilder(IUnknown* outer);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // E_UNEXPECTED when a graph is already set.
    HRESULT SetFiltergraph(IGraphBuilder* graph) override;
    // Makes a graph manager when none was set.
    HRESULT GetFiltergraph(IGraphBuilder** graph) override;
    HRESULT SetOutputFileName(const GUID* type, LPCOLESTR file, IBaseFilter** mux, IFileSinkFilter** sink) override;
    // The filter itself, then its pins of the category and type, then the
    // filters downstream of it, then those upstream.
    HRESULT FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter, REFIID riid,
                          void** ppv) override;
    // The source's unconnected output pin of that category and type, through
    // the intermediate filter if given, into the sink if given, else rendered.
    // On failure the graph is left as it was.
    HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source, IBaseFilter* intermediate,
                         IBaseFilter* sink) override;
    // IAMStreamControl::StartAt(start, startCookie) and StopAt(stop, FALSE,
    // stopCookie) on every output pin of that category and type, of the filter
    // or (filter null) of every filter in the graph. start pointing to
    // MAXLONGLONG switches the stream off; start null (now) with stop pointing
    // to MAXLONGLONG (never) switches it on.
    HRESULT ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter, REFERENCE_TIME* start,
                          REFERENCE_TIME* stop, WORD startCookie, WORD stopCookie) override;
    HRESULT AllocCapFile(LPCOLESTR file, ULONGLONG size) override;
    HRESULT CopyCaptureFile(LPOLESTR oldFile, LPOLESTR newFile, int allowEscAbort,
                            IAMCopyCaptureFileProgress* callback) override;
    // source is a filter or a pin; VFW_E_NOT_FOUND when no pin matches.
    HRESULT FindPin(IUnknown* source, PIN_DIRECTION dir, const GUID* category, const GUID* type, BOOL unconnected,
                    int index, IPin** pin) override;

private:
    ComPtr<IGraphBuilder> Graph();

    std::mutex mutex_;
    ComPtr<IGraphBuilder> graph_;  // guarded by mutex_
};

}  // namespace kvmedia
