#include "dvshared/frame_queue.h"

#include <new>
#include <utility>

FrameQueue::~FrameQueue() = default;

bool FrameQueue::Append(ItemPtr item) {
    std::scoped_lock hold(lock_);
    try {
        items_.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool FrameQueue::PushEndOfFile() {
    try {
        auto item = std::make_shared<FrameQueueItem>();
        item->kind = QueueEndOfFile;
        return Append(std::move(item));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool FrameQueue::PushNewFile(const bstr_t& folder, const bstr_t& name) {
    try {
        auto item = std::make_shared<FrameQueueItem>();
        item->kind = QueueNewFile;
        item->name = name;
        item->folder = folder;
        return Append(std::move(item));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool FrameQueue::PushFrame(const DvFrameReader& frame) {
    // The copy is made before taking the lock, so the live capture thread
    // holds the lock only for the list update.
    try {
        auto item = std::make_shared<FrameQueueItem>();
        item->kind = QueueFrame;
        item->frame = std::make_unique<DvFrameReader>();
        if (!item->frame->CopyFrom(frame)) return false;
        return Append(std::move(item));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool FrameQueue::HasItems() const {
    std::scoped_lock hold(lock_);
    return !items_.empty();
}

std::uint32_t FrameQueue::Count() const {
    std::scoped_lock hold(lock_);
    return static_cast<std::uint32_t>(items_.size());
}

bool FrameQueue::TakeFirst(ItemPtr& item, bool keep) {
    std::scoped_lock hold(lock_);
    if (items_.empty()) {
        item.reset();
        return false;
    }
    if (keep) {
        item = items_.front();
    } else {
        item = std::move(items_.front());
        items_.pop_front();
    }
    return true;
}

bool FrameQueue::RemoveFirstIf(const ItemPtr& expected) {
    std::scoped_lock hold(lock_);
    if (!expected || items_.empty() || items_.front() != expected) return false;
    items_.pop_front();
    return true;
}

void FrameQueue::ClearAll() {
    std::deque<ItemPtr> removed;
    {
        std::scoped_lock hold(lock_);
        removed.swap(items_);
    }
    // Frames are freed outside the lock so the capture thread never waits for it.
}
