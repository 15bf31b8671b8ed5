#include "korvanta/core/settings_observer.h"

#include <algorithm>
#include <vector>

namespace {

// The process-wide observer list. The change counter moves with every
// registration and removal, so a broadcast knows when its position in the
// list may no longer be valid.
struct ObserverList {
    std::vector<SettingsObserver*> observers;
    std::uint64_t changes = 0;
    std::uint64_t nextSerial = 1;
};

ObserverList& Observers() {
    static ObserverList list;
    return list;
}

}  // namespace

SettingsObserver::SettingsObserver() : serial_(Observers().nextSerial++) {
    ObserverList& list = Observers();
    list.observers.push_back(this);
    ++list.changes;
}

SettingsObserver::~SettingsObserver() {
    ObserverList& list = Observers();
    std::erase(list.observers, this);
    ++list.changes;
}

void SettingsObserver::OnSettingChanged(SettingId) {}

void NotifySettingChanged(SettingId id) {
    ObserverList& list = Observers();
    // Each broadcast remembers whom it has called by serial, not by a mark on
    // the observer, so a broadcast started from inside OnSettingChanged does
    // not disturb the one that is running.
    std::vector<std::uint64_t> notified;
    std::size_t position = 0;
    while (position < list.observers.size()) {
        SettingsObserver* observer = list.observers[position];
        const std::uint64_t serial = observer->serial_;
        if (std::find(notified.begin(), notified.end(), serial) != notified.end()) {
            ++position;
            continue;
        }
        notified.push_back(serial);
        const std::uint64_t changesBefore = list.changes;
        observer->OnSettingChanged(id);
        // Windows opened or closed during the call moved the list: start over
        // from the head, skipping everyone already called.
        position = list.changes == changesBefore ? position + 1 : 0;
    }
}
