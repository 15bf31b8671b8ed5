#pragma once
// The base of the program's window components: every live observer hears
// about setting changes through NotifySettingChanged. Observers register
// themselves on construction and leave on destruction; all of it happens on
// the user-interface thread.
#include <cstdint>

#include "korvanta/core/settings.h"

class SettingsObserver {
public:
    SettingsObserver();
    virtual ~SettingsObserver();
    SettingsObserver(const SettingsObserver&) = delete;
    SettingsObserver& operator=(const SettingsObserver&) = delete;

    // Called once per broadcast. Overrides may create or destroy observers,
    // this one included, and may broadcast again.
    virtual void OnSettingChanged(SettingId id);

private:
    friend void NotifySettingChanged(SettingId id);

    // A number no other observer of this process has had, so a broadcast can
    // tell a new observer from a destroyed one that had the same address.
    const std::uint64_t serial_;
};

// Calls OnSettingChanged(id) on every registered observer, in registration
// order, exactly once each. Observers created during the broadcast are called
// too; observers destroyed before their turn are not.
void NotifySettingChanged(SettingId id);
