#include "korvanta/capture/capture_session.h"

#include <algorithm>
#include <filesystem>

#include "korvanta/capture/capture_folder.h"

namespace {

constexpr int kStartNowButton = 0;
constexpr int kStartOnSceneButton = 1;
constexpr int kStartOnDefinedSceneButton = 2;
constexpr int kStopNowButton = 3;
constexpr int kStopOnSceneButton = 4;
constexpr int kStopOnDefinedSceneButton = 5;

constexpr std::array<bool, 6> kAfterStartPlaying{false, false, false, true, true, true};
constexpr std::array<bool, 6> kAfterStartArmed{true, true, true, true, false, false};
constexpr std::array<bool, 6> kAfterStopArmed{true, false, false, true, true, true};
constexpr std::array<bool, 6> kAfterStop{true, true, true, false, false, false};

// The file is on disk under the path the file writer was given ("\" read as the separator).
bool FileWasWritten(const std::string& folder, const std::string& fileName) {
    std::string path = CaptureFilePath(folder, fileName);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

CaptureSession::CaptureSession(CaptureEngine& engine, CaptureSessionHost& host) : engine_(engine), host_(host) {}

void CaptureSession::SetFolderExists(bool exists) {
    folderExists_ = exists;
    if (!exists) {
        buttons_.enabled.fill(false);
    } else if (!engine_.IsCapturing()) {
        buttons_.enabled = kAfterStop;
    }
    host_.ButtonsChanged(buttons_);
}

void CaptureSession::SetButtons(const std::array<bool, 6>& enabled, int selected) {
    if (folderExists_) buttons_.enabled = enabled;
    buttons_.selected = selected;
    host_.ButtonsChanged(buttons_);
}

void CaptureSession::StartNow() { StartNowHandler(false); }

void CaptureSession::StartOnScene() {
    SetButtons(kAfterStartArmed, kStartOnSceneButton);
    engine_.ArmStartOnScene();
}

void CaptureSession::StartOnDefinedScene() {
    SetButtons(kAfterStartArmed, kStartOnDefinedSceneButton);
    engine_.ArmStartOnDefinedScene();
}

void CaptureSession::StopNow() {
    HandleEvents();
    StopHandler(false, nullptr);
}

void CaptureSession::StopOnScene() {
    SetButtons(kAfterStopArmed, kStopOnSceneButton);
    engine_.ArmStopOnScene();
}

void CaptureSession::StopOnDefinedScene() {
    SetButtons(kAfterStopArmed, kStopOnDefinedSceneButton);
    engine_.ArmStopOnDefinedScene();
}

void CaptureSession::StartNowHandler(bool alreadyStarted) {
    SetButtons(engine_.IsPlaying() ? kAfterStartPlaying : kAfterStartArmed, kStartNowButton);
    engine_.StartCapture(alreadyStarted);
    buttons_.deviceListEnabled = false;
    host_.ButtonsChanged(buttons_);
}

void CaptureSession::StopHandler(bool alreadyStopped, const RelayEvent* event) {
    SetButtons(kAfterStop, kStopNowButton);
    engine_.StopCapture(alreadyStopped);
    if (alreadyStopped) {
        // The last frames are written out over the next ticks; the file is
        // announced once it is closed under its final name.
        engine_.BeginFinishFileGraph();
        if (event)
            QueueFinishedFile(event->folder.utf8(), event->fileName.utf8(), true);
        else
            QueueFinishedFile(engine_.GetFolder(), engine_.GetFileName(), true);
        PostResolvedFiles();
    }
    buttons_.deviceListEnabled = true;
    host_.ButtonsChanged(buttons_);
}

void CaptureSession::Transport(LONG mode) {
    switch (mode) {
        case ED_MODE_PLAY: engine_.Play(); break;
        case ED_MODE_FREEZE: engine_.Pause(); break;
        case ED_MODE_STOP:
            // The events of the capture so far come first, so that its files
            // are announced before the stop (the camcorder may have stopped
            // by itself, and the engine's capture with it, before this).
            engine_.Stop();
            HandleEvents();
            StopHandler(false, nullptr);
            break;
        case ED_MODE_FF: engine_.FastForward(); break;
        case ED_MODE_REW: engine_.Rewind(); break;
        case ED_MODE_PLAY_SLOWEST_FWD: engine_.SlowForward(); break;
        case ED_MODE_PLAY_SLOWEST_REV: engine_.SlowReverse(); break;
        case ED_MODE_STEP_FWD: engine_.StepForward(); break;
        case ED_MODE_STEP_REV: engine_.StepBack(); break;
        default: return;
    }
    if (engine_.TakeRunFailure()) {
        host_.GraphRunFailed();
        if (engine_.TransportMode() != mode) return;  // the tape was not started
    }
    host_.TransportChanged(mode);
}

void CaptureSession::Tick(bool deviceChosen) {
    if (deviceChosen && engine_.PollMode()) {
        // The camcorder changed its mode by itself (its own buttons, or the
        // tape ran out): the same handling as the window's button, so a tape
        // that stops ends a running capture exactly as the stop button does.
        Transport(engine_.TransportMode());
    }
    HandleEvents();
    if (heldStep_ == ED_MODE_STEP_FWD) engine_.StepForward();
    if (heldStep_ == ED_MODE_STEP_REV) engine_.StepBack();
    engine_.Tick();
    PostResolvedFiles();
}

void CaptureSession::HandleEvents() {
    bool firstOfTick = true;
    // Whether a file is being written after the events of this tick: its
    // thumbnails start afresh once, not once for every file that began and
    // ended between two ticks (each grab waits for a frame).
    bool newFileBegun = false;
    while (std::unique_ptr<RelayEvent> event = engine_.NextEvent()) {
        switch (event->code) {
            case RELAY_EVENT_STOPPED:
                StopHandler(true, event.get());
                newFileBegun = false;
                break;
            case RELAY_EVENT_STARTED:
                StartNowHandler(true);
                reannouncesLastFile_ = true;
                break;
            case RELAY_EVENT_FILE_ENDED:
                if (!reannouncesLastFile_) QueueFinishedFile(event->folder.utf8(), event->fileName.utf8(), firstOfTick);
                reannouncesLastFile_ = false;
                newFileBegun = true;
                break;
            default:
                break;
        }
        firstOfTick = false;
    }
    if (newFileBegun) {
        engine_.ClearThumbnailsAndGrab();
        host_.CurrentFileChanged(engine_.GetFileName());
    }
    if (const std::optional<std::string> failed = engine_.TakeWriteFailure()) host_.WriteFailed(*failed);
    if (engine_.TakeRunFailure()) host_.GraphRunFailed();
    PostResolvedFiles();
}

void CaptureSession::QueueFinishedFile(const std::string& folder, const std::string& fileName, bool firstOfTick) {
    // An event that names no file (no capture had written one) announces nothing.
    if (fileName.empty()) return;
    auto record = std::make_unique<FinishedFileRecord>();
    record->folder = folder;
    record->fileName = fileName;
    if (firstOfTick) record->thumbnails = engine_.Thumbnails().Thumbnails();
    pending_.push_back(std::move(record));
}

void CaptureSession::PostResolvedFiles() {
    // Records go out in the order the files were finished, each once the
    // engine has closed its file and knows the name it was written under.
    // A file that is not there is not announced: its start was given up
    // after a write failure, or its folder went away.
    while (!pending_.empty()) {
        FinishedFileRecord& record = *pending_.front();
        const std::optional<std::string> written = engine_.WrittenFileName(record.folder, record.fileName);
        if (!written) return;
        record.fileName = *written;
        std::unique_ptr<FinishedFileRecord> ready = std::move(pending_.front());
        pending_.pop_front();
        if (FileWasWritten(ready->folder, ready->fileName)) host_.PostFinishedFile(std::move(ready));
    }
}
