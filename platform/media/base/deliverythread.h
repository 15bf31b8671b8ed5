#pragma once
// DeliveryThread: passes an output pin's samples, ends of stream and new
// segments downstream in order on a thread of its own, so the thread that
// makes them never waits on the filter downstream. A filter with several
// outputs fed by one thread needs it: a paused renderer holds the thread that
// delivers to it until the graph runs, and the other outputs must still get
// their first sample for the pause to complete.
//
// The pin calls Start when it becomes active and Stop when it goes inactive
// (after the filters downstream have stopped, as the graph orders it, so no
// delivery is held there). A flush drops what waits: BeginFlush passes the
// flush downstream at once, EndFlush once no delivery is under way.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/media/base/outputpin.h"

class DeliveryThread {
public:
    // The pin outlives this object.
    explicit DeliveryThread(CBaseOutputPin* pin);
    ~DeliveryThread();
    DeliveryThread(const DeliveryThread&) = delete;
    DeliveryThread& operator=(const DeliveryThread&) = delete;

    void Start();
    // Drops what waits and ends the thread.
    void Stop();

    // Queue the call. Receive answers the last delivery failure (once), so
    // the producer stops as it would have on a direct Deliver; S_FALSE while
    // flushing or stopped.
    HRESULT Receive(IMediaSample* sample);
    void EndOfStream();
    void NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    void BeginFlush();
    void EndFlush();

private:
    enum class Kind { Sample, EndOfStream, NewSegment };
    struct Item {
        Kind kind;
        ComPtr<IMediaSample> sample;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        double rate = 1.0;
    };
    void Push(Item item);
    void Loop();

    CBaseOutputPin* const pin_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<Item> items_;   // guarded by lock_
    bool running_ = false;     // guarded by lock_: started and not stopped
    bool flushing_ = false;    // guarded by lock_
    bool busy_ = false;        // guarded by lock_: an item is being passed downstream
    HRESULT failed_ = S_OK;    // guarded by lock_: the last delivery failure not yet reported
    std::thread thread_;       // started and joined by the pin's state changes
};
