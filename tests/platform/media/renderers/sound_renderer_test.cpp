// The sound renderer: PCM plays (through the silent output on a machine
// without sound) at about real time and the graph completes; volume keeps
// the IBasicAudio scale and limits; stopping never waits for the sound.
#include <QCoreApplication>

#include <chrono>
#include <thread>

#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/formats.h"
#include "platform/media/renderers/audio_volume.h"
#include "platform/media/renderers/silent_audio_output.h"
#include "platform/media/uuids.h"
#include "renderer_fixture.h"

namespace kvtest {
namespace {

using std::chrono::steady_clock;

constexpr REFERENCE_TIME kTenthOfASecond = 1'000'000;

// One second of sound in tenths.
PushSourceConfig OneSecond(DWORD rate, WORD channels, WORD bits) {
    PushSourceConfig config;
    config.type = PcmType(rate, channels, bits);
    config.sampleSize = static_cast<LONG>(rate * channels * bits / 8 / 10);
    config.sampleCount = 10;
    config.frameDuration = kTenthOfASecond;
    return config;
}

class SoundRendererTest : public RendererGraph {
protected:
    void SetUp() override {
        MakeGraph(CLSID_DSoundRender);
        ASSERT_EQ(renderer.As(&audio), S_OK);
    }

    ComPtr<IBasicAudio> audio;
};

TEST_F(SoundRendererTest, PlaysPcmAtAboutRealTimeAndCompletes) {
    for (const WORD bits : {WORD{16}, WORD{8}}) {
        ASSERT_EQ(ConnectSource(OneSecond(48000, bits == 16 ? 2 : 1, bits)), S_OK);
        const auto start = steady_clock::now();
        EXPECT_EQ(RunToCompletion(10000), EC_COMPLETE) << bits << "-bit";
        const auto took = steady_clock::now() - start;
        EXPECT_GT(took, std::chrono::milliseconds(500)) << bits << "-bit";
        EXPECT_LT(took, std::chrono::seconds(3)) << bits << "-bit";
        ASSERT_EQ(control->Stop(), S_OK);
        graph->RemoveFilter(source.Get());
    }
}

// With a Qt application the renderer asks Qt for the sound device; whatever
// this machine answers, the sound plays in time and the graph completes.
TEST_F(SoundRendererTest, PlaysWithAQtApplicationRunning) {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QCoreApplication application(argc, argv);
    ASSERT_EQ(ConnectSource(OneSecond(44100, 2, 16)), S_OK);
    const auto start = steady_clock::now();
    EXPECT_EQ(RunToCompletion(10000), EC_COMPLETE);
    EXPECT_GT(steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(SoundRendererTest, KeepsPaceWithoutAGraphClock) {
    ComPtr<IMediaFilter> asFilter;
    ASSERT_EQ(graph.As(&asFilter), S_OK);
    ASSERT_EQ(ConnectSource(OneSecond(32000, 2, 16)), S_OK);
    ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);
    const auto start = steady_clock::now();
    EXPECT_EQ(RunToCompletion(10000), EC_COMPLETE);
    EXPECT_GT(steady_clock::now() - start, std::chrono::milliseconds(500));
}

// A new format mid-stream (the camcorder switched from 48 to 32 kHz) gets an
// output of its own and the stream still plays to its end.
TEST_F(SoundRendererTest, FollowsAFormatChangeMidStream) {
    PushSourceConfig config = OneSecond(48000, 2, 16);
    config.changeTypeAt = 5;
    config.changedType = PcmType(32000, 2, 16);
    ASSERT_EQ(ConnectSource(config), S_OK);
    EXPECT_EQ(RunToCompletion(10000), EC_COMPLETE);
}

TEST_F(SoundRendererTest, StopsPromptlyWhileSoundIsPlaying) {
    PushSourceConfig endless = OneSecond(48000, 2, 16);
    endless.sampleCount = -1;
    ASSERT_EQ(ConnectSource(endless), S_OK);
    ComPtr<IMediaFilter> asFilter;
    ASSERT_EQ(graph.As(&asFilter), S_OK);
    ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);  // only the output holds the stream back
    ASSERT_EQ(control->Run(), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto before = steady_clock::now();
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_LT(steady_clock::now() - before, std::chrono::seconds(2));
}

TEST_F(SoundRendererTest, RefusesWhatIsNotEightOrSixteenBitPcm) {
    CMediaType twentyFour = PcmType(48000, 2, 24);
    CMediaType badBlockAlign = PcmType(48000, 2, 16);
    reinterpret_cast<WAVEFORMATEX*>(badBlockAlign.Format())->nBlockAlign = 3;
    CMediaType noRate = PcmType(0, 2, 16);
    CMediaType video = Rgb32Type(4, 2);
    for (const CMediaType* type : {&twentyFour, &badBlockAlign, &noRate, &video}) {
        PushSourceConfig config = OneSecond(48000, 2, 16);
        config.type = *type;
        EXPECT_TRUE(FAILED(ConnectSource(config)));
        graph->RemoveFilter(source.Get());
    }
}

TEST_F(SoundRendererTest, VolumeInHundredthsOfADecibel) {
    LONG volume = -1;
    EXPECT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, 0);
    for (const LONG value : {-10000, -2500, 0}) {
        EXPECT_EQ(audio->put_Volume(value), S_OK);
        EXPECT_EQ(audio->get_Volume(&volume), S_OK);
        EXPECT_EQ(volume, value);
    }
    EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(audio->get_Volume(nullptr), E_POINTER);

    // The program mutes and restores through the graph.
    ComPtr<IBasicAudio> throughGraph;
    ASSERT_EQ(graph.As(&throughGraph), S_OK);
    EXPECT_EQ(throughGraph->put_Volume(-10000), S_OK);
    EXPECT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -10000);
}

TEST_F(SoundRendererTest, BalanceIsKeptWithinItsRange) {
    LONG balance = 1;
    EXPECT_EQ(audio->get_Balance(&balance), S_OK);
    EXPECT_EQ(balance, 0);
    EXPECT_EQ(audio->put_Balance(-10000), S_OK);
    EXPECT_EQ(audio->get_Balance(&balance), S_OK);
    EXPECT_EQ(balance, -10000);
    EXPECT_EQ(audio->put_Balance(10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Balance(-10001), E_INVALIDARG);
}

TEST(AudioVolume, DecibelsBecomeAmplitude) {
    EXPECT_EQ(LinearVolume(kVolumeSilence), 0.0);
    EXPECT_EQ(LinearVolume(kVolumeFull), 1.0);
    EXPECT_NEAR(LinearVolume(-2000), 0.1, 1e-9);   // -20 dB
    EXPECT_NEAR(LinearVolume(-600), 0.501, 1e-3);  // -6 dB, about half
}

TEST(SilentAudioOutput, AbortReleasesAWaitingWriterAndDrain) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
    SilentAudioOutput output(format);
    const std::vector<BYTE> tenSeconds(80000);
    ASSERT_TRUE(output.Write(tenSeconds.data(), tenSeconds.size()));
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        output.Abort();
    });
    const auto before = steady_clock::now();
    EXPECT_FALSE(output.Write(tenSeconds.data(), tenSeconds.size()));
    output.Drain();
    EXPECT_LT(steady_clock::now() - before, std::chrono::seconds(3));
    stopper.join();
    EXPECT_FALSE(output.Write(tenSeconds.data(), 1));
}

}  // namespace
}  // namespace kvtest
