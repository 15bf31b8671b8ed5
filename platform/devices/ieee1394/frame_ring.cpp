#include "platform/devices/ieee1394/frame_ring.h"

#include <algorithm>
#include <cstring>

FrameRing::FrameRing(std::size_t slots) : slots_(std::max<std::size_t>(slots, 2)) {
    for (Slot& slot : slots_) slot.bytes.resize(kSlotBytes);
}

bool FrameRing::Push(std::span<const std::uint8_t> frame) {
    if (frame.size() > kSlotBytes) return false;
    std::size_t tail = 0;
    {
        std::scoped_lock lock(mutex_);
        if (count_ == slots_.size()) {
            ++overflows_;
            return false;
        }
        tail = (head_ + count_) % slots_.size();
    }
    // The consumer never touches an unpublished slot: the copy needs no lock.
    Slot& slot = slots_[tail];
    std::memcpy(slot.bytes.data(), frame.data(), frame.size());
    slot.size = frame.size();
    {
        std::scoped_lock lock(mutex_);
        ++count_;
    }
    ready_.notify_one();
    return true;
}

std::span<const std::uint8_t> FrameRing::Front(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [this] { return count_ > 0; })) return {};
    const Slot& slot = slots_[head_];
    return {slot.bytes.data(), slot.size};
}

void FrameRing::Release() {
    std::scoped_lock lock(mutex_);
    if (count_ == 0) return;
    head_ = (head_ + 1) % slots_.size();
    --count_;
}

void FrameRing::Clear() {
    std::scoped_lock lock(mutex_);
    head_ = (head_ + count_) % slots_.size();
    count_ = 0;
}

std::int64_t FrameRing::Overflows() const {
    std::scoped_lock lock(mutex_);
    return overflows_;
}
