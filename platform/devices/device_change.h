#pragma once
// Device arrival and removal for the virtual decks, in the role of the
// WM_DEVICECHANGE message a program receives when a camcorder is plugged
// in or out. Decks are added and removed by other processes (korvanta-deck)
// through the registry, so one process-wide watcher compares the configured
// decks every kDeviceChangePollInterval and tells every subscriber.
//
// Callbacks run on the watcher's own thread; a window layer posts them on to
// its user-interface thread. A subscription ends when its handle goes; that
// waits for a callback in progress, unless it is called from a callback.
#include <chrono>
#include <functional>
#include <map>
#include <string>

inline constexpr std::chrono::milliseconds kDeviceChangePollInterval{250};

enum class DeviceChange { Arrival, Removal };

// deckName: the deck's registry name; displayName: its moniker display name.
using DeviceChangeCallback =
    std::function<void(DeviceChange change, const std::string& deckName, const std::string& displayName)>;

class DeviceChangeSubscription {
public:
    DeviceChangeSubscription() = default;
    ~DeviceChangeSubscription();
    DeviceChangeSubscription(DeviceChangeSubscription&& other) noexcept;
    DeviceChangeSubscription& operator=(DeviceChangeSubscription&& other) noexcept;
    DeviceChangeSubscription(const DeviceChangeSubscription&) = delete;
    DeviceChangeSubscription& operator=(const DeviceChangeSubscription&) = delete;

    explicit operator bool() const { return id_ != 0; }

private:
    friend DeviceChangeSubscription WatchDeviceChanges(DeviceChangeCallback callback);
    explicit DeviceChangeSubscription(unsigned long id) : id_(id) {}
    unsigned long id_ = 0;
};

// Changes from now on are reported; the decks present now are not.
DeviceChangeSubscription WatchDeviceChanges(DeviceChangeCallback callback);

// Devices other than the virtual decks (camcorders on the 1394 bus) are
// announced by the same watcher: a source lists the ones present now, as
// name -> display name. The lister runs on the watcher thread and must be
// quick and thread-safe. The source is dropped when the handle goes.
using DeviceLister = std::function<std::map<std::string, std::string>()>;
class DeviceSource {
public:
    explicit DeviceSource(DeviceLister lister);
    ~DeviceSource();
    DeviceSource(const DeviceSource&) = delete;
    DeviceSource& operator=(const DeviceSource&) = delete;

private:
    unsigned long id_ = 0;
};
