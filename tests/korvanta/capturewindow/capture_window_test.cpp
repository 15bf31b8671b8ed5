// The capture window capturing the demo tape: the thresholds it sends, the
// button table after every start and stop, the camcorder's own buttons,
// the files it announces, and camcorders plugged in and out.
#include <algorithm>
#include <array>

#include "capture_window_fixture.h"
#include "korvanta/core/context_menu.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "tests/korvanta/capture/e2e/demo_tape_scenes.h"

namespace kvtest {
namespace {

namespace fs = std::filesystem;
using Enabled = std::array<bool, 6>;

constexpr Enabled kIdle{true, true, true, false, false, false};
constexpr Enabled kArmed{true, true, true, true, false, false};
constexpr Enabled kCapturing{false, false, false, true, true, true};
constexpr Enabled kStopArmed{true, false, false, true, true, true};

constexpr int kOneDayIndex = 11;
constexpr int kSevenDaysIndex = 13;
constexpr int kPlay = 1019, kRewind = 1022;
constexpr int kStartNow = 1047, kStartOnScene = 1048, kStartOnDefinedScene = 1049;
constexpr int kStopNow = 1050, kStopOnScene = 1051, kStopOnDefinedScene = 1052;

const ThresholdCase& Case(const char* label) {
    const auto& cases = ThresholdCases();
    return *std::find_if(cases.begin(), cases.end(), [&](const ThresholdCase& row) { return row.label == std::string(label); });
}

// The names of the row's files; copySuffix: the number the file writer gives a name that is taken.
std::vector<std::string> ExpectedNames(const ThresholdCase& row, const std::string& copySuffix) {
    std::vector<std::string> names;
    for (const ExpectedFile& file : row.files) names.push_back(std::string("Tape ") + file.date + copySuffix + ".avi");
    return names;
}

class CaptureWindowCapture : public CaptureWindowTest {
protected:
    // Captures the whole tape from its start, with the start-now button and
    // the play button, until the tape ends and every file has arrived. The
    // files of the captures before are kept, so names taken get numbered.
    void CaptureWholeTape(const ThresholdCase& row, const std::string& copySuffix) {
        const int first = RowCount();
        dialog_->ShowForCapture();
        dialog_->RunCommand(kStartNow);
        dialog_->RunCommand(kPlay);
        const std::vector<std::string> expected = ExpectedNames(row, copySuffix);
        // The live picture sits in the video area, which follows scene 3's 16:9 picture.
        bool sawWide = false, livePictureInPlace = false;
        const auto done = [&] {
            const QRect video = dialog_->Area().video;
            sawWide |= video.height() == 202;
            for (const QWidget* child : dialog_->findChildren<QWidget*>())
                livePictureInPlace |= child->isVisible() && child->geometry() == video;
            return RowCount() - first >= int(expected.size()) && !dialog_->IsCapturing();
        };
        EXPECT_TRUE(WaitFor(done, 60000));
        EXPECT_TRUE(sawWide);
        EXPECT_TRUE(livePictureInPlace);
        EXPECT_EQ(dialog_->Area().video.height(), 270);  // the tape ends on a 4:3 scene
        EXPECT_EQ(RowNames(first), expected) << row.label;
        for (const std::string& name : RowNames(first)) EXPECT_TRUE(fs::is_regular_file(folder_ / name)) << name;
        EXPECT_TRUE(RowsHaveThumbnails(first));
        // Back to the tape's start for the next capture.
        dialog_->RunCommand(kRewind);
        EXPECT_TRUE(WaitFor([&] { return dialog_->Engine()->TransportMode() == ED_MODE_STOP; }));
    }
};

// A threshold chosen from the list, from the context menu and typed into the
// custom field each reaches the frame server: the files split where it says.
// Every file becomes a row of the main window under the name it was
// written with (numbered when taken), with five thumbnails.
TEST_F(CaptureWindowCapture, ThresholdsFromTheListTheMenuAndTheCustomFieldSplitTheTape) {
    Open(4, 1);

    dialog_->ThresholdList().setCurrentIndex(kOneDayIndex);
    emit dialog_->ThresholdList().activated(kOneDayIndex);
    EXPECT_EQ(GetSetting(SettingId::CapSceneDiff).number, kOneDayIndex);
    CaptureWholeTape(Case("OneDay"), "");

    BuildSharedPopupMenu(*dialog_);
    ASSERT_TRUE(DispatchMenuCommand(kFirstThresholdCommand + kSevenDaysIndex));
    EXPECT_EQ(dialog_->ThresholdList().currentIndex(), kSevenDaysIndex);
    EXPECT_EQ(GetSetting(SettingId::CapSceneDiff).number, kSevenDaysIndex);
    BuildSharedPopupMenu(*dialog_);
    const PopupMenuEntry* checked = SharedPopupMenu().FindCommand(kFirstThresholdCommand + kSevenDaysIndex);
    ASSERT_NE(checked, nullptr);
    EXPECT_TRUE(checked->checked);
    CaptureWholeTape(Case("SevenDays"), " (2)");

    dialog_->ThresholdList().setCurrentIndex(0);
    emit dialog_->ThresholdList().activated(0);
    dialog_->CustomEdit().setFocus();
    dialog_->CustomEdit().setCursorPosition(0);
    QTest::keyClicks(&dialog_->CustomEdit(), "009000000");
    EXPECT_EQ(GetSetting(SettingId::CapSceneDiffCustom).text, "009d 00h 00m 00s");
    CaptureWholeTape(Case("CustomNineDays"), " (3)");
}

// Every start and stop command sets the six buttons by the table, and the
// camcorder's own play and stop buttons are followed by the window.
TEST_F(CaptureWindowCapture, EveryStartAndStopSetsTheButtonTableAndTheDecksButtonsAreFollowed) {
    Open(2, kOneDayIndex);
    const auto buttons = [&] { return dialog_->Buttons().enabled; };
    const auto selected = [&] { return dialog_->Buttons().selected; };
    const auto playShown = [&] { return dialog_->Transport().IsChecked(dialog_->Transport().IndexOf(TransportButton::Play)); };

    dialog_->RunCommand(kStartNow);  // the tape stands still
    EXPECT_EQ(buttons(), kArmed);
    EXPECT_EQ(selected(), 0);
    EXPECT_FALSE(dialog_->DeviceList().isEnabled());
    dialog_->RunCommand(kStopNow);
    EXPECT_EQ(buttons(), kIdle);
    EXPECT_EQ(selected(), 3);
    EXPECT_TRUE(dialog_->DeviceList().isEnabled());

    dialog_->RunCommand(kStartOnScene);
    EXPECT_EQ(buttons(), kArmed);
    EXPECT_EQ(selected(), 1);
    ASSERT_TRUE(PressOnDeck("Demo", "play"));
    EXPECT_TRUE(WaitFor(playShown));
    EXPECT_TRUE(WaitFor([&] { return buttons() == kCapturing; }));
    dialog_->RunCommand(kStopOnDefinedScene);
    EXPECT_EQ(buttons(), kStopArmed);
    EXPECT_EQ(selected(), 5);
    EXPECT_TRUE(WaitFor([&] { return buttons() == kIdle; }));

    dialog_->RunCommand(kStartOnDefinedScene);
    EXPECT_EQ(buttons(), kArmed);
    EXPECT_EQ(selected(), 2);
    EXPECT_TRUE(WaitFor([&] { return buttons() == kCapturing; }));
    dialog_->RunCommand(kStopOnScene);
    EXPECT_EQ(buttons(), kStopArmed);
    EXPECT_EQ(selected(), 4);
    EXPECT_TRUE(WaitFor([&] { return buttons() == kIdle; }));

    dialog_->RunCommand(kStartNow);  // the tape plays
    EXPECT_EQ(buttons(), kCapturing);
    ASSERT_TRUE(PressOnDeck("Demo", "stop"));
    EXPECT_TRUE(WaitFor([&] { return !playShown() && buttons() == kIdle; }));
    EXPECT_EQ(selected(), 3);

    // Three captures, each of at least one whole file, all rows of the main window under the names on disk.
    EXPECT_TRUE(WaitFor([&] { return RowCount() >= 3; }));
    for (const std::string& name : RowNames(0)) EXPECT_TRUE(fs::is_regular_file(folder_ / name)) << name;
    EXPECT_TRUE(boxes_.texts.empty()) << boxes_.texts.front();
}

// The main window's device watch tells the capture window: a second
// camcorder plugged in leaves the first in use; unplugging the one in use in
// the middle of a capture moves to the other and keeps the file written so
// far; unplugging the last hides the window. Each says so once.
TEST_F(CaptureWindowTest, CamcordersPluggedInAndOutAreFollowedWithTheirMessages) {
    Open(1, 1);
    dialog_->ShowForCapture();
    ASSERT_TRUE(dialog_->isVisible());
    const DeviceId first = deck_->Config().deviceId;

    auto second = std::make_unique<decktest::PluggedDeck>(
        "Second", std::filesystem::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv", 1.0);
    ASSERT_TRUE(second->Added());
    ASSERT_TRUE(WaitFor([&] { return boxes_.texts.size() == 1; }));
    EXPECT_EQ(boxes_.texts.back(), MessageText("NewCaptureDeviceArrived"));
    EXPECT_EQ(dialog_->Engine()->BoundDeviceId(), first);
    EXPECT_EQ(dialog_->DeviceList().count(), 2);

    dialog_->RunCommand(1047);  // start now
    dialog_->RunCommand(1019);  // play
    ASSERT_TRUE(WaitFor([&] { return dialog_->Engine()->GetFrameCount() > 10; }));
    deck_.reset();
    ASSERT_TRUE(WaitFor([&] { return boxes_.texts.size() == 2; }));
    EXPECT_EQ(boxes_.texts.back(), MessageText("CurrentCaptureDeviceRemoved"));
    EXPECT_EQ(dialog_->Engine()->BoundDeviceId(), second->Config().deviceId);
    EXPECT_TRUE(dialog_->Engine()->IsReady());
    EXPECT_EQ(GetSetting(SettingId::UsedDevice).text, FormatDeviceId(second->Config().deviceId));
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->Buttons().enabled, kIdle);
    EXPECT_TRUE(dialog_->DeviceList().isEnabled());
    ASSERT_TRUE(WaitFor([&] { return RowCount() == 1; }));
    EXPECT_EQ(RowNames(0), std::vector<std::string>{"Tape 20030517 100000.avi"});

    second.reset();
    ASSERT_TRUE(WaitFor([&] { return boxes_.texts.size() == 3; }));
    EXPECT_EQ(boxes_.texts.back(), ErrorText("NoDVCaptureDevice"));
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->DeviceList().count(), 0);
    dialog_->DevicesChanged();  // told again: nothing more to say
    EXPECT_EQ(boxes_.texts.size(), 3u);
    // The capture command now says why the window cannot be shown.
    mainWindow_->ShowCapture();
    ASSERT_EQ(boxes_.texts.size(), 4u);
    EXPECT_EQ(boxes_.texts.back(), ErrorText("NoDVCaptureDevice"));
    EXPECT_FALSE(dialog_->isVisible());
}

}  // namespace
}  // namespace kvtest
