#pragma once
// The program's main window with its capture window on the offscreen
// platform, capturing the PAL demo tape from a virtual deck through the real
// graphs and filter modules, with a message box presenter that notes every
// box instead of showing it. Besides its own 340 ms timer the main window is
// ticked as often, relative to the deck's speed, as that timer ticks it in
// real time.
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
#include "korvanta/mainwindow/main_window.h"
#include "platform/devices/deck_devices.h"
#include "support/temp_dir.h"
#include "tests/filters/relaysink/time_zone.h"
#include "tests/platform/devices/deck_fixtures.h"

namespace kvtest {

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

    // Plugs in the demo deck at speed and opens the main window, whose
    // capture window opens on the deck; ticking.
    void Open(double speed, int thresholdIndex);
    CaptureDialog& Dialog() { return *dialog_; }
    // Lets Qt work (and the window tick) until condition holds or limit ms pass.
    template <typename Condition>
    static bool WaitFor(Condition condition, int limitMs = 30000) {
        const QDeadlineTimer deadline(limitMs);
        while (!condition() && !deadline.hasExpired()) QTest::qWait(10);
        return condition();
    }
    // The rows of the main window's list from row first on: their file
    // names, and whether each shows five thumbnails.
    int RowCount();
    std::vector<std::string> RowNames(int first);
    bool RowsHaveThumbnails(int first);
    // Sends a button press to the deck, as `korvanta-deck press` does.
    static bool PressOnDeck(const std::string& deck, const std::string& button);

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    ScopedTimeZone zone_{"UTC"};
    DeckDevices decks_;  // the virtual decks among the video input devices
    TempDir folder_;
    TempDir previewFolder_;
    NotedBoxes boxes_;
    ScopedMessageBoxPresenter presenter_{boxes_};
    std::unique_ptr<decktest::PluggedDeck> deck_;
    std::unique_ptr<MainWindow> mainWindow_;
    CaptureDialog* dialog_ = nullptr;
    QTimer ticker_;
};

}  // namespace kvtest
