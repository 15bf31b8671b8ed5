// The still export from an open preview player: sizes at each image
// resolution, every format read back by Qt and by ffprobe with the picture
// of the frame, the file name and folder rules, and MuteAll.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImageReader>
#include <QWidget>

#include "korvanta/core/image_save.h"
#include "korvanta/core/settings.h"
#include "korvanta/core/sound_resource.h"
#include "korvanta/core/still_export.h"
#include "korvanta/preview/preview_player.h"
#include "media_tools.h"
#include "preview_files.h"
#include "support/temp_dir.h"

namespace {

using kvtest::PreviewFile;

class StillExportTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kvtest::RegisterPlayerFilters());
        SetSetting(SettingId::VideoResolution, {{}, 0}, false);
        SetSetting(SettingId::MuteAll, {{}, 0}, false);
        SetSetting(SettingId::FileNaming, {"Holiday/Beach", 0}, false);
        SetSetting(SettingId::FrameCaptureFolder, {folder_.path().string(), 0}, false);
        SetSetting(SettingId::FrameCaptureQuality, {{}, 90}, false);
    }
    std::filesystem::path File(PreviewFile kind) { return kvtest::MakePreviewFile(files_.path(), kind); }
    StillExportResult Export(PreviewPlayer& player, const char* type, int resolution) {
        SetSetting(SettingId::FrameCaptureFileType, {type, 0}, false);
        SetSetting(SettingId::ImageResolution, {{}, resolution}, false);
        return ExportStill(player);
    }

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    QWidget list_;
    kvtest::TempDir files_;
    kvtest::TempDir folder_;
};

TEST_F(StillExportTest, EveryFormatHoldsTheFrameAtTheSizeOfEachResolution) {
    PreviewPlayer player;
    ASSERT_TRUE(player.Open(File(PreviewFile::OurType1Pal), &list_, 0));
    player.SeekTo(30);
    const QImage frame = kvtest::FfmpegFrame(File(PreviewFile::OurType1Pal), 30, 720, 576);
    struct Case {
        const char* type;
        int resolution;
        QSize size;
        double tolerance;
    };
    for (const Case& c : {Case{"png", 0, {720, 540}, 6}, Case{"jpg", 0, {720, 540}, 8}, Case{"bmp", 1, {360, 270}, 6},
                          Case{"tif", 2, {180, 135}, 8}, Case{"gif", 3, {90, 67}, 12}}) {
        SCOPED_TRACE(c.type);
        const StillExportResult result = Export(player, c.type, c.resolution);
        ASSERT_TRUE(result.saved) << result.path;
        EXPECT_TRUE(result.soundPlayed);
        const QImage saved(QString::fromStdString(result.path.string()));
        ASSERT_EQ(saved.size(), c.size);
        EXPECT_LT(kvtest::PictureDifference(saved, frame), c.tolerance);
        const auto probe = kvtest::ProbeStream(result.path, "v:0");
        EXPECT_EQ(probe.at("width"), std::to_string(c.size.width()));
        EXPECT_EQ(probe.at("height"), std::to_string(c.size.height()));
    }
    EXPECT_EQ(player.CurrentFrame(), 30);
}

TEST_F(StillExportTest, WideNtscAtHalfIsThreeSixtyByTwoHundredTwo) {
    PreviewPlayer player;
    ASSERT_TRUE(player.Open(File(PreviewFile::FfmpegType2NtscWide), &list_, 0));
    const StillExportResult result = Export(player, "png", 1);
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(QImageReader(QString::fromStdString(result.path.string())).size(), QSize(360, 202));
}

TEST_F(StillExportTest, NamesFoldersAndTypesThatSaveNothing) {
    PreviewPlayer player;
    ASSERT_TRUE(player.Open(File(PreviewFile::OurType1Pal), &list_, 0));
    const StillExportResult named = Export(player, "png", 0);
    const std::string name = named.path.filename().string();
    EXPECT_EQ(name.rfind("Holiday Beach ", 0), 0u) << name;
    EXPECT_EQ(name, "Holiday Beach " + CleanFileNamePart(player.RecordingStamp()) + ".png");
    EXPECT_EQ(named.path.parent_path(), folder_.path());

    // Without a capture folder the picture goes to the preview folder.
    kvtest::TempDir preview;
    SetSetting(SettingId::FrameCaptureFolder, {"", 0}, false);
    SetSetting(SettingId::PreviewFolder, {preview.path().string(), 0}, false);
    EXPECT_EQ(Export(player, "png", 0).path.parent_path(), preview.path());

    for (const char* type : {"JPG", "emf", "webp"}) {
        const StillExportResult result = Export(player, type, 0);
        EXPECT_FALSE(result.saved) << type;
        EXPECT_FALSE(std::filesystem::exists(result.path)) << type;
    }
    SetSetting(SettingId::FrameCaptureFolder, {(folder_.path() / "missing").string(), 0}, false);
    EXPECT_FALSE(Export(player, "png", 0).saved);

    SetSetting(SettingId::FrameCaptureFolder, {folder_.path().string(), 0}, false);
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    const StillExportResult quiet = Export(player, "bmp", 0);
    EXPECT_FALSE(quiet.soundPlayed);
    EXPECT_TRUE(quiet.saved);
    EXPECT_EQ(CleanFileNamePart("a.b:c\\d/e*f?g<h>i\"j|k"), "a b c d e f g h i j k");
    EXPECT_TRUE(PlaySoundResource(kShutterSound));
    EXPECT_FALSE(PlaySoundResource(999));
}

// A face-like gradient (light to dark skin tones beside a blue background)
// keeps small steps in the GIF: the palette follows the picture.
TEST_F(StillExportTest, GifKeepsSkinToneGradientsSmooth) {
    QImage picture(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            picture.setPixel(x, y, y < 48 ? qRgb(255 - x / 3, 224 - x / 2, 196 - x / 2) : qRgb(20, 40, 160 + x / 4));
    const auto path = folder_ / "skin.gif";
    ASSERT_TRUE(SaveBitmapAsImage(picture, path, "gif", 90));
    const QImage saved(QString::fromStdString(path.string()));
    int worst = 0;
    for (int x = 0; x < 256; ++x) {
        const QRgb want = picture.pixel(x, 10), got = saved.pixel(x, 10);
        worst = std::max({worst, std::abs(qRed(want) - qRed(got)), std::abs(qGreen(want) - qGreen(got)),
                          std::abs(qBlue(want) - qBlue(got))});
    }
    // The quantizer works in steps of 8 per channel; a fixed 216-colour palette errs by up to 25.
    EXPECT_LE(worst, 8);
}

}  // namespace
