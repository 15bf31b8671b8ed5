#pragma once
// RelaySinkObject: the frame server, "Tarvik DV Frame Server". A composite
// COM object: the filter part (RelaySinkFilter with its IRelaySink), the
// input pin, a file-sink part (IFileSinkFilter, whose name nothing else
// uses) and, on first request, a seeking pass-through to the upstream filter.
//
// Locks, always taken in this order: the filter lock (IRelaySink calls,
// state changes, QueryInterface), the receive lock (the pin's sample,
// end-of-stream and deactivation paths), the scene state lock, then the
// queue's lock or the event lock.
#include <memory>

#include "filters/relaysink/relay_sink_filter.h"
#include "filters/relaysink/relay_sink_input_pin.h"
#include "platform/media/base/pospassthru.h"

class RelaySinkObject final : public CUnknown, public IFileSinkFilter {
public:
    // The factory template's creation function: E_OUTOFMEMORY when the
    // object, its filter or its pin cannot be allocated.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    ~RelaySinkObject() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFileSinkFilter. The media type given is ignored.
    HRESULT SetFileName(LPCOLESTR file, const AM_MEDIA_TYPE* mt) override;
    // A task-memory copy of the name, or null when none is set; mt, when
    // given, is zero but for the DV subtype and format type.
    HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) override;

private:
    RelaySinkObject(IUnknown* outer, HRESULT* phr);
    // The pass-through, made on first request; filter lock held.
    HRESULT GetPassThrough(REFIID riid, void** ppv);

    CCritSec filterLock_;
    CCritSec receiveLock_;
    // Destroyed in reverse: the pass-through refers to the pin, the pin to the filter.
    std::unique_ptr<RelaySinkFilter> filter_;
    std::unique_ptr<RelaySinkInputPin> pin_;
    std::unique_ptr<CPosPassThru> passThrough_;  // guarded by filterLock_
    bstr_t fileSinkName_;                        // guarded by filterLock_
};
