// The main window on folders and files that go wrong: a folder that cannot
// be read, a folder removed while it is shown, a file deleted while its row
// plays, a folder that is not on a fixed disk and an unfinished capture.
#include <fstream>

#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/preview_list.h"
#include "main_window_fixture.h"
#include "platform/media/filters/avi/avi_repair.h"

namespace kvtest {
namespace {

TEST_F(MainWindowTest, FoldersThatCannotBeReadOrVanishGiveAnEmptyListAndOnlyTheFreeSpaceLabel) {
    Make(PreviewFile::OurType2Silent, "a.avi");
    const auto notAFolder = folder_ / "file-not-folder";
    std::ofstream(notAFolder) << "x";
    SetSetting(SettingId::PreviewFolder, {notAFolder.string(), 0}, false);
    MainWindow& window = Open();
    EXPECT_EQ(window.List().RowCount(), 0);
    EXPECT_TRUE(presenter_.texts.empty());

    // A folder with a row, removed while it is shown: the row stays playable
    // from the open file, the free space shows its label only, a reload is empty.
    const auto shown = folder_ / "shown";
    std::filesystem::create_directory(shown);
    std::filesystem::copy_file(folder_ / "a.avi", shown / "a.avi");
    SetSetting(SettingId::PreviewFolder, {shown.string(), 0}, true);
    ASSERT_EQ(window.List().RowCount(), 1);
    std::filesystem::remove_all(shown);
    window.Tick();
    window.grab();
    EXPECT_EQ(window.FreeSpaceBandText(), LabelText("FreeSpace"));
    PlayerRow& row = window.List().Row(0);
    row.Play();
    ASSERT_TRUE(Eventually([&] { return !row.IsPlaying(); }));
    EXPECT_EQ(row.Player()->CurrentFrame(), 9);
    SetSetting(SettingId::PreviewFolder, {shown.string(), 0}, true);
    EXPECT_EQ(window.List().RowCount(), 0);
}

TEST_F(MainWindowTest, AFileDeletedWhileItsRowPlaysPlaysOnAndItsRowCanStillBeRemoved) {
    const auto file = Make(PreviewFile::OurType1Pal, "a.avi");
    Make(PreviewFile::OurType2Silent, "b.avi");
    MainWindow& window = Open();
    PreviewList& list = window.List();
    list.Row(0).Play();
    std::filesystem::remove(file);
    ASSERT_TRUE(Eventually([&] { return !list.Row(0).IsPlaying(); }, std::chrono::seconds(30)));
    EXPECT_EQ(list.Row(0).Player()->CurrentFrame(), 74);
    list.Row(0).OnContextCommand(kRowDeleteCommand);
    ASSERT_TRUE(Eventually([&] { return list.RowCount() == 1; }));
    EXPECT_EQ(list.Row(0).FileName(), "b.avi");
    EXPECT_EQ(list.Row(0).Index(), 0);
}

TEST_F(MainWindowTest, AFolderOffTheFixedDisksIsRefusedAndAnUnfinishedCaptureIsRepairedOnlyOnYes) {
    MainWindow& window = Open();
    EXPECT_FALSE(window.SetPreviewFolder("/proc"));
    ASSERT_EQ(presenter_.texts.size(), 1u);
    EXPECT_EQ(presenter_.texts[0], ErrorText("FixedDisk"));
    EXPECT_EQ(GetSetting(SettingId::PreviewFolder).text, folder_.path().string());

    // A capture cut off mid-file: the end of its index is lost.
    const auto file = Make(PreviewFile::OurType1Pal, "cut.avi");
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 4000);
    ASSERT_EQ(CheckAviFile(file).outcome, AviRepairOutcome::Repaired);
    presenter_.texts.clear();
    presenter_.answer = MessageBoxResult::No;
    SetSetting(SettingId::PreviewFolder, {folder_.path().string(), 0}, true);
    ASSERT_FALSE(presenter_.texts.empty());
    EXPECT_EQ(presenter_.texts[0], MessageText("RepairFiles") + "\ncut.avi");
    EXPECT_EQ(CheckAviFile(file).outcome, AviRepairOutcome::Repaired);
    presenter_.answer = MessageBoxResult::Yes;
    SetSetting(SettingId::PreviewFolder, {folder_.path().string(), 0}, true);
    EXPECT_EQ(CheckAviFile(file).outcome, AviRepairOutcome::AlreadyWhole);
    ASSERT_EQ(window.List().RowCount(), 1);
}

}  // namespace
}  // namespace kvtest
