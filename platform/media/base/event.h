#pragma once
// CAMEvent: the event object the framework signals and waits on (clock
// advises, state changes, the event queue). An HEVENT is the address of one.
#include <condition_variable>
#include <mutex>

#include "platform/media/strmif.h"

class CAMEvent {
public:
    // A manual-reset event stays set until Reset; an auto-reset one wakes one waiter and clears.
    explicit CAMEvent(bool manualReset = false);
    CAMEvent(const CAMEvent&) = delete;
    CAMEvent& operator=(const CAMEvent&) = delete;

    void Set();
    void Reset();
    // True when the event was set within the time (INFINITE waits for ever).
    bool Wait(DWORD milliseconds = INFINITE);
    bool Check() { return Wait(0); }

    HEVENT Handle() { return reinterpret_cast<HEVENT>(this); }
    static CAMEvent* FromHandle(HEVENT handle) { return reinterpret_cast<CAMEvent*>(handle); }

private:
    const bool manualReset_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;  // guarded by mutex_
};
