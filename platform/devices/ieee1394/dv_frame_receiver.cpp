#include "platform/devices/ieee1394/dv_frame_receiver.h"

#include <libiec61883/iec61883.h>
#include <libraw1394/raw1394.h>
#include <poll.h>

#include <cerrno>

namespace {

constexpr int kPollMs = 150;

}  // namespace

bool DvFrameReceiver::Start(raw1394_handle* handle, int channel, IDvLink::FrameCallback onFrame,
                            std::function<void()> onReset) {
    Stop();
    if (!handle) return false;
    onFrame_ = std::move(onFrame);
    onReset_ = std::move(onReset);
    frames_ = iec61883_dv_fb_init(handle, &DvFrameReceiver::OnFrame, this);
    if (!frames_) return false;
    raw1394_set_bus_reset_handler(handle, &DvFrameReceiver::OnBusReset);
    if (iec61883_dv_fb_start(frames_, channel) != 0) {
        iec61883_dv_fb_close(frames_);
        frames_ = nullptr;
        return false;
    }
    handle_ = handle;
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    return true;
}

void DvFrameReceiver::Stop() {
    thread_ = {};
    if (frames_) iec61883_dv_fb_close(frames_);
    frames_ = nullptr;
    handle_ = nullptr;
}

int DvFrameReceiver::OnFrame(unsigned char* data, int len, int complete, void* self) {
    auto* receiver = static_cast<DvFrameReceiver*>(self);
    if (len > 0) receiver->onFrame_({data, static_cast<std::size_t>(len)}, complete != 0);
    return 0;
}

int DvFrameReceiver::OnBusReset(raw1394_handle* handle, unsigned int generation) {
    raw1394_update_generation(handle, generation);
    auto* dv = static_cast<iec61883_dv_t>(raw1394_get_userdata(handle));
    auto* frames = dv ? static_cast<iec61883_dv_fb_t>(iec61883_dv_get_callback_data(dv)) : nullptr;
    auto* self = frames ? static_cast<DvFrameReceiver*>(iec61883_dv_fb_get_callback_data(frames)) : nullptr;
    if (self && self->onReset_) self->onReset_();
    return 0;
}

void DvFrameReceiver::Run(std::stop_token stop) {
    pollfd fd{raw1394_get_fd(handle_), POLLIN | POLLPRI, 0};
    while (!stop.stop_requested()) {
        const int ready = ::poll(&fd, 1, kPollMs);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0 && raw1394_loop_iterate(handle_) != 0 && errno != EAGAIN) break;
    }
}
