// The main window on real DV files: the rows of a folder, the totals, the
// message naming what is not DV, a finished capture arriving, the playback
// limit, deleting, selecting, scrolling and the capture window's link.
#include <QTest>

#include <fstream>

#include "korvanta/capture/capture_texts.h"
#include "korvanta/capture/finished_file_record.h"
#include "korvanta/core/context_menu.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/band_texts.h"
#include "korvanta/mainwindow/preview_list.h"
#include "media_tools.h"
#include "main_window_fixture.h"
#include "platform/devices/deck_config.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/renderers/window_message.h"

namespace kvtest {
namespace {

std::vector<std::string> RowNames(PreviewList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.RowCount(); ++i) names.push_back(list.Row(i).FileName());
    return names;
}

// Whether the list shows the empty picture: its middle column matches the bitmap's.
bool ShowsEmptyPicture(PreviewList& list) {
    QImage picture(":/korvanta/bitmaps/208.bmp");
    const QImage shown = list.grab().toImage();
    const int left = (list.RowWidth() - picture.width()) / 2;
    for (int y = 0; y < picture.height(); y += 7)
        if (shown.pixel(left + picture.width() / 2, 10 + y) != picture.pixel(picture.width() / 2, y)) return false;
    return true;
}

TEST_F(MainWindowTest, FolderListsItsDvFilesByNameNamesTheOtherOnceAndTotalsThem) {
    Make(PreviewFile::OurType1Pal, "2026-03-01 10.00.00.avi");
    Make(PreviewFile::FfmpegType2NtscWide, "2026-01-01 09.00.00.AVI");
    Make(PreviewFile::OurType2Silent, "2026-02-01 08.00.00.avi");
    std::ofstream(folder_ / "2026-02-15 notes.avi") << "not a video";
    std::ofstream(folder_ / "readme.txt") << "not listed at all";
    MainWindow& window = Open();
    PreviewList& list = window.List();

    EXPECT_EQ(RowNames(list), (std::vector<std::string>{"2026-01-01 09.00.00.AVI", "2026-02-01 08.00.00.avi",
                                                        "2026-03-01 10.00.00.avi"}));
    ASSERT_EQ(presenter_.texts.size(), 1u);
    EXPECT_EQ(presenter_.texts[0], ErrorText("NotDVFiles") + " :\n2026-02-15 notes.avi");
    EXPECT_FALSE(list.Row(1).Player()->HasSound());
    // 39 x 33 + 9 x 40 + 74 x 40 ms at the average frame time of 37 ms.
    const int average = (33 + 40 + 40) / 3;
    EXPECT_EQ(window.TotalDurationText(),
              LabelText("TotDuration") + FrameCountText((39 * 33 + 9 * 40 + 74 * 40) / average, average));
    EXPECT_FALSE(ShowsEmptyPicture(list));

    // A finished capture: a row under the others, with the thumbnails it carries.
    const auto captured = Make(PreviewFile::OurType2OneFrame, "2026-04-01 12.00.00.avi");
    auto record = std::make_unique<FinishedFileRecord>();
    record->folder = folder_.path().string();
    record->fileName = captured.filename().string();
    record->thumbnails.emplace();
    for (int i = 0; i < kThumbnailPositions; ++i) {
        (*record->thumbnails)[i] = QImage(64, 48, QImage::Format_RGB32);
        (*record->thumbnails)[i].fill(QColor(40 * i, 200, 10));
    }
    const QImage third = (*record->thumbnails)[2];
    const int bottom = list.ContentHeight() + 1;
    PostWindowMessage(OaHwndFromWidget(&window), kFinishedFileMessage, 1, LPARAM(record.release()));
    ASSERT_TRUE(Eventually([&] { return list.RowCount() == 4; }));
    EXPECT_EQ(list.Row(3).FileName(), "2026-04-01 12.00.00.avi");
    EXPECT_EQ(list.RowTop(3), bottom - list.ScrollPosition());
    EXPECT_EQ(list.Row(3).Player()->GetThumbnails()[2].pixel(5, 5), third.pixel(5, 5));

    // Deleting every row, the last one too: the files go and the empty picture shows.
    presenter_.answer = MessageBoxResult::Yes;
    while (list.RowCount() > 0) {
        const auto file = list.Row(0).FilePath();
        list.Row(0).OnContextCommand(kRowDeleteCommand);
        ASSERT_TRUE(Eventually([&] { return !std::filesystem::exists(file); })) << file;
    }
    EXPECT_TRUE(ShowsEmptyPicture(list));
    EXPECT_EQ(window.TotalDurationText(), LabelText("TotDuration") + "00:00:00.00");
}

TEST_F(MainWindowTest, EmptyFolderShowsTheEmptyPictureAZeroTotalTheFreeSpaceOfItsDiskAndTheButtonsAndMenuAct) {
    MainWindow& window = Open();
    EXPECT_EQ(window.List().RowCount(), 0);
    EXPECT_TRUE(presenter_.texts.empty());
    EXPECT_TRUE(ShowsEmptyPicture(window.List()));
    EXPECT_EQ(window.TotalDurationText(), LabelText("TotDuration") + "00:00:00.00");
    const auto space = DiskSpaceOf(folder_.path().string());
    ASSERT_TRUE(space);
    EXPECT_EQ(window.FreeSpaceBandText().rfind(LabelText("FreeSpace") + " (" + space->mountPoint + ") ", 0), 0u)
        << window.FreeSpaceBandText();
    EXPECT_EQ(SizeText(1024), "1024.00 B");
    EXPECT_EQ(SizeText(1025), "  1.00 KB");
    EXPECT_EQ(MinutesText(std::uint64_t(10) << 30), " 49 min");
    // The mute-all button acts on release and the window's menu follows it.
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(17, 58));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(17, 58));
    EXPECT_EQ(GetSetting(SettingId::MuteAll).number, 0);
    const PopupMenu& menu = BuildSharedPopupMenu(window);
    for (int command : {kSettingsCommand, kHelpCommand, kCaptureCommand, kMuteAllCommand, kStopAllCommand,
                        kSelectFolderCommand, kAboutCommand})
        EXPECT_NE(menu.FindCommand(command), nullptr) << command;
    EXPECT_FALSE(menu.FindCommand(kMuteAllCommand)->checked);
    EXPECT_NE(BuildSharedPopupMenu(window.List()).FindCommand(kSelectFolderCommand), nullptr);
    EXPECT_EQ(BuildSharedPopupMenu(window.List()).FindCommand(kSettingsCommand), nullptr);
    // The window never gets smaller than 400 x 400.
    window.resize(300, 250);
    EXPECT_EQ(window.size(), QSize(400, 400));
}

TEST_F(MainWindowTest, StartingMoreRowsThanMaxPlaybackPausesTheOneStartedFirst) {
    for (const char* name : {"a.avi", "b.avi", "c.avi"}) Make(PreviewFile::OurType1Pal, name);
    MainWindow& window = Open();
    PreviewList& list = window.List();
    ASSERT_EQ(list.RowCount(), 3);
    const auto start = [&](int row) {
        list.Row(row).Play();
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    };
    start(0);
    start(1);
    EXPECT_FALSE(list.Row(0).IsPlaying());
    EXPECT_TRUE(list.Row(1).IsPlaying());

    window.StopAll();
    SetSetting(SettingId::MaxPlayback, {{}, 2}, true);
    start(0);
    start(1);
    start(2);
    EXPECT_FALSE(list.Row(0).IsPlaying());
    EXPECT_TRUE(list.Row(1).IsPlaying());
    EXPECT_TRUE(list.Row(2).IsPlaying());
    window.StopAll();
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(list.Row(i).IsPlaying());
}

TEST_F(MainWindowTest, ShiftAndCtrlSelectRowsTheWheelScrollsByRowsAndTheBandShowsTheSelection) {
    for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi"}) Make(PreviewFile::OurType2Silent, name);
    MainWindow& window = Open();
    window.resize(900, 500);
    QApplication::processEvents();
    PreviewList& list = window.List();
    ASSERT_EQ(list.RowCount(), 4);
    const auto strip = [&](int row) { return list.Row(row).SelectStrip().center(); };

    Click(strip(0));
    Click(strip(2), Qt::ShiftModifier);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.Row(i).IsSelected(), i <= 2) << i;
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 27);
    EXPECT_EQ(window.SelectedDurationText(), LabelText("SelDuration") + FrameCountText(27, 40));
    Click(strip(1), Qt::ControlModifier);
    EXPECT_FALSE(list.Row(1).IsSelected());
    EXPECT_TRUE(list.Row(0).IsSelected());
    Click(strip(3));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.Row(i).IsSelected(), i == 3) << i;
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 9);
    list.DeleteRow(3);
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 0);

    // One notch down goes to the next row's top; the bar is enabled as the rows do not fit.
    window.resize(900, 400);
    QApplication::processEvents();
    EXPECT_TRUE(list.ScrollBar().isEnabled());
    const int second = list.RowTop(1);
    QWheelEvent wheel(QPointF(50, 50), list.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&list, &wheel);
    EXPECT_EQ(list.ScrollPosition(), std::min(second, list.ScrollBar().maximum()));
    EXPECT_EQ(list.RowTop(1), second - list.ScrollPosition());
    // Loading the folder again starts at the top with nothing selected.
    SetSetting(SettingId::PreviewFolder, {folder_.path().string(), 0}, true);
    EXPECT_EQ(list.ScrollPosition(), 0);
    EXPECT_EQ(GetSetting(SettingId::SelectedDuration).number, 0);
}

TEST_F(MainWindowTest, RowsInTheWindowTakeTheMouseEndOnTheirLastFrameAndSaveStillsIntoTheFolder) {
    Make(PreviewFile::OurType2Silent, "clip.avi");
    SetSetting(SettingId::FileNaming, {"Still", 0}, false);
    SetSetting(SettingId::FrameCaptureFolder, {folder_.path().string(), 0}, false);
    SetSetting(SettingId::FrameCaptureFileType, {"png", 0}, false);
    MainWindow& window = Open();
    PlayerRow& row = window.List().Row(0);

    const SkinRect slider = row.PositionSlider().Outer();
    const QPoint thumb(slider.left + 4, (slider.top + slider.bottom) / 2);
    QTest::mousePress(&window.List(), Qt::LeftButton, {}, thumb);
    QMouseEvent drag(QEvent::MouseMove, QPointF(slider.right + 40, thumb.y()),
                     window.List().mapToGlobal(QPointF(slider.right + 40, thumb.y())), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&window.List(), &drag);
    QTest::mouseRelease(&window.List(), Qt::LeftButton, {}, QPoint(slider.right + 40, thumb.y()));
    EXPECT_EQ(row.Player()->CurrentFrame(), 9);

    Click(row.CaptureButtonRect().center());
    const auto still = folder_ / ("Still " + CleanFileNamePart(row.Player()->RecordingStamp()) + ".png");
    EXPECT_TRUE(std::filesystem::exists(still)) << still;

    // Played from frame 0 with the window's own timer and graph events only.
    row.Stop(true, true);
    row.Play();
    ASSERT_TRUE(Eventually([&] { return !row.IsPlaying(); }));
    EXPECT_EQ(row.Look(), RowLook::Stopped);
    EXPECT_EQ(row.Player()->CurrentFrame(), 9);
}

TEST_F(MainWindowTest, TheCaptureWindowIsMadeHiddenTickedShownToldOfDecksAndItsLastRecordsFreedAtShutdown) {
    MainWindow& window = Open();
    ASSERT_NE(capture_, nullptr);
    EXPECT_FALSE(capture_->window.isVisible());
    ASSERT_TRUE(Eventually([&] { return capture_->ticks >= 2; }));
    window.ShowCapture();
    EXPECT_EQ(capture_->shown, 1);
    // A deck plugged in and out is passed on, on this thread.
    DeckConfig deck{.name = "Main window deck", .tape = MakeDvClip(folder_.path(), {.pal = true, .sampleRate = 48000, .frames = 3})};
    deck.deviceId = deck_store::NewDeviceId();
    std::string why;
    ASSERT_TRUE(deck_store::Add(deck, &why)) << why;
    ASSERT_TRUE(Eventually([&] { return capture_->deviceChanges == 1; }));
    deck_store::Remove(deck.name);
    ASSERT_TRUE(Eventually([&] { return capture_->deviceChanges == 2; }));
    // Records announced as the window closes are still freed (the leak check sees them).
    for (int i = 0; i < 2; ++i)
        PostWindowMessage(OaHwndFromWidget(&window), kFinishedFileMessage, 1,
                          LPARAM(std::make_unique<FinishedFileRecord>(
                                     FinishedFileRecord{folder_.path().string(), "gone.avi", std::nullopt})
                                     .release()));
    window_.reset();

    MainWindow& bare = Open(false);
    bare.ShowCapture();
    ASSERT_EQ(presenter_.texts.size(), 1u);
    EXPECT_EQ(presenter_.texts[0], ErrorText("UnableToStart"));
}

}  // namespace
}  // namespace kvtest
