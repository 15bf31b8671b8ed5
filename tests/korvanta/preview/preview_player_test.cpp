// PreviewPlayer on real DV AVI files, through the registered filter modules
// and the platform's graph: what it shows after opening, its thumbnails
// against ffmpeg's decode, seeking, stepping, scrubbing, the end of the
// file, several players with their own sound, and files it must refuse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include "korvanta/core/settings.h"
#include "korvanta/preview/preview_player.h"
#include "media_tools.h"
#include "preview_files.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using kvtest::Eventually;
using kvtest::PreviewFile;

constexpr double kTolerance = 6.0;  // mean per channel, out of 255

class PreviewPlayerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { folder_ = std::make_unique<kvtest::TempDir>(); }
    static void TearDownTestSuite() { folder_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(kvtest::RegisterPlayerFilters());
        SetSetting(SettingId::VideoResolution, {{}, 0}, false);
        SetSetting(SettingId::MuteAll, {{}, 0}, false);
        list_.resize(900, 400);
        list_.show();
    }
    std::filesystem::path File(PreviewFile kind) { return kvtest::MakePreviewFile(folder_->path(), kind); }
    std::unique_ptr<PreviewPlayer> Open(PreviewFile kind, int row = 0) {
        auto player = std::make_unique<PreviewPlayer>();
        EXPECT_TRUE(player->Open(File(kind), &list_, row));
        return player;
    }
    // The frame the player shows, grabbed at full size, against ffmpeg's.
    double Difference(PreviewPlayer& player, PreviewFile kind, int frame) {
        const QImage shown = player.GrabFrame(player.CurrentFrame(), 0);
        return kvtest::PictureDifference(shown, kvtest::FfmpegFrame(File(kind), frame, shown.width(), shown.height()));
    }

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    QWidget list_;
    static inline std::unique_ptr<kvtest::TempDir> folder_;
};

TEST_F(PreviewPlayerTest, OpensOnFrameZeroWithTheFiveThumbnailsOfEachKindOfFile) {
    struct Case {
        PreviewFile kind;
        std::int64_t lastFrame;
        bool wide, is576;
        int frameMs;
    };
    for (const Case& c : {Case{PreviewFile::OurType1Pal, 74, false, true, 40},
                          Case{PreviewFile::FfmpegType2NtscWide, 39, true, false, 33},
                          Case{PreviewFile::OurType2OneFrame, 0, false, true, 40}}) {
        SCOPED_TRACE(File(c.kind).filename().string());
        auto player = Open(c.kind);
        EXPECT_EQ(player->CurrentFrame(), 0);
        EXPECT_EQ(player->LastFrame(), c.lastFrame);
        EXPECT_EQ(player->IsWide(), c.wide);
        EXPECT_EQ(player->Is576Line(), c.is576);
        EXPECT_EQ(player->FrameDuration(), c.frameMs);
        EXPECT_FALSE(player->IsRunning());
        EXPECT_EQ(player->ThumbnailWidth(), 180);  // full decode, a quarter of it
        EXPECT_EQ(player->DisplayHeight(), c.wide ? 202 : 270);

        player->Layout(0, 0, 900);
        EXPECT_EQ(player->VideoRect().width(), 142);
        const std::int64_t last = c.lastFrame;
        const std::int64_t frames[] = {0, last / 4, last / 2, last * 3 / 4, last};
        for (int i = 0; i < PreviewPlayer::kThumbnails; ++i) {
            const QImage& thumbnail = player->GetThumbnails()[i];
            ASSERT_FALSE(thumbnail.isNull()) << i;
            EXPECT_EQ(thumbnail.size(), QSize(180, c.is576 ? 144 : 120));
            const QImage want = kvtest::FfmpegFrame(File(c.kind), int(frames[i]), 720, c.is576 ? 576 : 480);
            EXPECT_LT(kvtest::PictureDifference(thumbnail, want), kTolerance) << "thumbnail " << i;
        }
        // Making the thumbnails leaves frame 0 on show.
        EXPECT_EQ(player->CurrentFrame(), 0);
        EXPECT_LT(Difference(*player, c.kind, 0), kTolerance);
    }
}

TEST_F(PreviewPlayerTest, SeeksClampStepsAndScrubsOverTheThumbnails) {
    auto player = Open(PreviewFile::OurType1Pal);
    player->Layout(0, 0, 900);

    player->SeekTo(1000);
    EXPECT_EQ(player->CurrentFrame(), 74);
    EXPECT_LT(Difference(*player, PreviewFile::OurType1Pal, 74), kTolerance);
    player->SeekTo(-5);
    EXPECT_EQ(player->CurrentFrame(), 0);
    player->SeekTo(50, 100);  // a slider of 100 over 74 frames
    EXPECT_EQ(player->CurrentFrame(), 37);
    EXPECT_LT(Difference(*player, PreviewFile::OurType1Pal, 37), kTolerance);

    player->Step(3);
    EXPECT_EQ(player->CurrentFrame(), 40);
    player->Step(-1);
    EXPECT_EQ(player->CurrentFrame(), 39);
    EXPECT_LT(Difference(*player, PreviewFile::OurType1Pal, 39), kTolerance);

    // Running, a step moves by half a second's frames from where playing got to.
    player->SeekTo(5);
    player->Run();
    player->Step(1);
    EXPECT_GE(player->CurrentFrame(), 5 + 12);
    player->Pause();

    const auto& rects = player->ThumbnailRects();
    player->ScrubAt(QPoint(rects[0].left() + 1, rects[0].center().y()), true);
    EXPECT_TRUE(player->IsScrubbing());
    EXPECT_EQ(player->CurrentFrame(), 0);
    player->ScrubAt(QPoint(2000, 5000), false);  // the drag goes on outside the strip
    EXPECT_EQ(player->CurrentFrame(), 74);
    player->ScrubAt((rects[0].center() + rects[4].center()) / 2, false);
    EXPECT_NEAR(double(player->CurrentFrame()), 37.0, 1.0);
    player->EndScrub();
    player->ScrubAt(QPoint(rects[0].left() - 20, rects[0].center().y()), true);  // on the video, not the strip
    EXPECT_FALSE(player->IsScrubbing());
    EXPECT_NEAR(double(player->CurrentFrame()), 37.0, 1.0);

    // The enlarged view takes the video window and gives it back.
    const QList<QWidget*> own = list_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(own.size(), 1);
    QWidget* video = own.front();
    player->ShowEnlarged(list_.mapToGlobal(player->VideoRect().center()));
    EXPECT_NE(video->parentWidget(), &list_);
    EXPECT_EQ(video->size(), QSize(player->DisplayWidth(), player->DisplayHeight()));
    player->CloseEnlarged();
    EXPECT_EQ(video->parentWidget(), &list_);
    EXPECT_EQ(video->geometry(), player->VideoRect());
    EXPECT_TRUE(video->isVisible());
}

TEST_F(PreviewPlayerTest, PlayingToTheEndPausesOnTheLastFrameAndPlaysAgainFromThere) {
    auto player = Open(PreviewFile::FfmpegType2NtscWide);
    player->SeekTo(30);
    player->Run();
    EXPECT_TRUE(player->IsRunning());
    ASSERT_TRUE(Eventually([&] { return player->HandleGraphEvents(); }));
    EXPECT_FALSE(player->IsRunning());
    EXPECT_EQ(player->CurrentFrame(), 39);
    EXPECT_LT(Difference(*player, PreviewFile::FfmpegType2NtscWide, 39), kTolerance);
}

TEST_F(PreviewPlayerTest, SeveralPlayersPlayAtOnceEachWithItsOwnSound) {
    auto first = Open(PreviewFile::OurType1Pal, 0);
    auto second = Open(PreviewFile::FfmpegType2NtscWide, 1);
    auto silent = Open(PreviewFile::OurType2Silent, 2);
    ASSERT_TRUE(first->HasSound() && second->HasSound());
    EXPECT_FALSE(silent->HasSound());
    for (auto* player : {first.get(), second.get(), silent.get()}) player->Run();

    second->ToggleSound();
    EXPECT_EQ(first->Volume(), 0);
    EXPECT_EQ(second->Volume(), -10000);
    EXPECT_TRUE(Eventually([&] { return first->Levels()[0] > 0.01; }));
    EXPECT_EQ(silent->Levels()[0], 0.0);
    silent->ToggleSound();  // nothing to mute
    EXPECT_EQ(silent->Volume(), 0);

    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    first->OnSettingChanged(SettingId::MuteAll);
    second->OnSettingChanged(SettingId::MuteAll);
    EXPECT_EQ(first->Volume(), -10000);
    second->ToggleSound();  // its own sound comes back only without MuteAll
    EXPECT_EQ(second->Volume(), -10000);
    SetSetting(SettingId::MuteAll, {{}, 0}, false);
    first->OnSettingChanged(SettingId::MuteAll);
    second->OnSettingChanged(SettingId::MuteAll);
    EXPECT_EQ(first->Volume(), 0);
    EXPECT_EQ(second->Volume(), 0);
    for (auto* player : {first.get(), second.get(), silent.get()}) EXPECT_TRUE(player->IsRunning());
}

TEST_F(PreviewPlayerTest, RefusesFilesThatAreNotPlayableDv) {
    const auto good = kvtest::ReadFileBytes(File(PreviewFile::OurType1Pal));
    const auto write = [&](const char* name, std::vector<BYTE> bytes) {
        const auto path = folder_->path() / name;
        kvtest::WriteFileBytes(path, bytes);
        return path;
    };
    std::vector<BYTE> garbage(good.begin(), good.begin() + 4096);
    for (std::size_t i = 0; i < 300000; ++i) garbage.push_back(BYTE(i * 7919 >> 3));
    const auto mjpeg = folder_->path() / "mjpeg.avi";
    kvtest::RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -frames:v 5 -c:v mjpeg '" +
                       mjpeg.string() + "'");
    for (const auto& path : {write("truncated.avi", {good.begin(), good.begin() + 20000}),
                             write("garbage.avi", garbage), mjpeg, write("empty.avi", {}),
                             folder_->path() / "missing.avi"}) {
        SCOPED_TRACE(path.filename().string());
        PreviewPlayer player;
        EXPECT_FALSE(player.Open(path, &list_, 0));
    }
}

TEST_F(PreviewPlayerTest, ChangingTheVideoResolutionResizesTheDecodeAndKeepsTheFrame) {
    auto player = Open(PreviewFile::OurType1Pal);
    player->SeekTo(20);
    SetSetting(SettingId::VideoResolution, {{}, 2}, false);
    player->OnSettingChanged(SettingId::VideoResolution);
    EXPECT_EQ(player->DecodedWidth(), 180);
    EXPECT_EQ(player->ThumbnailWidth(), 180);
    EXPECT_EQ(player->CurrentFrame(), 20);
    const QImage quarter = player->GrabFrame(20, 2);
    EXPECT_EQ(quarter.size(), QSize(180, 144));
    EXPECT_LT(kvtest::PictureDifference(quarter, kvtest::FfmpegFrame(File(PreviewFile::OurType1Pal), 20, 720, 576)),
              kTolerance);
}

}  // namespace
