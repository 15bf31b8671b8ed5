#pragma once
// FrameQueue: carries recorded DV frames and file boundaries from the frame
// server (the only one that appends) to the frame client, which takes the
// frames, and to the program, which takes the file boundaries.
//
// The queue lives in the frame server; the frame client and the program work
// on it through its address, each with its own compiled copy of this code.
//
// Ownership. Items are made by the Push operations and freed when their last
// reference goes, together with their frame copy and strings. TakeFirst with
// keep hands out a shared reference to the first item, which stays valid
// while the caller holds it even if ClearAll or another taker removes it
// meanwhile; without keep it removes the item and the caller's reference is
// the queue's. Items are read-only once queued, so peeked items can be read
// by several threads.
//
// Each taker peeks with keep and removes only the kinds it handles, with
// RemoveFirstIf, so that a boundary stays first until the program acts on it
// and no taker ever removes an item it has not looked at.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "dvshared/frame_queue_item.h"

class FrameQueue {
public:
    using ItemPtr = std::shared_ptr<const FrameQueueItem>;

    FrameQueue() = default;
    virtual ~FrameQueue();
    FrameQueue(const FrameQueue&) = delete;
    FrameQueue& operator=(const FrameQueue&) = delete;

    // Append at the tail. They return false only when memory for the item
    // (or the frame copy) cannot be obtained; the queue is then unchanged.
    bool PushEndOfFile();
    bool PushNewFile(const bstr_t& folder, const bstr_t& name);
    // Queues a private copy of the frame's bytes; later changes of the
    // caller's buffer do not reach the queue.
    bool PushFrame(const DvFrameReader& frame);

    bool HasItems() const;
    std::uint32_t Count() const;

    // The first item, or null and false when the queue is empty. Unless keep
    // is set, the item is removed from the queue and now belongs to the caller.
    bool TakeFirst(ItemPtr& item, bool keep);
    // Removes the first item if it is expected (an item peeked with keep).
    // False when it is no longer first, e.g. after a ClearAll.
    bool RemoveFirstIf(const ItemPtr& expected);
    // Removes every item; each is freed once no taker holds it any more.
    void ClearAll();

private:
    bool Append(ItemPtr item);

    mutable std::mutex lock_;
    std::deque<ItemPtr> items_;  // guarded by lock_; first = oldest
};
