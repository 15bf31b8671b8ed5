// CaptureEngine with CaptureSession in this process, as the capture window
// drives them: a virtual deck plays a short tape made by ffmpeg through the
// real capture graph, the filter modules and FileGraph into AVI files.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "korvanta/capture/capture_session.h"
#include "korvanta/capture/support/module_registration.h"
#include "korvanta/core/settings.h"
#include "platform/com/child_process.h"
#include "platform/com/objbase.h"
#include "platform/devices/deck_config.h"
#include "platform/devices/deck_devices.h"
#include "platform/devices/ieee1394/firewire_devices.h"
#include "platform/devices/ieee1394/fw_camcorder.h"
#include "fake_bus.h"
#include "korvanta/capture/device_list.h"
#include "platform/media/filters/avi/avi_reader.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/uuids.h"
#include "support/dv/dv_clips.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Frames = std::vector<std::vector<std::uint8_t>>;

// Registers the filter modules and the platform's filters once per process.
void RegisterEverything() {
    static const bool done = kvtest::RegisterCaptureModules() && KvMediaRegisterPlatformClasses() == S_OK &&
                             KvRegisterRendererClasses() == S_OK;
    ASSERT_TRUE(done);
}

template <class Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

struct Scene {
    kvtest::DvDateTime recorded;
    bool wide = false;
    int frames = 10;
    int sampleRate = 48000;
};

class RecordingHost final : public CaptureView, public CaptureSessionHost {
public:
    void SetUpSoundControls(HWND, ILevelProbe* meter) override { meterGiven = meter != nullptr; }
    void ShowSoundOn(bool) override {}
    void ThumbnailChanged(int) override {}
    void PostFinishedFile(std::unique_ptr<FinishedFileRecord> record) override { files.push_back(std::move(record)); }
    void ButtonsChanged(const CaptureButtons&) override {}
    void TransportChanged(LONG mode) override { modes.push_back(mode); }
    void CurrentFileChanged(const std::string&) override {}
    void WriteFailed(const std::string& name) override { failures.push_back(name); }
    void GraphRunFailed() override { ++runFailures; }

    bool meterGiven = false;
    std::vector<std::unique_ptr<FinishedFileRecord>> files;
    std::vector<LONG> modes;
    std::vector<std::string> failures;
    int runFailures = 0;
};

class CaptureEngineTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterEverything();
        SetSetting(SettingId::CaptureFolder, {folder.path().string(), 0}, false);
        SetSetting(SettingId::FileType, {{}, 1}, false);
        SetSetting(SettingId::CaptureResolution, {{}, 2}, false);
    }

    // A tape of the scenes, back to back, in a deck of its own.
    void PlugTape(const std::vector<Scene>& scenes, double speed) {
        int timecodeSeconds = 0;
        for (const Scene& scene : scenes) {
            kvtest::DvClipSpec recipe;
            recipe.creationTime = scene.recorded;
            recipe.wide = scene.wide;
            recipe.frames = scene.frames;
            recipe.sampleRate = scene.sampleRate;
            recipe.startTimeCode.seconds = timecodeSeconds;
            timecodeSeconds += 2;
            for (auto& frame : kvtest::MakeDvFrames(recipe)) tape.push_back(std::move(frame));
        }
        const fs::path tapePath = folder / "tape.dv";
        std::ofstream out(tapePath, std::ios::binary);
        for (const auto& frame : tape) out.write(reinterpret_cast<const char*>(frame.data()), frame.size());
        out.close();
        deck.name = "Engine deck";
        deck.tape = tapePath;
        deck.speed = speed;
        deck.deviceId = deck_store::NewDeviceId();
        std::string why;
        ASSERT_TRUE(deck_store::Add(deck, &why)) << why;
    }

    // Binds the deck, or the device with the identifier id.
    void StartEngine(std::optional<DeckDeviceId> id = std::nullopt) {
        engine = std::make_unique<CaptureEngine>(host);
        session = std::make_unique<CaptureSession>(*engine, host);
        ASSERT_TRUE(engine->CreateGraphs(nullptr, "Tape", 60));
        EXPECT_TRUE(host.meterGiven);
        ASSERT_TRUE(engine->StartPreview(id.value_or(deck.deviceId), deck.name));
        ASSERT_TRUE(engine->IsReady());
    }

    // Ticks as the window does until the deck has stopped at the tape's end.
    void TickUntilTapeEnds() {
        ASSERT_TRUE(Eventually([&] {
            session->Tick(true);
            return engine->TransportMode() == ED_MODE_STOP;
        }, 30s));
    }

    // Ticks until the stopped capture's last frames are written and its
    // files announced: a stop leaves that work to the ticks.
    void TickUntilWritten() {
        ASSERT_TRUE(Eventually([&] {
            session->Tick(true);
            return !engine->IsFinishingFiles() && session->PendingFinishedFiles() == 0;
        }));
    }

    Frames FramesOf(const FinishedFileRecord& record) const {
        AviReader reader;
        Frames frames;
        if (FAILED(reader.Open(fs::path(record.folder) / record.fileName))) return frames;
        for (std::uint64_t n = 0; n < reader.FrameCount(); ++n) {
            std::vector<BYTE> frame;
            reader.ReadFrame(n, frame);
            frames.push_back(frame);
        }
        return frames;
    }

    // The frames of each file of the tape of three scenes (two starting in
    // the same second), once their names are checked.
    std::vector<Frames> FilesOfTheThreeScenes() const {
        const char* names[] = {"Tape 20240501 100000.avi", "Tape 20240501 100000 (2).avi", "Tape 20240501 100200.avi"};
        EXPECT_EQ(host.files.size(), 3u);
        std::vector<Frames> files;
        for (std::size_t n = 0; n < host.files.size() && n < 3; ++n) {
            EXPECT_EQ(host.files[n]->fileName, names[n]);
            files.push_back(FramesOf(*host.files[n]));
        }
        return files;
    }

    ~CaptureEngineTest() override {
        session.reset();
        engine.reset();
        deck_store::Remove(deck.name);
    }

    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QApplication application{argc, argv};
    kvtest::TempDir folder;
    DeckDevices devices;
    DeckConfig deck;
    Frames tape;
    RecordingHost host;
    std::unique_ptr<CaptureEngine> engine;
    std::unique_ptr<CaptureSession> session;
};

// The capture stops long after the scenes were queued, with no tick in
// between: every queued frame still reaches its file, the later scenes'
// files included, and two scenes that start in the same second both survive
// under the names the file writer actually gave them.
TEST_F(CaptureEngineTest, AStopLongAfterTheSplitsWritesEveryQueuedFrameIntoItsOwnFile) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 10}, {{2024, 5, 1, 10, 0, 0}, true, 10}, {{2024, 5, 1, 10, 2, 0}, true, 10}},
             8.0);
    StartEngine();
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    // The deck plays the whole tape while nobody ticks: everything waits in the queue.
    std::this_thread::sleep_for(1500ms);
    session->StopNow();
    // The frame server's stop event comes with the next tick, as in the window.
    TickUntilWritten();

    const std::vector<Frames> files = FilesOfTheThreeScenes();
    Frames written;
    for (const Frames& frames : files) {
        EXPECT_EQ(frames.size(), 10u);
        written.insert(written.end(), frames.begin(), frames.end());
    }
    EXPECT_TRUE(written == tape) << "the files do not hold the tape's frames in order";
    EXPECT_EQ(session->PendingFinishedFiles(), 0u);
}

// The same tape through a camcorder on the 1394 bus (a fake bus, the
// deck's tape and transport behind it): bound by its GUID through the device
// enumerator, it gives the same files, names and frames, but for the tape's
// last frame, which the bus never delivers (a frame is complete only when
// the next one starts, and none follows the last).
TEST_F(CaptureEngineTest, ACamcorderOnTheBusGivesTheFilesOfTheVirtualDeck) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 10}, {{2024, 5, 1, 10, 0, 0}, true, 10}, {{2024, 5, 1, 10, 2, 0}, true, 10}},
             8.0);
    constexpr std::uint64_t kGuid = 0x08004601A2B3C4D5ull;
    auto bus = std::make_shared<fwtest::FakeBus>();
    bus->Add(std::make_shared<fwtest::FakeCamcorder>(kGuid, deck.name));
    const FireWireDevices firewire(bus);
    const DeckDeviceId id = FireWireCamcorder::IdOfGuid(kGuid);
    StartEngine(id);
    EXPECT_EQ(FormatDeviceId(id), "08004601A2B3C4D5");
    const auto listed = EnumerateDevices();
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const DeviceEntry& entry) {
        return entry.id == id && entry.name == "FAKE DECK - DV Camcorder";
    }));
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return engine->TransportMode() == ED_MODE_STOP; }, 30s));
    session->StopNow();
    TickUntilWritten();

    Frames written;
    for (const Frames& frames : FilesOfTheThreeScenes()) written.insert(written.end(), frames.begin(), frames.end());
    const Frames expected(tape.begin(), tape.end() - 1);
    EXPECT_TRUE(written == expected) << "the files hold " << written.size() << " frames, not the tape's first 29 in order";
}

// The tape running out stops the capture as the stop button does; a file
// type chosen during the capture applies to the next one.
TEST_F(CaptureEngineTest, TheTapesEndFinishesTheCaptureAndAFileTypeChangeWaitsForIt) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 15}}, 8.0);
    StartEngine();
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return engine->GetRecording(); }));
    SetSetting(SettingId::FileType, {{}, 2}, true);
    TickUntilTapeEnds();
    TickUntilWritten();
    ASSERT_EQ(host.files.size(), 1u);
    AviReader first;
    ASSERT_EQ(first.Open(fs::path(host.files[0]->folder) / host.files[0]->fileName), S_OK);
    EXPECT_EQ(first.Type(), DvAviType::Type1);
    EXPECT_EQ(first.FrameCount(), 15u);
    EXPECT_FALSE(engine->IsCapturing());
    EXPECT_EQ(host.modes.back(), ED_MODE_STOP);

    // Rewound and captured again: now as type 2.
    session->Transport(ED_MODE_REW);
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return engine->TransportMode() == ED_MODE_STOP; }));
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    TickUntilTapeEnds();
    TickUntilWritten();
    ASSERT_EQ(host.files.size(), 2u);
    EXPECT_EQ(host.files[1]->fileName, "Tape 20240501 100000 (2).avi");
    AviReader second;
    ASSERT_EQ(second.Open(fs::path(host.files[1]->folder) / host.files[1]->fileName), S_OK);
    EXPECT_EQ(second.Type(), DvAviType::Type2);
    EXPECT_EQ(second.FrameCount(), 15u);
}

// A new user has no file type set: the capture is still written, as type 2.
TEST_F(CaptureEngineTest, WithoutAFileTypeTheCaptureIsWrittenAsTypeTwo) {
    SetSetting(SettingId::FileType, {{}, 0}, false);
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 15}}, 8.0);
    StartEngine();
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    TickUntilTapeEnds();
    TickUntilWritten();
    ASSERT_EQ(host.files.size(), 1u);
    AviReader reader;
    ASSERT_EQ(reader.Open(fs::path(host.files[0]->folder) / host.files[0]->fileName), S_OK);
    EXPECT_EQ(reader.Type(), DvAviType::Type2);
    EXPECT_EQ(reader.FrameCount(), 15u);
}

// The camcorder stops at the tape's end while the events of files finished
// since the last tick still wait: every file is announced, none passed over.
TEST_F(CaptureEngineTest, ATapeThatEndsBetweenTicksStillAnnouncesEveryFile) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 50}, {{2024, 5, 1, 11, 0, 0}, false, 50}, {{2024, 5, 1, 12, 0, 0}, false, 50}},
             8.0);
    StartEngine();
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return engine->GetRecording(); }, 5s));
    std::this_thread::sleep_for(1500ms);  // the rest of the tape, with no tick
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return !engine->GetRecording() && host.files.size() >= 3; }));
    ASSERT_EQ(host.files.size(), 3u);
    EXPECT_EQ(host.files[0]->fileName, "Tape 20240501 100000.avi");
    EXPECT_EQ(host.files[1]->fileName, "Tape 20240501 110000.avi");
    EXPECT_EQ(host.files[2]->fileName, "Tape 20240501 120000.avi");
}

// Play pressed on the camcorder itself is followed like the window's button:
// an armed start-now capture records; winding during it stops the capture.
TEST_F(CaptureEngineTest, PlayOnTheCamcorderStartsTheArmedCaptureAndWindingStopsIt) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 100}}, 1.0);
    StartEngine();
    session->StartNow();
    EXPECT_FALSE(engine->GetRecording());
    const auto pressed = kvtest::RunChild({KVTEST_DECK, "press", deck.name, "play"});
    ASSERT_EQ(pressed.exitCode, 0) << pressed.output;
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return engine->GetRecording(); }));
    ASSERT_FALSE(host.modes.empty());
    EXPECT_EQ(host.modes.front(), ED_MODE_PLAY);
    EXPECT_TRUE(Eventually([&] { session->Tick(true); return engine->HasTimecode(); }));
    EXPECT_NE(engine->TapePositionText(), "--:--:--.--");
    EXPECT_EQ(engine->TapeDateText().find("--"), std::string::npos);

    session->Transport(ED_MODE_FF);
    EXPECT_FALSE(engine->IsCapturing());
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return host.files.size() == 1; }));
    EXPECT_GT(FramesOf(*host.files[0]).size(), 0u);
    EXPECT_FALSE(engine->GetRecording());
}

}  // namespace

namespace {

int FrameNumber(const DvFrameInfo& info) { return info.tcSeconds * 25 + info.tcFrames; }

// A step button steps only from pause, and once more on every tick while it
// is held down.
TEST_F(CaptureEngineTest, AHeldStepButtonStepsOnEveryTickFromPauseOnly) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 100}}, 1.0);
    StartEngine();
    session->Transport(ED_MODE_STEP_FWD);  // stopped: nothing happens
    session->Tick(true);
    EXPECT_EQ(engine->TransportMode(), ED_MODE_STOP);

    session->Transport(ED_MODE_PLAY);
    ASSERT_TRUE(Eventually([&] { session->Tick(true); return FrameNumber(engine->FrameInfo()) >= 5; }));
    session->Transport(ED_MODE_FREEZE);
    std::this_thread::sleep_for(200ms);
    const int paused = FrameNumber(engine->FrameInfo());
    session->HoldStep(ED_MODE_STEP_FWD);
    for (int tick = 0; tick < 3; ++tick) {
        session->Tick(true);
        std::this_thread::sleep_for(100ms);
    }
    session->HoldStep(0);
    session->Tick(true);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(FrameNumber(engine->FrameInfo()), paused + 3);
    EXPECT_EQ(engine->TransportMode(), ED_MODE_FREEZE);
}

}  // namespace

namespace {

// The sampling frequency of a file's first sound stream, as ffprobe reads it.
std::string SoundRate(const FinishedFileRecord& file) {
    const auto probe = kvtest::RunChild({"/usr/bin/ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                                         "stream=sample_rate", "-of", "csv=p=0",
                                         (fs::path(file.folder) / file.fileName).string()});
    std::string rate = probe.output;
    std::erase_if(rate, [](char c) { return c == '\n' || c == '\r'; });
    return rate;
}

// Recordings at 48 and 32 kHz on one tape, closer in time than the
// threshold: every change of the sound's format starts a file, and each
// file states the rate its sound has, in both file types.
TEST_F(CaptureEngineTest, ASoundFormatChangeStartsANewFileInBothFileTypes) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 10, 48000},
              {{2024, 5, 1, 10, 0, 1}, false, 10, 32000},
              {{2024, 5, 1, 10, 0, 2}, false, 10, 48000}},
             8.0);
    StartEngine();
    for (const int type : {2, 1}) {
        SetSetting(SettingId::FileType, {{}, type}, true);
        host.files.clear();
        session->StartNow();
        session->Transport(ED_MODE_PLAY);
        TickUntilTapeEnds();
        TickUntilWritten();
        ASSERT_EQ(host.files.size(), 3u) << "type " << type;
        std::vector<std::string> rates;
        for (const auto& file : host.files) {
            EXPECT_EQ(FramesOf(*file).size(), 10u) << file->fileName;
            rates.push_back(SoundRate(*file));
        }
        EXPECT_EQ(rates, (std::vector<std::string>{"48000", "32000", "48000"})) << "type " << type;
        session->Transport(ED_MODE_REW);
        ASSERT_TRUE(Eventually([&] { session->Tick(true); return engine->TransportMode() == ED_MODE_STOP; }));
    }
}

// Another graph plays the camcorder's tape, so CaptureGraph cannot run: the
// host hears of it and the tape is not started. Once the camcorder is free,
// the next Play runs the graph (the failed run was not taken for running)
// and the capture records.
TEST_F(CaptureEngineTest, AGraphThatCannotRunIsReportedAndRunsAtTheNextPlay) {
    PlugTape({{{2024, 5, 1, 10, 0, 0}, false, 20}}, 8.0);
    std::optional<BoundDevice> other = BindDevice(deck.deviceId);
    ASSERT_TRUE(other);
    ComPtr<IGraphBuilder> otherGraph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               otherGraph.GetVoidAddress()),
              S_OK);
    ASSERT_EQ(otherGraph->AddFilter(other->filter.Get(), u"Other camcorder"), S_OK);
    StartEngine();
    session->StartNow();
    session->Transport(ED_MODE_PLAY);
    EXPECT_EQ(host.runFailures, 1);
    EXPECT_NE(engine->TransportMode(), ED_MODE_PLAY);
    EXPECT_TRUE(host.modes.empty());

    otherGraph->RemoveFilter(other->filter.Get());
    other.reset();
    session->Transport(ED_MODE_PLAY);
    EXPECT_EQ(host.runFailures, 1);
    TickUntilTapeEnds();
    TickUntilWritten();
    ASSERT_EQ(host.files.size(), 1u);
    EXPECT_EQ(FramesOf(*host.files[0]).size(), 20u);
}

}  // namespace
