#include "platform/devices/device_change.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/devices/deck_config.h"

namespace {

// name -> display name (which carries the identifier, so a deck replaced
// under the same name reads as a removal and an arrival).
using DeckSet = std::map<std::string, std::string>;

class DeviceSources {
public:
    static DeviceSources& Instance() {
        static DeviceSources sources;
        return sources;
    }
    unsigned long Add(DeviceLister lister) {
        std::scoped_lock lock(mutex_);
        listers_.emplace(++lastId_, std::move(lister));
        return lastId_;
    }
    void Remove(unsigned long id) {
        std::scoped_lock lock(mutex_);
        listers_.erase(id);
    }
    void ListInto(DeckSet& devices) {
        std::scoped_lock lock(mutex_);
        for (const auto& [id, lister] : listers_) devices.merge(lister());
    }

private:
    std::mutex mutex_;
    unsigned long lastId_ = 0;                           // guarded by mutex_
    std::map<unsigned long, DeviceLister> listers_;      // guarded by mutex_
};

DeckSet ConfiguredDecks() {
    DeckSet decks;
    for (const DeckConfig& deck : deck_store::List()) decks.emplace(deck.name, DeckDisplayName(deck));
    DeviceSources::Instance().ListInto(decks);
    return decks;
}

class DeviceChangeWatcher {
public:
    static DeviceChangeWatcher& Instance() {
        static DeviceChangeWatcher watcher;
        return watcher;
    }

    unsigned long Subscribe(DeviceChangeCallback callback) {
        std::scoped_lock lock(mutex_);
        const unsigned long id = ++lastId_;
        callbacks_.emplace(id, std::move(callback));
        if (!thread_.joinable()) {
            known_ = ConfiguredDecks();
            thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
        }
        return id;
    }

    void Unsubscribe(unsigned long id) {
        bool onWatcher = false;
        {
            std::scoped_lock lock(mutex_);
            onWatcher = std::this_thread::get_id() == thread_.get_id();
        }
        std::jthread finished;  // joined at the end, outside the locks
        // Off the watcher thread, wait for a round of callbacks to end before
        // the subscriber's objects may go.
        std::unique_lock dispatch(dispatchMutex_, std::defer_lock);
        if (!onWatcher) dispatch.lock();
        std::scoped_lock lock(mutex_);
        callbacks_.erase(id);
        if (callbacks_.empty() && !onWatcher) finished = std::move(thread_);
    }

private:
    DeviceChangeWatcher() = default;

    void Run(std::stop_token stop) {
        std::mutex sleepMutex;
        std::condition_variable_any sleeper;
        while (!stop.stop_requested()) {
            {
                std::unique_lock sleepLock(sleepMutex);
                sleeper.wait_for(sleepLock, stop, kDeviceChangePollInterval, [] { return false; });
            }
            if (stop.stop_requested()) break;
            Report(ConfiguredDecks());
        }
    }

    void Report(const DeckSet& now) {
        std::scoped_lock dispatch(dispatchMutex_);
        DeckSet before;
        std::map<unsigned long, DeviceChangeCallback> callbacks;
        {
            std::scoped_lock lock(mutex_);
            before = std::exchange(known_, now);
            callbacks = callbacks_;
        }
        for (const auto& [name, display] : before) {
            const auto still = now.find(name);
            if (still == now.end() || still->second != display)
                for (auto& [id, callback] : callbacks) callback(DeviceChange::Removal, name, display);
        }
        for (const auto& [name, display] : now) {
            const auto was = before.find(name);
            if (was == before.end() || was->second != display)
                for (auto& [id, callback] : callbacks) callback(DeviceChange::Arrival, name, display);
        }
    }

    std::mutex dispatchMutex_;  // held while callbacks run; taken before mutex_
    std::mutex mutex_;
    unsigned long lastId_ = 0;                                    // guarded by mutex_
    std::map<unsigned long, DeviceChangeCallback> callbacks_;     // guarded by mutex_
    DeckSet known_;                                               // guarded by mutex_
    std::jthread thread_;                                         // guarded by mutex_
};

}  // namespace

DeviceChangeSubscription WatchDeviceChanges(DeviceChangeCallback callback) {
    return DeviceChangeSubscription(DeviceChangeWatcher::Instance().Subscribe(std::move(callback)));
}

DeviceChangeSubscription::~DeviceChangeSubscription() {
    if (id_) DeviceChangeWatcher::Instance().Unsubscribe(id_);
}

DeviceChangeSubscription::DeviceChangeSubscription(DeviceChangeSubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

DeviceChangeSubscription& DeviceChangeSubscription::operator=(DeviceChangeSubscription&& other) noexcept {
    if (this != &other) {
        if (id_) DeviceChangeWatcher::Instance().Unsubscribe(id_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

DeviceSource::DeviceSource(DeviceLister lister) : id_(DeviceSources::Instance().Add(std::move(lister))) {}

DeviceSource::~DeviceSource() { DeviceSources::Instance().Remove(id_); }
