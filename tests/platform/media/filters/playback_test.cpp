// Playback of DV AVI files as the preview players drive it: one graph per
// file (RenderFile with the DV decoder already in it), opened paused, seeking
// while paused and running, playing to the end and again. Run on type 1 and
// type 2 written by our AVI writer and on type 2 written by the `ffmpeg`
// command; what the video window shows is compared with ffmpeg's decode of
// the same frame of the same file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dv_avi_files.h"
#include "media_tools.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/utf.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/filters/dvdec/iipdvdec.h"
#include "platform/media/filters/platform_filters.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/uuids.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr int kFrames = 75;  // three seconds
constexpr int kWidth = 720;
constexpr int kHeight = 576;

enum class Maker { OursType1, OursType2, Ffmpeg };

std::string MakerName(const testing::TestParamInfo<Maker>& info) {
    switch (info.param) {
        case Maker::OursType1: return "OurType1";
        case Maker::OursType2: return "OurType2";
        case Maker::Ffmpeg: return "FfmpegType2";
    }
    return "";
}

// The file of this kind in the folder, made once.
std::filesystem::path MakeFile(const std::filesystem::path& folder, Maker maker) {
    const auto path = folder / (MakerName({maker, 0}) + ".avi");
    if (std::filesystem::exists(path)) return path;
    if (maker == Maker::Ffmpeg) {
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine -t 3 "
            "-c:v dvvideo -pix_fmt yuv420p -c:a pcm_s16le -ar 48000 -ac 2 '" + path.string() + "'";
        EXPECT_EQ(kvtest::RunCommand(command).exitCode, 0);
        return path;
    }
    const auto clip = kvtest::MakeDvClip(folder, {.pal = true, .sampleRate = 48000, .frames = kFrames});
    const auto frames = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 144000);
    std::vector<std::vector<BYTE>> pcm;
    for (const auto& frame : frames) {
        pcm.emplace_back();
        ExtractDvAudio(frame, pcm.back(), nullptr);
    }
    kvtest::WriteDvAvi(path, maker == Maker::OursType1 ? DvAviType::Type1 : DvAviType::Type2, frames, pcm);
    return path;
}

// Mean difference per colour byte between the picture and BGRA pixels.
double Difference(const QImage& picture, const std::vector<BYTE>& bgra) {
    if (picture.width() != kWidth || picture.height() != kHeight || bgra.size() != std::size_t(kWidth * kHeight * 4))
        return 255;
    double total = 0;
    for (int y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const BYTE*>(picture.constScanLine(y));
        const BYTE* want = bgra.data() + std::size_t(y) * kWidth * 4;
        for (int x = 0; x < kWidth * 4; ++x)
            if (x % 4 != 3) total += std::abs(int(row[x]) - int(want[x]));
    }
    return total / (kWidth * kHeight * 3.0);
}

// One player: the file rendered into a graph whose video window sits in a widget at full size.
class Player {
public:
    Player(const std::filesystem::path& file, QWidget* owner) {
        EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.GetVoidAddress()),
                  S_OK);
        ComPtr<IBaseFilter> decoder;
        EXPECT_EQ(CoCreateInstance(CLSID_DVVideoCodec, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   decoder.GetVoidAddress()),
                  S_OK);
        ComPtr<IIPDVDec> size;
        EXPECT_EQ(decoder.As(&size), S_OK);
        EXPECT_EQ(size->put_IPDisplay(DVRESOLUTION_FULL), S_OK);
        EXPECT_EQ(graph->AddFilter(decoder.Get(), u"DV Decoder"), S_OK);
        EXPECT_EQ(graph->RenderFile(Utf8ToUtf16(file.string()).c_str(), nullptr), S_OK);
        EXPECT_EQ(graph.As(&control), S_OK);
        EXPECT_EQ(graph.As(&seeking), S_OK);
        EXPECT_EQ(graph.As(&events), S_OK);
        EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
        ComPtr<IVideoWindow> window;
        EXPECT_EQ(graph.As(&window), S_OK);
        if (owner && window) {
            window->put_Owner(OaHwndFromWidget(owner));
            window->SetWindowPosition(0, 0, kWidth, kHeight);
            window->put_Visible(OATRUE);
        }
    }
    ~Player() {
        if (control) control->Stop();
    }

    LONGLONG Position() {
        LONGLONG frame = -1;
        EXPECT_EQ(seeking->GetCurrentPosition(&frame), S_OK);
        return frame;
    }
    HRESULT Seek(LONGLONG frame, DWORD how = AM_SEEKING_AbsolutePositioning) {
        return seeking->SetPositions(&frame, how, nullptr, AM_SEEKING_NoPositioning);
    }
    // Paused and every renderer holding its first sample.
    bool PauseFully() {
        OAFilterState state = -1;
        return SUCCEEDED(control->Pause()) && control->GetState(10'000, &state) == S_OK && state == State_Paused;
    }
    bool Completes() {
        LONG code = 0;
        return events->WaitForCompletion(20'000, &code) == S_OK && code == EC_COMPLETE;
    }
    ComPtr<IBaseFilter> Filter(REFCLSID clsid) {
        ComPtr<IEnumFilters> filters;
        graph->EnumFilters(filters.GetAddressOf());
        for (ComPtr<IBaseFilter> filter; filters->Next(1, filter.GetAddressOf(), nullptr) == S_OK; filter.Reset()) {
            CLSID own{};
            filter->GetClassID(&own);
            if (own == clsid) return filter;
        }
        return nullptr;
    }
    // The media time the renderer of this kind presented last.
    REFERENCE_TIME RendererTime(REFCLSID clsid) {
        ComPtr<IMediaSeeking> renderer;
        if (ComPtr<IBaseFilter> filter = Filter(clsid); !filter || FAILED(filter.As(&renderer))) return -1;
        GUID format = TIME_FORMAT_MEDIA_TIME;
        LONGLONG frame = -1, time = -1;
        renderer->GetCurrentPosition(&frame);
        renderer->GetTimeFormat(&format);
        renderer->ConvertTimeFormat(&time, &TIME_FORMAT_MEDIA_TIME, frame, &format);
        return time;
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    ComPtr<IMediaEvent> events;
};

class PlaybackTest : public testing::TestWithParam<Maker> {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(KvRegisterPlatformFilterData(true), S_OK);
        ASSERT_EQ(KvRegisterRendererFilterData(true), S_OK);
        folder_ = std::make_unique<kvtest::TempDir>();
    }
    static void TearDownTestSuite() {
        folder_.reset();
        KvRegisterRendererFilterData(false);
        KvRegisterPlatformFilterData(false);
    }
    void SetUp() override {
        file_ = MakeFile(folder_->path(), GetParam());
        owner_.resize(kWidth, kHeight);
        owner_.show();
        player_ = std::make_unique<Player>(file_, &owner_);
    }
    void TearDown() override { player_.reset(); }

    // Waits (up to ten seconds) until the video window shows ffmpeg's frame `frame` of the file.
    ::testing::AssertionResult Shows(int frame) {
        auto [cached, made] = pictures_.try_emplace(frame);
        if (made) cached->second = kvtest::FfmpegPicture(file_, frame);
        const std::vector<BYTE>& want = cached->second;
        const auto deadline = Clock::now() + 10s;
        double difference = 255;
        do {
            QCoreApplication::processEvents();
            const QList<QWidget*> children = owner_.findChildren<QWidget*>();
            if (children.size() == 1)
                difference = Difference(children.front()->grab().toImage().convertToFormat(QImage::Format_RGB32), want);
            if (difference < 2.0) return ::testing::AssertionSuccess();
            std::this_thread::sleep_for(5ms);
        } while (Clock::now() < deadline);
        return ::testing::AssertionFailure() << "frame " << frame << " not shown; differs by " << difference;
    }

    // Waits until the position reaches `frame`; the time it took, or -1 s.
    std::chrono::duration<double> TimeToReach(LONGLONG frame) {
        const auto start = Clock::now();
        while (player_->Position() < frame) {
            if (Clock::now() - start > 20s) return -1s;
            std::this_thread::sleep_for(2ms);
        }
        return Clock::now() - start;
    }

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    QWidget owner_;
    std::filesystem::path file_;
    std::map<int, std::vector<BYTE>> pictures_;  // ffmpeg's decode of the file, by frame
    std::unique_ptr<Player> player_;
    static inline std::unique_ptr<kvtest::TempDir> folder_;
};

TEST_P(PlaybackTest, OpensOnFrameZeroAndShowsEachFrameSoughtWhilePaused) {
    ASSERT_TRUE(player_->PauseFully());
    EXPECT_TRUE(Shows(0));
    EXPECT_EQ(player_->Position(), 0);

    for (const int frame : {40, 7, 74}) {
        ASSERT_EQ(player_->Seek(frame), S_OK);
        ASSERT_TRUE(player_->PauseFully());
        EXPECT_TRUE(Shows(frame));
        EXPECT_EQ(player_->Position(), frame);
    }
    // Relative to the frame on show, once.
    ASSERT_EQ(player_->Seek(40), S_OK);
    ASSERT_EQ(player_->Seek(10, AM_SEEKING_RelativePositioning), S_OK);
    ASSERT_TRUE(player_->PauseFully());
    EXPECT_EQ(player_->Position(), 50);
    EXPECT_TRUE(Shows(50));
}

TEST_P(PlaybackTest, RunsFromTheFrameSoughtInRealTimeWithSoundInStep) {
    ASSERT_TRUE(player_->PauseFully());
    ASSERT_EQ(player_->Seek(10), S_OK);
    ASSERT_TRUE(player_->PauseFully());
    ASSERT_EQ(player_->control->Run(), S_OK);
    // 25 frames take about a second: not a burst.
    const auto second = TimeToReach(35);
    EXPECT_GT(second.count(), 0.8);
    const REFERENCE_TIME picture = player_->RendererTime(CLSID_VideoRenderer);
    const REFERENCE_TIME sound = player_->RendererTime(CLSID_DSoundRender);
    EXPECT_NEAR(double(picture), double(sound), 2'000'000.0) << "picture and sound apart";

    // A seek while running goes on from the new frame at the same pace.
    ASSERT_EQ(player_->Seek(5), S_OK);
    const LONGLONG after = player_->Position();
    EXPECT_GE(after, 5);
    EXPECT_LT(after, 12);
    EXPECT_GT(TimeToReach(15).count(), 0.3);
}

TEST_P(PlaybackTest, CompletesAgainAfterASeekBackWithoutStop) {
    ASSERT_EQ(player_->Seek(62), S_OK);
    ASSERT_EQ(player_->control->Run(), S_OK);
    EXPECT_TRUE(player_->Completes());
    EXPECT_EQ(player_->Position(), kFrames - 1);

    ASSERT_EQ(player_->Seek(68), S_OK);
    EXPECT_TRUE(player_->Completes());
    EXPECT_TRUE(Shows(kFrames - 1));
}

TEST_P(PlaybackTest, PausesAndRunsAHundredTimes) {
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(player_->control->Run(), S_OK) << round;
        ASSERT_TRUE(player_->PauseFully()) << round;
    }
    // Still where it paused, and able to go on.
    const LONGLONG here = player_->Position();
    ASSERT_EQ(player_->Seek(here + 1), S_OK);
    ASSERT_TRUE(player_->PauseFully());
    EXPECT_EQ(player_->Position(), here + 1);
}

// From stopped, each pause brings the frame sought through to the window,
// also when the run before ended its one-frame span (as a frame grab plays
// it) with an end of stream still on its way while the graph stopped.
TEST_P(PlaybackTest, PausesFromStoppedWithTheFrameSoughtOnTheWindow) {
    for (int round = 0; round < 30; ++round) {
        LONGLONG frame = round % 2 ? 40 : 10;
        LONGLONG stop = frame;
        ASSERT_EQ(player_->control->Stop(), S_OK);
        ASSERT_EQ(player_->seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop,
                                                 AM_SEEKING_AbsolutePositioning),
                  S_OK);
        ASSERT_TRUE(player_->PauseFully()) << round;
        ASSERT_TRUE(Shows(int(frame))) << round;
        // Again from stopped without a seek: the same span plays again.
        ASSERT_EQ(player_->control->Stop(), S_OK);
        ASSERT_TRUE(player_->PauseFully()) << round;
        ASSERT_EQ(player_->Position(), frame) << round;
    }
}

TEST_P(PlaybackTest, RemovingTheSourceWhilePausedReturns) {
    ASSERT_TRUE(player_->PauseFully());
    ComPtr<IBaseFilter> source = player_->Filter(CLSID_AviSplitter);
    ASSERT_TRUE(source);
    EXPECT_EQ(player_->graph->RemoveFilter(source.Get()), S_OK);
    OAFilterState state = -1;
    EXPECT_TRUE(SUCCEEDED(player_->control->GetState(1000, &state)));
    EXPECT_EQ(state, State_Paused);
}

INSTANTIATE_TEST_SUITE_P(Files, PlaybackTest, testing::Values(Maker::OursType1, Maker::OursType2, Maker::Ffmpeg),
                         MakerName);

// Four rows playing their files at once, as a list of scenes does.
TEST(PlaybackTogetherTest, FourGraphsPlayToTheirEndsAtOnce) {
    ASSERT_EQ(KvRegisterPlatformFilterData(true), S_OK);
    ASSERT_EQ(KvRegisterRendererFilterData(true), S_OK);
    {
        kvtest::TempDir folder;
        std::vector<std::unique_ptr<Player>> players;
        for (const Maker maker : {Maker::OursType1, Maker::OursType2, Maker::Ffmpeg, Maker::OursType1})
            players.push_back(std::make_unique<Player>(MakeFile(folder.path(), maker), nullptr));
        for (auto& player : players) ASSERT_EQ(player->Seek(50), S_OK);
        for (auto& player : players) ASSERT_EQ(player->control->Run(), S_OK);
        for (auto& player : players) {
            EXPECT_TRUE(player->Completes());
            EXPECT_EQ(player->Position(), kFrames - 1);
        }
    }
    EXPECT_EQ(KvRegisterRendererFilterData(false), S_OK);
    EXPECT_EQ(KvRegisterPlatformFilterData(false), S_OK);
}

}  // namespace
