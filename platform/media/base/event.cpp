#include "platform/media/base/event.h"

#include <chrono>

CAMEvent::CAMEvent(bool manualReset) : manualReset_(manualReset) {}

void CAMEvent::Set() {
    {
        std::scoped_lock lock(mutex_);
        signalled_ = true;
    }
    if (manualReset_) changed_.notify_all();
    else changed_.notify_one();
}

void CAMEvent::Reset() {
    std::scoped_lock lock(mutex_);
    signalled_ = false;
}

bool CAMEvent::Wait(DWORD milliseconds) {
    std::unique_lock lock(mutex_);
    const auto isSet = [this] { return signalled_; };
    if (milliseconds == 0) {
        // A poll (streaming threads check for commands once per sample): no timed wait.
        if (!signalled_) return false;
    } else if (milliseconds == INFINITE) {
        changed_.wait(lock, isSet);
    } else if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), isSet)) {
        return false;
    }
    if (!manualReset_) signalled_ = false;
    return true;
}
