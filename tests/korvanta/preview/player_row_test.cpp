// PlayerRow in a plain list window on real DV files, driven through its
// drawn controls with the mouse: texts, the transport, the position slider,
// the end of the file, the frame-capture button and the delete menu entry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <vector>

#include "korvanta/capture/capture_texts.h"
#include "korvanta/core/context_menu.h"
#include "korvanta/core/message_box.h"
#include "korvanta/core/settings.h"
#include "korvanta/core/still_export.h"
#include "korvanta/preview/player_row.h"
#include "korvanta/skin/skin_image.h"
#include "platform/media/renderers/window_message.h"
#include "preview_files.h"
#include "support/temp_dir.h"

namespace {

using kvtest::Eventually;
using kvtest::PreviewFile;

// The list side a row needs: it paints the row, hears the row's WM_APP + 1
// and hands WM_APP + 2 back to the row, as the main window does.
class RowList final : public QWidget {
public:
    PlayerRow row;
    std::vector<std::pair<WPARAM, LPARAM>> messages;

protected:
    bool event(QEvent* e) override {
        if (e->type() == WindowMessageEvent::TypeOf(kRowMessage)) {
            const auto* message = static_cast<WindowMessageEvent*>(e);
            messages.emplace_back(message->WParam(), message->LParam());
            return true;
        }
        if (e->type() == WindowMessageEvent::TypeOf(WM_APP + 2)) {
            row.OnGraphEvent();
            return true;
        }
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        row.Paint(painter);
    }
};

class AnswerYes final : public MessageBoxPresenter {
public:
    MessageBoxResult Show(std::string_view, std::string_view, MessageBoxButtons) override {
        return MessageBoxResult::Yes;
    }
};

class PlayerRowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kvtest::RegisterPlayerFilters());
        LoadSharedSkinImages();
        SetSetting(SettingId::VideoResolution, {{}, 0}, false);
        SetSetting(SettingId::MuteAll, {{}, 1}, false);
        list_.resize(900, 300);
        list_.show();
    }
    PlayerRow& Open(PreviewFile kind) {
        const auto file = kvtest::MakePreviewFile(files_.path(), kind);
        EXPECT_TRUE(list_.row.Open(2, files_.path(), file.filename().string(), &list_));
        list_.row.Layout(0, 0, list_.width());
        return list_.row;
    }
    // A transport button's place, found by hit-testing the bar.
    QPoint At(TransportButton button) {
        const int wanted = list_.row.Transport().IndexOf(button);
        for (int y = 0; y < list_.height(); ++y)
            for (int x = 0; x < list_.width() / 4; ++x)
                if (list_.row.Transport().HitIndex({x, y}) == wanted) return {x, y};
        ADD_FAILURE() << "no transport button " << wanted;
        return {};
    }
    void Click(TransportButton button) {
        list_.row.MousePress(At(button), false);
        list_.row.MouseRelease(At(button));
    }
    void Tick() {
        list_.row.OnTimer();
        QCoreApplication::processEvents();
    }

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    kvtest::TempDir files_;
    RowList list_;
};

TEST_F(PlayerRowTest, ShowsNameAndDurationAndPlaysPausesAndStopsThroughItsTransportBar) {
    PlayerRow& row = Open(PreviewFile::OurType1Pal);
    EXPECT_EQ(row.FileName(), row.FilePath().filename().string());
    EXPECT_EQ(row.FilePath().parent_path(), files_.path());
    EXPECT_TRUE(row.DurationText().ends_with(FrameCountText(74, 40))) << row.DurationText();
    EXPECT_EQ(row.PositionText(), "00:00:00.00");
    EXPECT_EQ(row.Look(), RowLook::Stopped);

    Click(TransportButton::Play);
    EXPECT_TRUE(row.IsPlaying());
    EXPECT_EQ(row.Look(), RowLook::Playing);
    ASSERT_TRUE(Eventually([&] { return !list_.messages.empty(); }));
    EXPECT_EQ(list_.messages.front(), (std::pair<WPARAM, LPARAM>{kRowStartedPlaying, 2}));
    ASSERT_TRUE(Eventually([&] {
        Tick();
        return row.Player()->CurrentFrame() > 5;
    }));
    EXPECT_NE(row.PositionText(), "00:00:00.00");

    Click(TransportButton::Pause);
    EXPECT_FALSE(row.IsPlaying());
    EXPECT_EQ(row.Look(), RowLook::Paused);
    EXPECT_GT(row.Player()->CurrentFrame(), 5);

    Click(TransportButton::Stop);
    EXPECT_EQ(row.Look(), RowLook::Stopped);
    EXPECT_EQ(row.Player()->CurrentFrame(), 0);
    EXPECT_EQ(row.PositionText(), "00:00:00.00");
}

TEST_F(PlayerRowTest, SliderDraggedToItsEndAndTheEndOfTheFileBothShowTheLastFrame) {
    const auto file = kvtest::MakePreviewFile(files_.path(), PreviewFile::OurType2Silent);
    PlayerRow& row = Open(PreviewFile::OurType2Silent);
    const auto lastFrameShown = [&] {
        const QImage shown = row.Player()->GrabFrame(row.Player()->CurrentFrame(), 0);
        return kvtest::PictureDifference(shown, kvtest::FfmpegFrame(file, 9, shown.width(), shown.height()));
    };
    const SkinRect slider = row.PositionSlider().Outer();
    const QPoint thumb(slider.left + 4, (slider.top + slider.bottom) / 2);
    ASSERT_TRUE(row.PositionSlider().HitThumbRange(thumb));
    row.MousePress(thumb, false);
    row.MouseMove({slider.right + 50, thumb.y()}, true);
    row.MouseRelease({slider.right + 50, thumb.y()});
    EXPECT_EQ(row.Player()->CurrentFrame(), 9);
    EXPECT_LT(lastFrameShown(), 6.0);

    Click(TransportButton::Stop);
    Click(TransportButton::Play);
    ASSERT_TRUE(Eventually([&] {
        Tick();
        return !row.IsPlaying();
    }));
    EXPECT_EQ(row.Look(), RowLook::Stopped);
    EXPECT_EQ(row.PlayOrder(), -1);
    EXPECT_EQ(row.Player()->CurrentFrame(), 9);
    EXPECT_EQ(row.PositionSlider().Position(), row.PositionSlider().Range());
    EXPECT_LT(lastFrameShown(), 6.0);
}

// g = 1000 / (1000 / 40) = 40: fast forward steps 40 frames, slow forward
// with Ctrl 13; the press steps, the next tick is skipped, later ticks step.
TEST_F(PlayerRowTest, HeldStepButtonsStepAtThePressAndOnEveryTickAfterTheSkippedOne) {
    PlayerRow& row = Open(PreviewFile::OurType1Pal);
    const auto frame = [&] { return row.Player()->CurrentFrame(); };
    row.MousePress(At(TransportButton::SlowForward), true);
    EXPECT_EQ(frame(), 13);
    Tick();
    EXPECT_EQ(frame(), 13);
    Tick();
    EXPECT_EQ(frame(), 26);
    row.MouseRelease(At(TransportButton::SlowForward));
    Tick();
    EXPECT_EQ(frame(), 26);

    row.MousePress(At(TransportButton::FastForward), false);
    EXPECT_EQ(frame(), 66);
    Tick();
    Tick();
    EXPECT_EQ(frame(), 74);
    row.MouseRelease(At(TransportButton::FastForward));
    row.MousePress(At(TransportButton::SlowBack), false);
    EXPECT_EQ(frame(), 73);
    row.MouseRelease(At(TransportButton::SlowBack));
}

TEST_F(PlayerRowTest, FrameCaptureButtonSavesTheStillAndTheMenuAsksToDeleteTheFile) {
    kvtest::TempDir stills;
    SetSetting(SettingId::FileNaming, {"Row", 0}, false);
    SetSetting(SettingId::FrameCaptureFolder, {stills.path().string(), 0}, false);
    SetSetting(SettingId::FrameCaptureFileType, {"png", 0}, false);
    SetSetting(SettingId::ImageResolution, {{}, 0}, false);
    PlayerRow& row = Open(PreviewFile::OurType1Pal);
    const QPoint button = row.CaptureButtonRect().center();
    row.MousePress(button, false);
    row.MouseRelease(button);
    const auto expected = stills.path() / ("Row " + CleanFileNamePart(row.Player()->RecordingStamp()) + ".png");
    EXPECT_TRUE(std::filesystem::exists(expected)) << expected;

    const PopupMenu& menu = BuildSharedPopupMenu(row);
    for (int command : {kRowPlayCommand, kRowPauseCommand, kRowStopCommand, kRowCaptureFrameCommand, kMuteCommand,
                        kRowDeleteCommand})
        EXPECT_NE(menu.FindCommand(command), nullptr) << command;
    EXPECT_FALSE(menu.FindCommand(kRowPauseCommand)->enabled);
    EXPECT_TRUE(menu.FindCommand(kRowStopCommand)->checked);

    AnswerYes yes;
    ScopedMessageBoxPresenter answering(yes);
    EXPECT_TRUE(DispatchMenuCommand(kRowDeleteCommand));
    ASSERT_TRUE(Eventually([&] { return !list_.messages.empty(); }));
    EXPECT_EQ(list_.messages.front(), (std::pair<WPARAM, LPARAM>{kRowDeleteFile, 2}));
}

}  // namespace
