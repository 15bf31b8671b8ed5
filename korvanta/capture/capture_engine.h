#pragma once
// CaptureEngine: the object behind the capture window. It binds a DV
// camcorder, runs two filter graphs and drives the tape:
//
//   CaptureGraph  camcorder --capture--> "AVI Frame Server"
//                           --preview--> "DV Video Info" -> DV splitter
//                                        -> decoder -> "Video Grabber" -> video renderer
//                                        -> "Sound Meter" -> sound renderer
//   FileGraph     "Frame Client" -> ["DV Capture Splitter" ->] "AVI Mux" -> "File Sink"
//
// CaptureGraph runs as long as the window shows the camcorder; FileGraph is
// stopped and run again for every file, following the file boundaries the
// frame server queues, while CaptureGraph keeps running. A thread of the
// engine's own reads the tape time code every 250 ms.
//
// Every operation runs on the user-interface thread, except the time-code
// poll; the snapshot it writes is guarded by timecodeLock_.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QRect>

#include "dvshared/dv_frame_info.h"
#include "dvshared/frame_queue_item.h"
#include "filters/dvstamp/idvstamp.h"
#include "filters/levelprobe/ilevelprobe.h"
#include "filters/relaysink/irelaysink.h"
#include "filters/relaysource/irelaysource.h"
#include "filters/stillgrab/istillgrab.h"
#include "korvanta/capture/capture_texts.h"
#include "korvanta/capture/capture_view.h"
#include "korvanta/capture/device_list.h"
#include "korvanta/capture/scene_threshold.h"
#include "korvanta/capture/thumbnail_strip.h"
#include "korvanta/core/settings_observer.h"
#include "platform/com/com_ptr.h"
#include "platform/devices/extdevice.h"
#include "platform/media/control.h"
#include "platform/media/filters/dvdec/iipdvdec.h"
#include "platform/media/strmif.h"

class FrameQueue;

// Context-menu command of the engine's area: the mute switch.
inline constexpr int kCaptureMuteCommand = 1028;
// The message CaptureGraph's events are posted with (WM_APP + 3).
inline constexpr LONG kCaptureGraphEventMessage = 0x8003;

class CaptureEngine : public SettingsObserver {
public:
    explicit CaptureEngine(CaptureView& view);
    ~CaptureEngine() override;
    CaptureEngine(const CaptureEngine&) = delete;
    CaptureEngine& operator=(const CaptureEngine&) = delete;

    // ---- Graphs and device ----
    // Creates every filter and both graphs and wires FileGraph.
    bool CreateGraphs(HWND window, const std::string& baseName, SceneThreshold threshold);
    // Binds the wanted device when none is bound, builds CaptureGraph for it
    // when not yet built, switches the capture stream off, reads the input
    // signal, and prepares FileGraph and the monitor sound.
    bool StartPreview(const std::optional<DeviceId>& wanted, const std::string& wantedName = {});
    // Stops everything, releases the device, empties CaptureGraph and starts
    // the preview of the wanted device.
    bool ChangeDevice(const std::optional<DeviceId>& wanted, const std::string& wantedName = {});
    // Stops capture and CaptureGraph and lets the device go.
    void ReleaseDevice();
    bool IsReady() const;
    // Shows why the engine is not ready: "NoDVCaptureDevice" or "CaptureGraphFailed".
    void ReportState() const;
    // Runs CaptureGraph unless it runs; false when it cannot run.
    bool RunGraph();
    void StopGraph();
    // CaptureGraph could not be run since the last call (a camcorder busy
    // elsewhere, a filter that fails): true once.
    bool TakeRunFailure();
    // Takes and frees every event CaptureGraph holds: the window calls it on
    // kCaptureGraphEventMessage, and every tick does.
    void HandleGraphEvents();
    // CaptureResolution 0-3 as the decoder's full, half, quarter or DC size.
    void SetDisplayResolution(std::int64_t resolution, bool reconnect);
    // Connects FileGraph for the setting FileType (1: type 1, 2: type 2).
    void ConnectFileGraph();

    // ---- Monitor sound ----
    void UpdateAudio();
    void ToggleSound();
    void SetWindowVisible(bool visible);
    bool SoundOn() const { return soundOn_; }

    // ---- Video geometry ----
    bool MeasureVideo();
    // True when the 16:9 flag changed since the last measurement.
    bool PollAspect();
    std::pair<int, int> GetDisplaySize() const { return {displayWidth_, displayHeight_}; }
    std::pair<int, int> GetVideoSize() const { return {videoWidth_, videoHeight_}; }
    std::pair<int, int> GetThumbnailSize() const { return {thumbWidth_, thumbHeight_}; }
    bool IsWideScreen() const { return wideScreen_; }
    // Puts the live video window at this rectangle of the window the graphs
    // were made for and shows or hides it there.
    void PlaceVideoWindow(const QRect& area, bool visible);

    void OnSettingChanged(SettingId id) override;
    // A command of the engine's context menu: kCaptureMuteCommand switches the monitor sound.
    void OnContextCommand(int command);
    // The engine's periodic work (every 340 ms): thumbnails, then the file commands.
    void Tick() override;

    // ---- Capture control ----
    void SetSceneThreshold(SceneThreshold seconds);
    void SetFilePrefix(const std::string& baseName);
    void StartCapture(bool alreadyStarted);
    void ArmStartOnScene();
    void ArmStartOnDefinedScene();
    void StopCapture(bool alreadyStopped);
    void ArmStopOnScene();
    void ArmStopOnDefinedScene();
    // Writes every frame still queued into its file, then stops FileGraph;
    // returns when that is done or the writer has stalled.
    void FinishFileGraph();
    // The same work without holding up the window: what can be done at once
    // is done, the rest on the following ticks. The finished files' written
    // names resolve as they close. A new capture or a device change first
    // completes a finish in progress.
    void BeginFinishFileGraph();
    bool IsFinishingFiles() const { return finishing_; }
    // The frame server's oldest event, or null.
    std::unique_ptr<RelayEvent> NextEvent();
    bool IsCapturing() const { return capturing_; }
    bool GetRecording() const;
    std::int64_t GetFrameCount() const;
    std::string GetFileName() const;
    std::string GetFolder() const;
    // The name the file writer actually used for the file the frame server
    // called folder/name (the writer numbers a name that is taken), once
    // the file is closed; each written file answers one call, in the order
    // written. Nothing while that file may still be open; name itself when
    // no such file was written.
    std::optional<std::string> WrittenFileName(const std::string& folder, const std::string& name);
    // Writing a file failed (a full disk, a vanished folder) and the capture
    // was stopped: the name of that file, once.
    std::optional<std::string> TakeWriteFailure();

    // ---- Tape transport ----
    void Play();
    void Pause();
    void Stop();
    void FastForward();
    void Rewind();
    void SlowForward();
    void SlowReverse();
    void StepForward();
    void StepBack();
    // Follows a mode changed on the camcorder; true when it changed.
    bool PollMode();
    void SetModeState(LONG mode);
    void ReadTimecode();
    bool IsVcrMode() const;
    bool IsTransportActive() const;
    bool IsPlaying() const;
    // Frames and file boundaries the frame server holds for FileGraph; any thread.
    std::uint32_t QueuedItems() const;
    LONG TransportMode() const { return transportMode_; }
    bool HasTimecode() const;
    BcdTimecode TimecodeValue() const;

    // ---- What the window shows ----
    int FrameTimeMs() const { return frameTimeMs_; }
    bool IsPal() const { return isPal_; }
    DvFrameInfo FrameInfo() const;
    // Frames the camcorder's capture pin could not deliver; 0 when it does not count them.
    LONG DroppedFrames() const;
    std::string TapePositionText() const;
    std::string TapeDateText() const;
    const ThumbnailStrip& Thumbnails() const { return thumbnails_; }
    void ClearThumbnailsAndGrab();
    const std::string& DeviceName() const { return deviceName_; }
    const std::optional<DeviceId>& BoundDeviceId() const { return deviceId_; }

private:
    // capture_graph_build.cpp
    bool BindDevice(const std::optional<DeviceId>& wanted, const std::string& wantedName);
    bool BuildCaptureGraph();
    bool SpliceFilter(IBaseFilter* filter, const char16_t* name, const GUID& major, const GUID& subtype,
                      const GUID& format);
    void RemoveCaptureFilters();
    HRESULT SwitchCaptureStream(bool on);
    void ApplyPendingChanges();
    void ApplyResolution();
    void SetMode(LONG mode);
    void SetTransportModeValue(LONG mode);
    // capture_control.cpp
    bool HandleFileCommand();
    // FileGraph has written the whole file it runs for (or cannot write on).
    bool FileEnded();
    // One step of finishing: true once every queued item is written (or
    // given up) and FileGraph is stopped.
    bool FinishStep();
    void CompleteFinishing();
    void PumpFileEvents();
    void OpenFile(const FrameQueueItem& item);
    void CloseFile();
    ThumbnailStrip::Grab GrabFrame(bool asked);
    // time-code thread
    void PollTimecode();

    CaptureView& view_;
    HWND window_ = nullptr;

    // CaptureGraph
    ComPtr<IGraphBuilder> captureGraph_;
    ComPtr<ICaptureGraphBuilder2> builder_;
    ComPtr<IMediaControl> captureControl_;
    ComPtr<IMediaEvent> captureEvent_;
    ComPtr<IMediaEventEx> captureEventEx_;
    ComPtr<IVideoWindow> videoWindow_;
    ComPtr<IBasicAudio> basicAudio_;
    // FileGraph
    ComPtr<IGraphBuilder> fileGraph_;
    ComPtr<IMediaControl> fileControl_;
    ComPtr<IMediaEvent> fileEvent_;
    // Own filters
    ComPtr<IBaseFilter> server_;
    ComPtr<IRelaySink> relaySink_;
    ComPtr<IBaseFilter> client_;
    ComPtr<IRelaySource> relaySource_;
    ComPtr<IBaseFilter> dvInfo_;
    ComPtr<IDvStamp> dvStamp_;
    ComPtr<IBaseFilter> meter_;
    ComPtr<ILevelProbe> levelProbe_;
    ComPtr<IBaseFilter> grabber_;
    ComPtr<IStillGrab> stillGrab_;
    // Platform filters
    ComPtr<IBaseFilter> decoder_;
    ComPtr<IBaseFilter> mux_;
    ComPtr<IBaseFilter> writer_;
    ComPtr<IFileSinkFilter> fileSink_;
    ComPtr<IBaseFilter> splitter_;
    // The bound camcorder
    ComPtr<IBaseFilter> device_;
    ComPtr<IAMExtDevice> extDevice_;
    ComPtr<IAMExtTransport> transport_;
    ComPtr<IAMTimecodeReader> timecodeReader_;  // guarded by timecodeLock_ (the poll thread copies it)
    std::optional<DeviceId> deviceId_;
    std::string deviceName_;

    FrameQueue* queue_ = nullptr;  // the frame server's, not owned
    bool graphBuilt_ = false;
    int graphRunState_ = 0;  // 0 stopped, 2 running
    bool runFailed_ = false;  // RunGraph failed and TakeRunFailure has not said so yet
    LONG transportMode_ = 4297;
    bool capturing_ = false;
    bool fileTypeChangePending_ = false;
    bool resolutionChangePending_ = false;
    int frameTimeMs_ = 40;
    bool isPal_ = true;
    bool soundOn_ = true;
    LONG savedVolume_ = 0;
    bool windowVisible_ = false;
    int videoWidth_ = 360, videoHeight_ = 288;
    int thumbWidth_ = 180, thumbHeight_ = 135;
    int displayWidth_ = 360, displayHeight_ = 270;
    bool wideScreen_ = false;

    // FileGraph's file: running, and the names written so far.
    bool fileRunning_ = false;   // FileGraph runs for a file whose end has not been handled
    bool fileComplete_ = false;  // FileGraph reported EC_COMPLETE for that file
    bool fileFailed_ = false;    // FileGraph reported that it cannot write
    // Finishing a stopped capture's files over several ticks.
    bool finishing_ = false;
    std::chrono::steady_clock::time_point finishProgress_{};  // last time a queued item was taken
    std::uint32_t finishCount_ = 0;                           // queued items at that time
    std::optional<std::string> writeFailure_;
    struct WrittenFile {
        std::string folder;
        std::string requestedName;  // as the frame server named it
        std::string writtenName;    // as the file writer created it; empty when no file was made
        bool closed = false;
        bool claimed = false;
    };
    std::deque<WrittenFile> writtenFiles_;

    ThumbnailStrip thumbnails_;

    // Time-code snapshot and the poll thread.
    mutable std::mutex timecodeLock_;
    bool timecodeValid_ = false;
    BcdTimecode timecode_ = 0;
    bool pollRunning_ = true;  // guarded by timecodeLock_
    std::condition_variable pollWake_;
    std::atomic<bool> transportActive_{false};
    std::thread pollThread_;
};
