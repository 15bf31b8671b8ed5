#pragma once
// RelaySinkFilter: the filter part of the frame server object. It has one
// pin, the input pin, and answers IRelaySink by working on that pin's scene
// state. Stop and pause are the base behaviour.
#include "filters/relaysink/irelaysink.h"
#include "platform/media/base/basefilter.h"

class RelaySinkInputPin;

class RelaySinkFilter final : public CBaseFilter, public IRelaySink {
public:
    // owner: the frame server object's controlling IUnknown; filterLock: its filter lock.
    RelaySinkFilter(IUnknown* owner, CCritSec* filterLock);

    DECLARE_IUNKNOWN

    // Called once by the owning object, right after it made the pin.
    void SetPin(RelaySinkInputPin* pin) { pin_ = pin; }

    CBasePin* GetPin(int n) override;
    int GetPinCount() override;

    // IRelaySink; program threads. Each holds the filter lock for its whole
    // call; the scene state takes its own lock inside. Null out-pointers give E_POINTER.
    HRESULT SetFolder(const bstr_t& folder) override;
    HRESULT SetFilePrefix(const bstr_t& prefix) override;
    HRESULT SetSceneThreshold(std::int32_t seconds) override;
    HRESULT SetCaptureMode(std::int32_t mode) override;
    HRESULT GetRecording(std::uint8_t* recording) override;
    HRESULT GetWide(std::uint8_t* wide) override;
    HRESULT GetFileName(bstr_t* name) override;
    HRESULT GetFolder(bstr_t* folder) override;
    HRESULT GetNextEvent(RelayEvent** event) override;
    HRESULT GetFrameCount(std::int64_t* count) override;
    HRESULT GetQueue(FrameQueue** queue) override;

private:
    RelaySinkInputPin* pin_ = nullptr;  // owned by the frame server object
};
