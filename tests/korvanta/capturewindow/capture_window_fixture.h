#pragma once
// The capture window on the offscreen platform, capturing the PAL demo tape
// from a virtual deck through the real graphs and filter modules, with a
// stand-in for the main window that takes the finished files it posts, and
// a message box presenter that notes every box instead of showing it. The
// window is ticked as often, relative to the deck's speed, as the main
// window's 340 ms timer ticks it in real time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "korvanta/capturewindow/capture_dialog.h"
#include "korvanta/core/message_box.h"
#include "platform/devices/deck_devices.h"
#include "support/temp_dir.h"
#include "tests/filters/relaysink/time_zone.h"
#include "tests/platform/devices/deck_fixtures.h"

namespace kvtest {

// Takes the WM_APP + 4 records as the main window does.
class MainWindowStandIn final : public QWidget {
public:
    std::vector<std::unique_ptr<FinishedFileRecord>> records;

protected:
    bool event(QEvent* event) override;
};

class NotedBoxes final : public MessageBoxPresenter {
public:
    MessageBoxResult Show(std::string_view text, std::string_view, MessageBoxButtons) override {
        texts.emplace_back(text);
        return MessageBoxResult::Ok;
    }
    std::vector<std::string> texts;
};

class CaptureWindowTest : public testing::Test {
protected:
    static constexpr const char* kPrefix = "Tape";

    CaptureWindowTest();
    ~CaptureWindowTest() override;

    // Plugs in the demo deck at speed and opens the window on it, ticking.
    void Open(double speed, int thresholdIndex);
    // Lets Qt work (and the window tick) until condition holds or limit ms pass.
    template <typename Condition>
    static bool WaitFor(Condition condition, int limitMs = 30000) {
        const QDeadlineTimer deadline(limitMs);
        while (!condition() && !deadline.hasExpired()) QTest::qWait(10);
        return condition();
    }
    // The names of the records the main window received, in order.
    std::vector<std::string> ReceivedNames() const;
    // Sends a button press to the deck, as `korvanta-deck press` does.
    static bool PressOnDeck(const std::string& deck, const std::string& button);

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    ScopedTimeZone zone_{"UTC"};
    DeckDevices decks_;  // the virtual decks among the video input devices
    TempDir folder_;
    NotedBoxes boxes_;
    ScopedMessageBoxPresenter presenter_{boxes_};
    MainWindowStandIn mainWindow_;
    std::unique_ptr<decktest::PluggedDeck> deck_;
    std::unique_ptr<CaptureDialog> dialog_;
    QTimer ticker_;
};

}  // namespace kvtest
