#include "platform/media/base/deliverythread.h"

DeliveryThread::DeliveryThread(CBaseOutputPin* pin) : pin_(pin) {}

DeliveryThread::~DeliveryThread() { Stop(); }

void DeliveryThread::Start() {
    std::scoped_lock lock(lock_);
    if (running_) return;
    running_ = true;
    flushing_ = false;
    failed_ = S_OK;
    thread_ = std::thread([this] { Loop(); });
}

void DeliveryThread::Stop() {
    {
        std::scoped_lock lock(lock_);
        running_ = false;
        items_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void DeliveryThread::Push(Item item) {
    {
        std::scoped_lock lock(lock_);
        if (!running_ || flushing_) return;
        items_.push_back(std::move(item));
    }
    changed_.notify_all();
}

HRESULT DeliveryThread::Receive(IMediaSample* sample) {
    {
        std::scoped_lock lock(lock_);
        if (FAILED(failed_)) return std::exchange(failed_, S_OK);
        if (!running_ || flushing_) return S_FALSE;
    }
    Push({Kind::Sample, ComPtr<IMediaSample>(sample)});
    return S_OK;
}

void DeliveryThread::EndOfStream() { Push({Kind::EndOfStream, nullptr}); }

void DeliveryThread::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    Push({Kind::NewSegment, nullptr, start, stop, rate});
}

void DeliveryThread::BeginFlush() {
    {
        std::scoped_lock lock(lock_);
        flushing_ = true;
        items_.clear();
    }
    // Releases a delivery held downstream.
    pin_->CBaseOutputPin::DeliverBeginFlush();
}

void DeliveryThread::EndFlush() {
    {
        std::unique_lock lock(lock_);
        changed_.wait(lock, [this] { return !busy_; });
        items_.clear();
        failed_ = S_OK;
    }
    pin_->CBaseOutputPin::DeliverEndFlush();
    std::scoped_lock lock(lock_);
    flushing_ = false;
}

void DeliveryThread::Loop() {
    std::unique_lock lock(lock_);
    for (;;) {
        changed_.wait(lock, [this] { return !running_ || !items_.empty(); });
        if (!running_) return;
        Item item = std::move(items_.front());
        items_.pop_front();
        busy_ = true;
        lock.unlock();
        HRESULT hr = S_OK;
        switch (item.kind) {
            case Kind::Sample: hr = pin_->CBaseOutputPin::Deliver(item.sample.Get()); break;
            case Kind::EndOfStream: pin_->CBaseOutputPin::DeliverEndOfStream(); break;
            case Kind::NewSegment:
                pin_->CBaseOutputPin::DeliverNewSegment(item.start, item.stop, item.rate);
                break;
        }
        item.sample.Reset();
        lock.lock();
        busy_ = false;
        if (FAILED(hr)) failed_ = hr;
        changed_.notify_all();
    }
}
