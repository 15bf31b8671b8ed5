#include "platform/media/graph/graph_event_queue.h"

#include <chrono>

#include "platform/media/evcode.h"
#include "platform/media/graph/graph_notify.h"

namespace kvmedia {

namespace {
bool EndsPlayback(LONG code) { return code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT; }

// Waits on the condition for msTimeout (negative: for ever); true when ready() held in time.
template <class Ready>
bool WaitFor(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, LONG msTimeout, Ready ready) {
    if (msTimeout < 0) {
        changed.wait(lock, ready);
        return true;
    }
    return changed.wait_for(lock, std::chrono::milliseconds(msTimeout), ready);
}
}  // namespace

void GraphEventQueue::Add(LONG code, LONG_PTR param1, LONG_PTR param2) {
    Notification target;
    {
        std::scoped_lock lock(mutex_);
        const bool wasEmpty = events_.empty();
        events_.push_back({code, param1, param2});
        if (EndsPlayback(code) && completion_ == 0) completion_ = code;
        if (wasEmpty) {
            waiting_.Set();
            target = NotificationTarget();
        }
    }
    changed_.notify_all();
    Post(target);
}

HRESULT GraphEventQueue::Take(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) {
    if (!code || !param1 || !param2) return E_POINTER;
    Notification target;
    {
        std::unique_lock lock(mutex_);
        if (!WaitFor(changed_, lock, msTimeout, [this] { return !events_.empty(); })) {
            *code = 0;
            *param1 = *param2 = 0;
            return E_ABORT;
        }
        const Event event = events_.front();
        events_.pop_front();
        *code = event.code;
        *param1 = event.param1;
        *param2 = event.param2;
        if (events_.empty()) waiting_.Reset();
        else target = NotificationTarget();
    }
    Post(target);
    return S_OK;
}

void GraphEventQueue::SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) {
    Notification target;
    {
        std::scoped_lock lock(mutex_);
        notify_ = {window, message, instanceData};
        // Events queued before the window was named still deserve a message.
        if (!events_.empty()) target = NotificationTarget();
    }
    Post(target);
}

void GraphEventQueue::SetNotifyFlags(LONG flags) {
    std::scoped_lock lock(mutex_);
    notifyFlags_ = flags;
}

LONG GraphEventQueue::NotifyFlags() {
    std::scoped_lock lock(mutex_);
    return notifyFlags_;
}

HRESULT GraphEventQueue::WaitForCompletion(LONG msTimeout, LONG* code) {
    if (!code) return E_POINTER;
    std::unique_lock lock(mutex_);
    const bool complete = WaitFor(changed_, lock, msTimeout, [this] { return completion_ != 0; });
    *code = completion_;
    return complete ? S_OK : E_ABORT;
}

void GraphEventQueue::ResetCompletion() {
    std::scoped_lock lock(mutex_);
    completion_ = 0;
}

GraphEventQueue::Notification GraphEventQueue::NotificationTarget() const {
    if (notify_.window == 0 || (notifyFlags_ & AM_MEDIAEVENT_NONOTIFY)) return {};
    return notify_;
}

void GraphEventQueue::Post(const Notification& notification) {
    if (notification.window != 0)
        PostGraphNotify(notification.window, notification.message, 0, static_cast<LPARAM>(notification.instanceData));
}

}  // namespace kvmedia
