#include "filters/relaysink/relay_event_list.h"

#include <new>

void RelayEventList::Append(std::int32_t code, const bstr_t& fileName, const bstr_t& folder) {
    try {
        auto event = std::make_unique<RelayEvent>(RelayEvent{code, fileName, folder});
        std::scoped_lock hold(lock_);
        events_.push_back(std::move(event));
    } catch (const std::bad_alloc&) {
    }
}

std::unique_ptr<RelayEvent> RelayEventList::TakeOldest() {
    std::scoped_lock hold(lock_);
    if (events_.empty()) return nullptr;
    auto event = std::move(events_.front());
    events_.pop_front();
    return event;
}
