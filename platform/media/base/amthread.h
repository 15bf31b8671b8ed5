#pragma once
// CAMThread: a worker thread driven by commands. The controlling thread sends
// a command with CallWorker and waits for the worker's Reply; the worker picks
// commands up with GetRequest (blocking) or CheckRequest (polling).
#include <mutex>
#include <thread>

#include "platform/media/base/event.h"

class CAMThread {
public:
    CAMThread() = default;
    // Joins the thread if it still runs; the derived class must have made
    // ThreadProc return by then (its members are already gone here).
    virtual ~CAMThread();
    CAMThread(const CAMThread&) = delete;
    CAMThread& operator=(const CAMThread&) = delete;

    // Starts ThreadProc on a new thread; false when one already runs.
    bool Create();
    bool ThreadExists() const { return worker_.joinable(); }
    // Waits for ThreadProc to return.
    void Close();

    // Controlling thread: sends a command and returns the worker's reply.
    // Calls from several threads are served one at a time.
    DWORD CallWorker(DWORD request);

    // Worker thread: waits for the next command. The command stays pending
    // (GetRequest and CheckRequest see it again) until the worker replies.
    DWORD GetRequest();
    // Worker thread: looks for a pending command without blocking; false when none waits.
    bool CheckRequest(DWORD* request);
    // Worker thread: answers the pending command.
    void Reply(DWORD reply);

protected:
    // Required: the worker's body, run on the new thread.
    virtual DWORD ThreadProc() = 0;

private:
    std::mutex callLock_;        // one CallWorker at a time
    CAMEvent requestSent_{true};  // manual reset: a command waits for its reply
    CAMEvent replyReady_;        // auto-reset: the worker answered
    DWORD request_ = 0;          // written before requestSent_ is set, read after it
    DWORD reply_ = 0;            // written before replyReady_ is set, read after it
    std::thread worker_;         // controlling thread only
};
