#pragma once
// RelaySourceFilter: the frame client, "Tarvik DV Frame Client". The source
// of the program's file-writing graph: its one pin delivers the frames that
// the frame server queued, one file per stream run.
#include "filters/relaysource/irelaysource.h"
#include "platform/media/base/source.h"

class RelaySourcePin;

class RelaySourceFilter final : public CSource, public IRelaySource {
public:
    // The factory template's creation function: E_OUTOFMEMORY when the
    // filter or its pin cannot be allocated.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IRelaySource; program thread, graph stopped. No lock: the values are
    // atomic and only read by the streaming thread.
    HRESULT SetIs625(std::uint8_t is625) override;
    HRESULT SetQueue(FrameQueue* queue) override;

private:
    RelaySourceFilter(IUnknown* outer, HRESULT* phr);

    RelaySourcePin* pin_ = nullptr;  // owned by CSource
};
