#pragma once
// GraphEventQueue: the events a graph holds for the application, with the
// event handle that is set while any wait and the notify window that is told
// about them. Filters add events from their streaming threads; the
// application takes them on its own thread.
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/media/base/event.h"
#include "platform/media/control.h"

namespace kvmedia {

class GraphEventQueue {
public:
    // Queues an event; posts to the notify window when the queue was empty.
    void Add(LONG code, LONG_PTR param1, LONG_PTR param2);
    // The oldest event; E_ABORT when none arrives within msTimeout (INFINITE: -1).
    // Posts again when more are waiting after it.
    HRESULT Take(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout);
    // Manual-reset: set while events wait.
    HEVENT Handle() { return waiting_.Handle(); }

    void SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData);
    void SetNotifyFlags(LONG flags);
    LONG NotifyFlags();

    // Completion (EC_COMPLETE, EC_ERRORABORT, EC_USERABORT) as queued since the last ResetCompletion.
    HRESULT WaitForCompletion(LONG msTimeout, LONG* code);
    void ResetCompletion();

private:
    struct Event {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };
    struct Notification {
        OAHWND window = 0;
        LONG message = 0;
        LONG_PTR instanceData = 0;
    };

    // The window to post to now, or none; called with mutex_ held.
    Notification NotificationTarget() const;
    static void Post(const Notification& notification);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Event> events_;   // guarded by mutex_
    Notification notify_;        // guarded by mutex_
    LONG notifyFlags_ = 0;       // guarded by mutex_
    LONG completion_ = 0;        // guarded by mutex_; 0 while not complete
    CAMEvent waiting_{true};     // set exactly while events_ is not empty
};

}  // namespace kvmedia
