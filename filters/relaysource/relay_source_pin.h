#pragma once
// RelaySourcePin: the frame client's output pin, "Output". Its streaming
// thread takes the frames from the head of the frame server's queue and
// delivers them as DV samples time-stamped from zero at exactly one frame
// duration apart. A file boundary at the head ends the stream; the boundary
// stays for the program, which restarts the graph for the next file.
//
// An empty queue does not end the stream: while the tape pauses during a
// capture no frames come, and a stream ended then would never start again
// for the frames that follow, since the program restarts the file graph only
// at a file boundary. The wait ends when a frame or a boundary arrives, or
// when the graph stops.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "dvshared/dv_frame_info.h"
#include "dvshared/frame_queue.h"
#include "platform/media/base/sourcestream.h"

class RelaySourcePin final : public CSourceStream {
public:
    RelaySourcePin(HRESULT* phr, CSource* filter);

    // Program thread, graph stopped (see IRelaySource).
    void SetIs625(bool is625) { is625_ = is625; }
    void SetQueue(FrameQueue* queue) { queue_ = queue; }

    // Connection thread, filter lock held: the one DV type, with the DVINFO
    // block of the current system.
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    // One buffer of a whole frame of the current system.
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // Streaming thread: each run starts at stream time zero with a discontinuity.
    HRESULT OnThreadCreate() override;
    // Streaming thread: the next frame of the queue, waiting for one as long
    // as the graph runs; S_FALSE at a file boundary or a stop. A frame that the sample
    // cannot hold whole (another system than negotiated, or a queued copy
    // shorter than its own frame size) is dropped and the next one taken:
    // a sample never goes out without the whole frame.
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    // The first queued item, waiting for one; null when a stop is on its way.
    FrameQueue::ItemPtr WaitForFirstItem(FrameQueue& queue);
    // Copies the frame into the sample; false when the sample cannot hold it.
    HRESULT CopyFrame(const DvFrameReader& frame, IMediaSample* sample, bool* copied);

    // Set by the program while stopped, read by the streaming thread.
    std::atomic<bool> is625_{true};
    std::atomic<FrameQueue*> queue_{nullptr};

    std::mutex pinLock_;  // the pin lock
    // Guarded by pinLock_.
    REFERENCE_TIME streamTime_ = 0;      // start time of the next sample, 100-ns units
    REFERENCE_TIME frameDuration_ = 0;   // of the system this run started with
    bool discontinuityPending_ = true;   // mark the next sample as a discontinuity
    DvFrameInfo info_{};                 // record of the frame being delivered
};
