#include "platform/devices/deck_preview_pin.h"

#include "platform/media/uuids.h"

DeckPreviewPin::DeckPreviewPin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr, bool is625, LONG frameBytes)
    : DeckOutputPin("Deck preview pin", filter, lock, phr, u"Preview", PIN_CATEGORY_PREVIEW, is625, frameBytes) {}

DeckPreviewPin::~DeckPreviewPin() { StopDelivery(); }

HRESULT DeckPreviewPin::Active() {
    const HRESULT hr = DeckOutputPin::Active();
    if (FAILED(hr)) return hr;
    StopDelivery();
    {
        std::scoped_lock guard(lock_);
        delivering_ = true;
    }
    thread_ = std::thread([this] { DeliverWaiting(); });
    return hr;
}

HRESULT DeckPreviewPin::Inactive() {
    // Decommitting first wakes a delivery that waits for a buffer downstream.
    {
        std::scoped_lock guard(lock_);
        delivering_ = false;
        waiting_.clear();
    }
    wake_.notify_all();
    const HRESULT hr = DeckOutputPin::Inactive();
    StopDelivery();
    return hr;
}

void DeckPreviewPin::StopDelivery() {
    {
        std::scoped_lock guard(lock_);
        delivering_ = false;
        waiting_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool DeckPreviewPin::Send(IMediaSample* sample) {
    std::scoped_lock guard(lock_);
    if (!delivering_) return true;
    if (waiting_.size() >= kMaxWaiting) return true;  // still busy: this frame is not shown
    waiting_.emplace_back(sample);
    wake_.notify_one();
    return true;
}

void DeckPreviewPin::DeliverWaiting() {
    std::unique_lock guard(lock_);
    for (;;) {
        wake_.wait(guard, [this] { return !delivering_ || !waiting_.empty(); });
        if (!delivering_) return;
        ComPtr<IMediaSample> sample = std::move(waiting_.front());
        waiting_.pop_front();
        guard.unlock();
        Deliver(sample.Get());
        sample = nullptr;
        guard.lock();
    }
}
