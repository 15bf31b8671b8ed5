#pragma once
// RelayEventList: the frame server's events not yet taken by the program,
// oldest first. The list has no bound: events are few (a handful per scene)
// and the program takes them on every tick.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "filters/relaysink/irelaysink.h"

class RelayEventList {
public:
    // Any thread. An event that cannot be allocated is dropped: the
    // streaming thread must go on with the frames either way.
    void Append(std::int32_t code, const bstr_t& fileName, const bstr_t& folder);
    // Any thread: the oldest event, now the caller's, or null.
    std::unique_ptr<RelayEvent> TakeOldest();

private:
    std::mutex lock_;  // the event lock; innermost, taken after the state lock
    std::deque<std::unique_ptr<RelayEvent>> events_;  // guarded by lock_
};
