#include "korvanta/core/settings_observer.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <memory>
#include <vector>

namespace {

// An observer that records its calls in a shared log and can run an action
// (open or close other observers) from inside the broadcast.
class LoggingObserver : public SettingsObserver {
public:
    LoggingObserver(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    void OnSettingChanged(SettingId id) override {
        SettingsObserver::OnSettingChanged(id);
        log_.push_back(name_ + ":" + std::to_string(static_cast<int>(id)));
        if (action) {
            auto run = std::move(action);  // once only
            run();
        }
    }
    std::function<void()> action;

private:
    std::vector<std::string>& log_;
    std::string name_;
};

using Log = std::vector<std::string>;

TEST(SettingsObserver, EveryObserverHearsEachBroadcastOnceInOrder) {
    Log log;
    NotifySettingChanged(SettingId::Tooltips);  // nobody listens: nothing happens
    LoggingObserver a(log, "a"), b(log, "b");
    {
        LoggingObserver c(log, "c");
        NotifySettingChanged(SettingId::CaptureFolder);
    }
    NotifySettingChanged(SettingId::MuteAll);
    EXPECT_EQ(log, (Log{"a:8", "b:8", "c:8", "a:4", "b:4"}));
}

TEST(SettingsObserver, ClosingAnotherObserverLosesAndRepeatsNothing) {
    Log log;
    LoggingObserver a(log, "a");
    auto b = std::make_unique<LoggingObserver>(log, "b");
    auto c = std::make_unique<LoggingObserver>(log, "c");
    LoggingObserver d(log, "d");
    // b closes c (not yet called) and then a (already called).
    b->action = [&] { c.reset(); };
    NotifySettingChanged(SettingId::PreviewFolder);
    EXPECT_EQ(log, (Log{"a:1", "b:1", "d:1"}));
}

TEST(SettingsObserver, ClosingAnEarlierObserverAndItselfIsSafe) {
    Log log;
    auto a = std::make_unique<LoggingObserver>(log, "a");
    auto b = std::make_unique<LoggingObserver>(log, "b");
    LoggingObserver c(log, "c");
    b->action = [&] {
        a.reset();
        b.reset();  // the observer closes its own window
    };
    NotifySettingChanged(SettingId::PreviewFolder);
    EXPECT_EQ(log, (Log{"a:1", "b:1", "c:1"}));
}

TEST(SettingsObserver, ObserversOpenedDuringTheBroadcastHearItOnce) {
    Log log;
    LoggingObserver a(log, "a");
    std::unique_ptr<LoggingObserver> opened;
    a.action = [&] { opened = std::make_unique<LoggingObserver>(log, "new"); };
    LoggingObserver b(log, "b");
    NotifySettingChanged(SettingId::CaptureFolder);
    EXPECT_EQ(log, (Log{"a:8", "b:8", "new:8"}));
}

TEST(SettingsObserver, ANewObserverAtAFreedAddressIsStillCalled) {
    Log log;
    LoggingObserver a(log, "a");
    std::optional<LoggingObserver> slot;
    slot.emplace(log, "old");
    // a replaces the observer in the same storage: same address, new observer.
    a.action = [&] {
        slot.reset();
        slot.emplace(log, "replacement");
    };
    NotifySettingChanged(SettingId::FileNaming);
    EXPECT_EQ(log, (Log{"a:9", "replacement:9"}));
}

TEST(SettingsObserver, ABroadcastFromInsideABroadcastDoesNotCutTheOuterOneShort) {
    Log log;
    LoggingObserver a(log, "a"), b(log, "b"), c(log, "c");
    a.action = [] { NotifySettingChanged(SettingId::MuteAll); };
    NotifySettingChanged(SettingId::Tooltips);
    EXPECT_EQ(log, (Log{"a:2", "a:4", "b:4", "c:4", "b:2", "c:2"}));
}

}  // namespace
