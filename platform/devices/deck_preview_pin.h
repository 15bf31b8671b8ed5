#pragma once
// DeckPreviewPin: the preview output (PIN_CATEGORY_PREVIEW). The monitor
// chain behind it decodes and shows every frame, which may take longer than
// a frame period; a camcorder does not wait for its monitor. So the preview
// hands its frames to a thread of its own: the player thread never waits on
// the preview, and a frame that finds the preview still busy is not shown
// (the capture output, on the player thread, loses nothing by it).
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/com/com_ptr.h"
#include "platform/devices/deck_output_pin.h"

class DeckPreviewPin : public DeckOutputPin {
public:
    DeckPreviewPin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr, bool is625, LONG frameBytes);
    ~DeckPreviewPin() override;

    HRESULT Active() override;
    HRESULT Inactive() override;

protected:
    bool Send(IMediaSample* sample) override;

private:
    void DeliverWaiting();
    void StopDelivery();

    static constexpr std::size_t kMaxWaiting = 2;

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<ComPtr<IMediaSample>> waiting_;  // guarded by lock_
    bool delivering_ = false;                   // guarded by lock_
    std::thread thread_;
};
