#pragma once
// RelaySinkInputPin: the frame server's only pin, "Input". It takes the
// interleaved DV stream of the capture graph and hands every frame to its
// SceneSplitter, which holds the scene state, the relay queue and the events.
#include "filters/relaysink/scene_splitter.h"
#include "platform/media/base/renderedinputpin.h"

class RelaySinkInputPin final : public CRenderedInputPin {
public:
    // filterLock is the filter's lock (the pin's object lock); receiveLock
    // serialises the sample, end-of-stream and deactivation paths. Both
    // belong to the owning object and outlive the pin.
    RelaySinkInputPin(CBaseFilter* filter, CCritSec* filterLock, CCritSec* receiveLock, HRESULT* phr);

    SceneSplitter& Scenes() { return scenes_; }

    // Connection thread: DV (dvsd) with a DVINFO format; any major type.
    HRESULT CheckMediaType(const CMediaType* mt) override;
    // Streaming thread: the per-frame decision. S_OK, the base refusal
    // (stopped, flushing, after end of stream) or the error of the buffer query.
    HRESULT Receive(IMediaSample* sample) override;
    // The frame server never waits for its consumers.
    HRESULT ReceiveCanBlock() override;
    // Streaming thread: recording ends with the stream, then the completion notice.
    HRESULT EndOfStream() override;
    // Filter lock held (graph pause from stopped): samples are taken from now on.
    HRESULT Active() override;
    // Filter lock held (graph stop): recording ends with the stream.
    HRESULT Inactive() override;

private:
    CCritSec* const receiveLock_;
    // Between Active and Inactive; guarded by receiveLock_. The filter's own
    // state turns to stopped only after every pin's Inactive, so a sample
    // that waited for the receive lock during the stop must be refused here,
    // or it would start the next stream before the graph has stopped.
    bool active_ = false;
    SceneSplitter scenes_;
};
