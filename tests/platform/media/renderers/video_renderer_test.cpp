// The video renderer in a graph: frames from a push source reach its widget
// in the right row order, scaled to the window; sizes come from the format;
// a format change mid-stream and a stop while a frame waits are handled.
#include <QApplication>
#include <QImage>
#include <QWidget>

#include <chrono>
#include <thread>

#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/formats.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/uuids.h"
#include "renderer_fixture.h"

namespace kvtest {
namespace {

// One QApplication per test, made before the graph and gone after it.
struct WithApplication {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QApplication application{argc, argv};
};

constexpr LONG kWidth = 4;
constexpr LONG kHeight = 2;
constexpr REFERENCE_TIME kTenMilliseconds = 100000;

PushSourceConfig Frames(LONG width, LONG height, LONG count) {
    PushSourceConfig config;
    config.type = Rgb32Type(width, height);
    config.sampleSize = width * height * 4;
    config.sampleCount = count;
    config.frameDuration = kTenMilliseconds;
    config.writePattern = true;
    return config;
}

// The colour the pattern source gives pixel (x, y) of frame n, y counted from
// the top of the picture: DIB rows are stored bottom row first.
QRgb PatternPixel(LONG n, LONG width, LONG height, LONG x, LONG y) {
    const LONG offset = ((height - 1 - y) * width + x) * 4;
    return qRgb(PatternByte(n, offset + 2), PatternByte(n, offset + 1), PatternByte(n, offset));
}

class VideoRendererTest : public WithApplication, public RendererGraph {
protected:
    void SetUp() override {
        MakeGraph(CLSID_VideoRenderer);
        ASSERT_EQ(renderer.As(&window), S_OK);
        ASSERT_EQ(renderer.As(&video), S_OK);
        owner.resize(200, 100);
        owner.show();
    }

    // Places the renderer's window in the owner and returns it.
    QWidget* ShowIn(LONG width, LONG height) {
        EXPECT_EQ(window->put_Owner(OaHwndFromWidget(&owner)), S_OK);
        EXPECT_EQ(window->SetWindowPosition(0, 0, width, height), S_OK);
        EXPECT_EQ(window->put_Visible(OATRUE), S_OK);
        const QList<QWidget*> children = owner.findChildren<QWidget*>();
        return children.size() == 1 ? children.front() : nullptr;
    }

    // What the window shows once the frames posted to the interface thread have arrived.
    QImage Shown(QWidget* widget) {
        QCoreApplication::sendPostedEvents();
        return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QWidget owner;
    ComPtr<IVideoWindow> window;
    ComPtr<IBasicVideo> video;
};

TEST_F(VideoRendererTest, ShowsTheLastFrameWithTheFirstDibRowAtTheBottom) {
    QWidget* shown = ShowIn(kWidth, kHeight);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(ConnectSource(Frames(kWidth, kHeight, 5)), S_OK);
    ASSERT_EQ(RunToCompletion(5000), EC_COMPLETE);

    const QImage image = Shown(shown);
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x)
            EXPECT_EQ(image.pixel(x, y), PatternPixel(4, kWidth, kHeight, x, y)) << x << "," << y;
}

TEST_F(VideoRendererTest, ScalesTheFrameIntoTheWholeWindow) {
    QWidget* shown = ShowIn(kWidth * 10, kHeight * 10);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(ConnectSource(Frames(kWidth, kHeight, 1)), S_OK);
    ASSERT_EQ(RunToCompletion(5000), EC_COMPLETE);

    const QImage image = Shown(shown);
    ASSERT_EQ(image.size(), QSize(kWidth * 10, kHeight * 10));
    // Corners come from the frame's corners (smoothing may blend a little).
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 &&
               std::abs(qBlue(a) - qBlue(b)) < 12;
    };
    EXPECT_TRUE(near(image.pixel(0, 0), PatternPixel(0, kWidth, kHeight, 0, 0)));
    EXPECT_TRUE(near(image.pixel(39, 19), PatternPixel(0, kWidth, kHeight, kWidth - 1, kHeight - 1)));
}

TEST_F(VideoRendererTest, SizesComeFromTheConnectionFormat) {
    LONG width = 0, height = 0;
    EXPECT_EQ(video->GetVideoSize(&width, &height), VFW_E_NOT_CONNECTED);
    ASSERT_EQ(ConnectSource(Frames(kWidth, kHeight, 1)), S_OK);
    ASSERT_EQ(video->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_EQ(video->get_SourceWidth(&width), S_OK);
    EXPECT_EQ(video->get_SourceHeight(&height), S_OK);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);

    // The program reads them through the graph, as video width and height.
    ComPtr<IBasicVideo> throughGraph;
    ASSERT_EQ(graph.As(&throughGraph), S_OK);
    EXPECT_EQ(throughGraph->get_VideoWidth(&width), S_OK);
    EXPECT_EQ(throughGraph->get_VideoHeight(&height), S_OK);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_EQ(video->GetVideoSize(nullptr, &height), E_POINTER);
}

TEST_F(VideoRendererTest, RefusesFramesItCannotShow) {
    CMediaType topDown = Rgb32Type(kWidth, -kHeight);
    CMediaType twentyFourBit = Rgb32Type(kWidth, kHeight);
    reinterpret_cast<VIDEOINFOHEADER*>(twentyFourBit.Format())->bmiHeader.biBitCount = 24;
    CMediaType shortFormat = Rgb32Type(kWidth, kHeight);
    shortFormat.AllocFormatBuffer(sizeof(VIDEOINFOHEADER) - 1);
    CMediaType notVideo = PcmType(48000, 2, 16);
    for (const CMediaType* type : {&topDown, &twentyFourBit, &shortFormat, &notVideo}) {
        PushSourceConfig config = Frames(kWidth, kHeight, 1);
        config.type = *type;
        EXPECT_TRUE(FAILED(ConnectSource(config)));
        graph->RemoveFilter(source.Get());
    }
}

TEST_F(VideoRendererTest, FollowsAFormatChangeMidStream) {
    QWidget* shown = ShowIn(2, 4);
    ASSERT_NE(shown, nullptr);
    PushSourceConfig config = Frames(kWidth, kHeight, 4);
    config.changeTypeAt = 2;
    config.changedType = Rgb32Type(2, 4);  // as many bytes, another shape
    ASSERT_EQ(ConnectSource(config), S_OK);
    ASSERT_EQ(RunToCompletion(5000), EC_COMPLETE);

    LONG width = 0, height = 0;
    ASSERT_EQ(video->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 4);
    const QImage image = Shown(shown);
    EXPECT_EQ(image.pixel(1, 0), PatternPixel(3, 2, 4, 1, 0));
    EXPECT_EQ(image.pixel(0, 3), PatternPixel(3, 2, 4, 0, 3));
}

TEST_F(VideoRendererTest, StopsPromptlyWhileAFrameWaitsForItsTime) {
    PushSourceConfig config = Frames(kWidth, kHeight, 3);
    config.frameDuration = 100'000'000;  // ten seconds apart
    ASSERT_EQ(ConnectSource(config), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
}

// Without a QApplication (a command-line tool) frames still stream and the
// window settings are kept; there is just nothing to show them in.
class VideoRendererWithoutApplication : public RendererGraph {};

TEST_F(VideoRendererWithoutApplication, StreamsAndKeepsTheSettings) {
    MakeGraph(CLSID_VideoRenderer);
    ComPtr<IVideoWindow> window;
    ASSERT_EQ(renderer.As(&window), S_OK);
    EXPECT_EQ(window->put_Owner(0x1234), S_OK);
    EXPECT_EQ(window->put_Visible(OATRUE), S_OK);
    ASSERT_EQ(ConnectSource(Frames(kWidth, kHeight, 3)), S_OK);
    EXPECT_EQ(RunToCompletion(5000), EC_COMPLETE);
    OAHWND owner = 0;
    EXPECT_EQ(window->get_Owner(&owner), S_OK);
    EXPECT_EQ(owner, 0x1234);
}

}  // namespace
}  // namespace kvtest
