#pragma once
// FrameRing: whole DV frames from the bus's receive thread to the deliverer,
// in slots allocated once. The receive thread must never wait (the kernel's
// receive buffer holds about 125 ms): Push copies outside the lock and a
// frame that finds every slot taken is lost and counted as an overflow.
//
// One producer and one consumer: the producer fills the slot after the last
// one published, the consumer reads the first published slot outside the
// lock and releases it with Release.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

class FrameRing {
public:
    static constexpr std::size_t kSlotBytes = 144000;  // the larger (625/50) frame

    explicit FrameRing(std::size_t slots);

    // Receive thread. False when the ring was full (counted) or the frame is
    // larger than a slot.
    bool Push(std::span<const std::uint8_t> frame);

    // Consumer: the oldest frame, once one is there within timeout; empty on
    // timeout. It stays valid until Release.
    std::span<const std::uint8_t> Front(std::chrono::milliseconds timeout);
    void Release();
    // Consumer: forgets every waiting frame.
    void Clear();

    std::int64_t Overflows() const;

private:
    struct Slot {
        std::vector<std::uint8_t> bytes;
        std::size_t size = 0;
    };
    std::vector<Slot> slots_;

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::size_t head_ = 0;          // guarded by mutex_; first published slot
    std::size_t count_ = 0;         // guarded by mutex_; published slots
    std::int64_t overflows_ = 0;    // guarded by mutex_
};
