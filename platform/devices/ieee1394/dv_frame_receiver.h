#pragma once
// DvFrameReceiver: whole DV frames off one raw1394 handle through
// libiec61883's frame assembler, on a thread of its own that polls the
// handle's descriptor and iterates it (never iterate without poll: on a
// handle without events the iteration blocks for ever).
//
// The assembler hands a frame over when the next frame's first packet
// arrives (so the last frame before the stream stops comes only when it
// starts again), skips packets until the first frame start, and leaves the
// previous frame's bytes in the holes of a frame that lost packets.
#include <functional>
#include <thread>

#include "platform/devices/ieee1394/fw_bus.h"

struct raw1394_handle;
struct iec61883_dv_fb;

class DvFrameReceiver {
public:
    DvFrameReceiver() = default;
    ~DvFrameReceiver() { Stop(); }
    DvFrameReceiver(const DvFrameReceiver&) = delete;
    DvFrameReceiver& operator=(const DvFrameReceiver&) = delete;

    // Receives on channel through handle, which only this receiver's thread
    // may use until Stop; onReset runs there when the handle sees a bus reset.
    // False when the library refuses.
    bool Start(raw1394_handle* handle, int channel, IDvLink::FrameCallback onFrame, std::function<void()> onReset);
    void Stop();

    // The handle's bus reset handler. libiec61883 owns the handle's user
    // data: the receiver is found through its receiver objects.
    static int OnBusReset(raw1394_handle* handle, unsigned int generation);

private:
    static int OnFrame(unsigned char* data, int len, int complete, void* self);
    void Run(std::stop_token stop);

    raw1394_handle* handle_ = nullptr;
    iec61883_dv_fb* frames_ = nullptr;
    IDvLink::FrameCallback onFrame_;
    std::function<void()> onReset_;
    std::jthread thread_;
};
