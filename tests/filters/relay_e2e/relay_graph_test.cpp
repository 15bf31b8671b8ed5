// The frame relay end to end, through real graphs as the program builds
// them: a multi-scene DV clip made by ffmpeg is played into the frame server
// of a capture graph; a file graph of the frame client and a collecting
// sink is stopped and run again at every file boundary, as the program's
// tick does. The tape pauses for a moment in the first scene. Every scene
// must come out as one stream run of exactly its frames, in order, byte for
// byte, under the name of its first frame.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "collecting_sink.h"
#include "dvshared/frame_queue.h"
#include "filters/relaysink/irelaysink.h"
#include "filters/relaysource/irelaysource.h"
#include "manual_dv_source.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/uuids.h"
#include "relay_modules.h"
#include "support/dv/dv_clips.h"
#include "time_zone.h"

namespace {

using namespace std::chrono_literals;
using kvtest::DvClipSpec;
using Frames = std::vector<std::vector<std::uint8_t>>;

struct Scene {
    DvClipSpec clip;
    std::string fileName;
};

// Four scenes: a jump of more than the threshold, then a change to 16:9
// one second later, then the camcorder's clock set back by 70 minutes.
std::vector<Scene> TapeScenes() {
    std::vector<Scene> scenes(4);
    scenes[0].clip.creationTime = {2024, 3, 15, 13, 45, 56};
    scenes[0].clip.frames = 30;
    scenes[0].fileName = "Tape 20240315 134556.avi";
    scenes[1].clip.creationTime = {2024, 3, 15, 15, 10, 0};
    scenes[1].clip.startTimeCode = {0, 0, 10, 0};
    scenes[1].clip.frames = 20;
    scenes[1].fileName = "Tape 20240315 151000.avi";
    scenes[2].clip.creationTime = {2024, 3, 15, 15, 10, 1};
    scenes[2].clip.startTimeCode = {0, 0, 20, 0};
    scenes[2].clip.wide = true;
    scenes[2].clip.frames = 25;
    scenes[2].fileName = "Tape 20240315 151001.avi";
    scenes[3].clip.creationTime = {2024, 3, 15, 14, 0, 0};
    scenes[3].clip.startTimeCode = {0, 0, 30, 0};
    scenes[3].clip.wide = true;
    scenes[3].clip.frames = 15;
    scenes[3].fileName = "Tape 20240315 140000.avi";
    return scenes;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, const char16_t* name) {
    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(name, pin.GetAddressOf()), S_OK);
    return pin;
}

template <class Interface>
ComPtr<Interface> As(IUnknown* unknown) {
    ComPtr<Interface> result;
    EXPECT_EQ(QueryInterfaceFor(unknown, result.GetAddressOf()), S_OK);
    return result;
}

ComPtr<IGraphBuilder> NewGraph() {
    ComPtr<IGraphBuilder> graph;
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.GetVoidAddress()),
              S_OK);
    return graph;
}

// The program's side of the file graph: at a file boundary at the head of
// the queue it waits for the frame client to end its stream, stops the file
// graph and, for a new file, runs it again. Runs until told the capture is
// over and the queue is empty.
class FileGraphDriver {
public:
    FileGraphDriver(FrameQueue& queue, IMediaControl* fileGraph, kvtest::CollectingSink& sink)
        : queue_(queue), fileGraph_(fileGraph), sink_(sink), thread_([this] { Drive(); }) {}
    ~FileGraphDriver() { Join(); }

    // The capture is over: the driver ends once the queue is empty.
    void Join() {
        captureOver_ = true;
        if (thread_.joinable()) thread_.join();
    }
    const std::vector<std::string>& NewFiles() const { return newFiles_; }
    bool TimedOut() const { return timedOut_; }

private:
    void Drive() {
        std::optional<std::chrono::steady_clock::time_point> giveUp;
        for (;;) {
            FrameQueue::ItemPtr head;
            const bool over = captureOver_;
            if (over && !giveUp) giveUp = std::chrono::steady_clock::now() + 10s;
            if (!queue_.TakeFirst(head, true)) {
                if (over) return;
                std::this_thread::sleep_for(2ms);
                continue;
            }
            // Frames that no stream takes any more: report it rather than wait forever.
            if (giveUp && std::chrono::steady_clock::now() > *giveUp) {
                timedOut_ = true;
                return;
            }
            if (head->kind == QueueFrame) {
                std::this_thread::sleep_for(2ms);
                continue;
            }
            // The client ends its stream once all frames before the boundary are delivered.
            if (running_ && !sink_.WaitForEndedRuns(runs_, 10s)) timedOut_ = true;
            queue_.RemoveFirstIf(head);
            fileGraph_->Stop();
            running_ = false;
            if (head->kind == QueueNewFile) {
                newFiles_.push_back(head->folder.utf8() + "|" + head->name.utf8());
                fileGraph_->Run();
                running_ = true;
                ++runs_;
            }
        }
    }

    FrameQueue& queue_;
    IMediaControl* fileGraph_;
    kvtest::CollectingSink& sink_;
    std::atomic<bool> captureOver_{false};
    bool running_ = false;    // driver thread only
    std::size_t runs_ = 0;    // file graph runs started; driver thread only
    bool timedOut_ = false;   // read after Join
    std::vector<std::string> newFiles_;  // read after Join
    std::thread thread_;
};

class RelayGraphTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KvMediaRegisterPlatformClasses(), S_OK);
        kvtest::RegisterRelayModules();
    }
};

TEST_F(RelayGraphTest, EveryScenePassesAsOneStreamRunOfExactlyItsFrames) {
    const kvtest::ScopedTimeZone zone("Europe/Berlin");
    const auto scenes = TapeScenes();
    std::vector<Frames> sceneFrames;
    Frames tape;
    for (const auto& scene : scenes) {
        sceneFrames.push_back(kvtest::MakeDvFrames(scene.clip));
        ASSERT_EQ(sceneFrames.back().size(), static_cast<std::size_t>(scene.clip.frames));
        tape.insert(tape.end(), sceneFrames.back().begin(), sceneFrames.back().end());
    }

    // Capture graph: the clip's source into the frame server.
    auto captureGraph = NewGraph();
    kvtest::ManualDvSource* source = nullptr;
    auto sourceFilter = kvtest::ManualDvSource::Create(&source);
    ComPtr<IBaseFilter> server;
    ASSERT_EQ(CoCreateInstance(CLSID_RelaySink, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               server.GetVoidAddress()),
              S_OK);
    ASSERT_EQ(captureGraph->AddFilter(sourceFilter.Get(), u"DV Source"), S_OK);
    ASSERT_EQ(captureGraph->AddFilter(server.Get(), u"AVI Frame Server"), S_OK);
    ASSERT_EQ(captureGraph->Connect(FindPin(sourceFilter.Get(), u"Output").Get(), FindPin(server.Get(), u"Input").Get()),
              S_OK);
    const auto relaySink = As<IRelaySink>(server.Get());
    relaySink->SetFolder(bstr_t("/captures"));
    relaySink->SetFilePrefix(bstr_t("Tape"));
    relaySink->SetSceneThreshold(60);
    relaySink->SetCaptureMode(StartNow);
    FrameQueue* queue = nullptr;
    ASSERT_EQ(relaySink->GetQueue(&queue), S_OK);

    // File graph: the frame client on the server's queue into a collecting sink.
    auto fileGraph = NewGraph();
    ComPtr<IBaseFilter> client;
    ASSERT_EQ(CoCreateInstance(CLSID_RelaySource, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               client.GetVoidAddress()),
              S_OK);
    kvtest::CollectingSink* sink = nullptr;
    auto sinkFilter = kvtest::CollectingSink::Create(&sink);
    const auto relaySource = As<IRelaySource>(client.Get());
    ASSERT_EQ(relaySource->SetQueue(queue), S_OK);
    ASSERT_EQ(relaySource->SetIs625(1), S_OK);
    ASSERT_EQ(fileGraph->AddFilter(client.Get(), u"Frame Client"), S_OK);
    ASSERT_EQ(fileGraph->AddFilter(sinkFilter.Get(), u"Collector"), S_OK);
    ASSERT_EQ(fileGraph->Connect(FindPin(client.Get(), u"Output").Get(), FindPin(sinkFilter.Get(), u"Input").Get()),
              S_OK);

    const auto captureControl = As<IMediaControl>(captureGraph.Get());
    const auto fileControl = As<IMediaControl>(fileGraph.Get());
    {
        FileGraphDriver driver(*queue, fileControl.Get(), *sink);
        ASSERT_EQ(captureControl->Run(), S_OK);
        for (std::size_t n = 0; n < tape.size(); ++n) {
            // The tape pauses mid-scene: no frames for a while, and none may be lost after it.
            if (n == 15) std::this_thread::sleep_for(1500ms);
            ASSERT_EQ(source->DeliverFrame(tape[n]), S_OK);
        }
        ASSERT_EQ(source->DeliverEndOfStream(), S_OK);
        driver.Join();
        EXPECT_FALSE(driver.TimedOut());
        std::vector<std::string> expectedFiles;
        for (const auto& scene : scenes) expectedFiles.push_back("/captures|" + scene.fileName);
        EXPECT_EQ(driver.NewFiles(), expectedFiles);
    }
    captureControl->Stop();
    fileControl->Stop();

    const auto runs = sink->Runs();
    ASSERT_EQ(runs.size(), scenes.size());
    for (std::size_t s = 0; s < scenes.size(); ++s) {
        SCOPED_TRACE(scenes[s].fileName);
        EXPECT_TRUE(runs[s].ended);
        ASSERT_EQ(runs[s].samples.size(), sceneFrames[s].size());
        for (std::size_t n = 0; n < sceneFrames[s].size(); ++n) {
            const auto& sample = runs[s].samples[n];
            EXPECT_TRUE(sample.bytes == sceneFrames[s][n]) << "frame " << n;
            EXPECT_EQ(sample.start, static_cast<REFERENCE_TIME>(n) * 400000);
            EXPECT_EQ(sample.discontinuity, n == 0);
        }
    }

    // The program's view: one started event, a file-ended event per scene
    // boundary (the first for the empty name before any file), and the stop.
    std::vector<std::string> events;
    RelayEvent* raw = nullptr;
    while (relaySink->GetNextEvent(&raw) == S_OK) {
        const std::unique_ptr<RelayEvent> event(raw);
        events.push_back(std::to_string(event->code) + " " + event->fileName.utf8());
    }
    EXPECT_EQ(events, (std::vector<std::string>{
                          std::to_string(RELAY_EVENT_STARTED) + " ",
                          std::to_string(RELAY_EVENT_FILE_ENDED) + " ",
                          std::to_string(RELAY_EVENT_FILE_ENDED) + " " + scenes[0].fileName,
                          std::to_string(RELAY_EVENT_FILE_ENDED) + " " + scenes[1].fileName,
                          std::to_string(RELAY_EVENT_FILE_ENDED) + " " + scenes[2].fileName,
                          std::to_string(RELAY_EVENT_STOPPED) + " " + scenes[3].fileName,
                      }));
    std::uint8_t wide = 0;
    relaySink->GetWide(&wide);
    EXPECT_EQ(wide, 1);
    EXPECT_FALSE(queue->HasItems());
}

}  // namespace
