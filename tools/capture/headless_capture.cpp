#include "headless_capture.h"

#include <QCoreApplication>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <ostream>

#include "korvanta/capture/capture_folder.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "platform/media/filters/avi/avi_reader.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kTickInterval = 340ms;
// A file on disk plays as fast as files are written, and FileGraph idles from
// a file's end until a tick has closed it and a second one opened the next
// (one file command per tick): short ticks keep those gaps small. A tick
// never waits, so ticking often costs less than the idle writer would.
constexpr auto kWaitingTickInterval = 10ms;
constexpr auto kProgressInterval = 1s;
// Ticks (about one second) a camcorder is given to begin rewinding.
constexpr int kRewindStartTicks = 3;

volatile std::sig_atomic_t stopRequested = 0;

std::string FirstLine(std::string text) {
    if (const auto bar = text.find('\n'); bar != std::string::npos) text.resize(bar);
    return text;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// Frames of a written file, read back from the file itself.
std::uint64_t FramesInFile(const std::string& path) {
    AviReader reader;
    return SUCCEEDED(reader.Open(path)) ? reader.FrameCount() : 0;
}

}  // namespace

HeadlessCapture::HeadlessCapture(const CaptureOptions& options, std::ostream& out, std::ostream& progress)
    : options_(options), out_(out), progress_(progress) {}

HeadlessCapture::~HeadlessCapture() {
    deviceWatch_ = DeviceChangeSubscription();
    if (waitingDeck_) waitingDeck_->SetRoomCheck({});
    session_.reset();
    engine_.reset();
}

void HeadlessCapture::RequestStop() { stopRequested = 1; }

int HeadlessCapture::Prepare() {
    const std::vector<DeviceEntry> devices = EnumerateDevices();
    const DeviceEntry* chosen = nullptr;
    for (const DeviceEntry& entry : devices) {
        if (!entry.id) continue;
        if (options_.deviceId ? FormatDeviceId(*entry.id) == *options_.deviceId
                              : !options_.device || DeviceMatches(entry, *options_.device)) {
            chosen = &entry;
            break;
        }
    }
    if (!chosen) {
        progress_ << "korvanta-capture: "
                  << (options_.device ? "no DV camcorder named '" + *options_.device + "'"
                                      : FirstLine(ErrorText("NoDVCaptureDevice")))
                  << "\n";
        if (const std::string hint = noDeviceHint_ ? noDeviceHint_() : std::string(); !hint.empty())
            progress_ << "korvanta-capture: " << hint << "\n";
        return 1;
    }
    device_ = *chosen;

    // The capture folder, prefix and type of this run; the settings file itself is not written.
    if (options_.folder)
        SetSetting(SettingId::CaptureFolder, {*options_.folder, 0}, false);
    const std::string folder = CaptureFolderAtOpening();
    if (!CaptureFolderExists(folder)) {
        progress_ << "korvanta-capture: " << FirstLine(ErrorText("NonExistingCaptFolder")) << " (" << folder << ")\n";
        return 1;
    }
    if (!IsOnFixedDisk(folder)) {
        progress_ << "korvanta-capture: " << FirstLine(ErrorText("FixedDisk")) << " (" << folder << ")\n";
        return 1;
    }
    if (options_.fileType) SetSetting(SettingId::FileType, {{}, *options_.fileType}, false);
    const std::int64_t fileType = GetSetting(SettingId::FileType).number;
    if (fileType != 1 && fileType != 2) SetSetting(SettingId::FileType, {{}, 2}, false);
    const std::string prefix = EffectiveBaseName(options_.prefix ? *options_.prefix : GetSetting(SettingId::FileNaming).text);
    SceneThreshold threshold = 0;
    if (options_.threshold) {
        threshold = *options_.threshold;
    } else {
        threshold = ThresholdSeconds(static_cast<int>(GetSetting(SettingId::CapSceneDiff).number),
                                     GetSetting(SettingId::CapSceneDiffCustom).text);
    }

    engine_ = std::make_unique<CaptureEngine>(*this);
    session_ = std::make_unique<CaptureSession>(*engine_, *this);
    if (!engine_->CreateGraphs(nullptr, prefix, threshold) ||
        !engine_->StartPreview(device_.id, device_.name)) {
        engine_->ReportState();
        progress_ << "korvanta-capture: " << FirstLine(engine_->IsReady() ? ErrorText("CaptureGraphFailed")
                                                                          : ErrorText("NoDVCaptureDevice"))
                  << "\n";
        return 1;
    }
    engine_->SetWindowVisible(false);  // no monitor sound without a window
    if (!options_.waitingDeck.empty() && SUCCEEDED(VirtualDeck::Acquire(options_.waitingDeck, &waitingDeck_))) {
        // The deck plays on only while the frame server holds few frames for the file being written.
        constexpr std::uint32_t kQueuedItems = 250;
        waitingDeck_->SetRoomCheck([engine = engine_.get()] { return engine->QueuedItems() < kQueuedItems; });
    }
    session_->SetFolderExists(true);
    deviceWatch_ = WatchDeviceChanges([this](DeviceChange, const std::string&, const std::string&) {
        devicesChanged_ = true;
    });
    progress_ << "korvanta-capture: " << device_.name << ", threshold "
              << (threshold <= 0 ? std::string("none") : std::to_string(threshold) + " s") << ", into " << folder
              << "\n";
    return 0;
}

int HeadlessCapture::Run() {
    if (const int failed = Prepare()) return failed;
    phase_ = Phase::Waiting;
    if (options_.rewind) {
        phase_ = Phase::Rewinding;
        session_->Transport(ED_MODE_REW);
    } else {
        BeginCapture();
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
    timer.start(options_.waitingDeck.empty() ? kTickInterval : kWaitingTickInterval);
    QCoreApplication::exec();
    PrintFiles();
    if (!failure_.empty()) progress_ << "korvanta-capture: " << failure_ << "\n";
    return exitCode_;
}

void HeadlessCapture::BeginCapture() {
    phase_ = Phase::Waiting;
    switch (options_.start) {
        case StartWhen::Now: session_->StartNow(); break;
        case StartWhen::Scene: session_->StartOnScene(); break;
        case StartWhen::DefinedScene: session_->StartOnDefinedScene(); break;
    }
    if (options_.play) session_->Transport(ED_MODE_PLAY);
}

void HeadlessCapture::Tick() {
    if (phase_ == Phase::Done) return;
    if (devicesChanged_.exchange(false) && !DeviceStillPresent()) {
        // The camcorder was unplugged: the capture ends with what was written.
        deviceGone_ = true;
        engine_->ReleaseDevice();
        session_->HandleEvents();
        engine_->FinishFileGraph();
        session_->HandleEvents();
        Finish(1, "the camcorder was unplugged; the capture ended with the frames written so far");
        return;
    }
    if (graphFailed_) {
        // Nothing can come from the camcorder: the capture ends with what was written.
        session_->StopNow();
        session_->HandleEvents();
        Finish(1, failure_);
        return;
    }
    if (stopRequested) {
        stopRequested = 0;
        session_->StopNow();
        session_->HandleEvents();
        Finish(1, "interrupted");
        return;
    }
    session_->Tick(!deviceGone_);
    if (engine_->IsPlaying()) sawPlaying_ = true;

    if (phase_ == Phase::Rewinding) {
        // The rewind is over when the camcorder stops after winding, or has not
        // begun to wind a while after the command: a tape already at its start
        // stops at once, and playing is never seen on the way.
        ++rewindTicks_;
        if (engine_->TransportMode() == ED_MODE_REW) sawWinding_ = true;
        if (engine_->TransportMode() == ED_MODE_STOP && (sawWinding_ || rewindTicks_ >= kRewindStartTicks)) {
            sawPlaying_ = false;
            BeginCapture();
        }
        return;
    }
    const bool recording = engine_->GetRecording();
    if (recording && phase_ == Phase::Waiting) {
        phase_ = Phase::Recording;
        recordingSince_ = std::chrono::steady_clock::now();
    }
    if (phase_ == Phase::Recording && !stopArmed_) {
        // A stop command replaces the start command, so it is given only once recording runs.
        if (options_.stop == StopWhen::Scene) session_->StopOnScene();
        if (options_.stop == StopWhen::DefinedScene) session_->StopOnDefinedScene();
        stopArmed_ = true;
    }
    if (options_.stop == StopWhen::After && recordingSince_ && recording &&
        std::chrono::steady_clock::now() - *recordingSince_ >= std::chrono::duration<double>(options_.stopAfterSeconds)) {
        session_->StopNow();
        session_->HandleEvents();
    }
    ReportProgress(false);

    const bool idle = !engine_->GetRecording() && !engine_->IsCapturing() && session_->PendingFinishedFiles() == 0;
    if (phase_ == Phase::Recording && idle) {
        Finish(failure_.empty() ? 0 : 1, failure_);
    } else if (phase_ == Phase::Waiting && sawPlaying_ && engine_->TransportMode() == ED_MODE_STOP) {
        session_->StopNow();
        Finish(1, "the tape stopped before recording began");
    }
}

bool HeadlessCapture::DeviceStillPresent() {
    for (const DeviceEntry& entry : EnumerateDevices())
        if (entry.id == device_.id) return true;
    return false;
}

void HeadlessCapture::ReportProgress(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastProgress_ < kProgressInterval) return;
    lastProgress_ = now;
    progress_ << "tape " << engine_->TapePositionText() << "  recorded " << engine_->TapeDateText();
    if (engine_->GetRecording())
        progress_ << "  file " << engine_->GetFileName() << "  frames " << engine_->GetFrameCount();
    if (const LONG dropped = engine_->DroppedFrames()) progress_ << "  dropped " << dropped;
    progress_ << "\n" << std::flush;
}

void HeadlessCapture::Finish(int exitCode, const std::string& why) {
    phase_ = Phase::Done;
    exitCode_ = exitCode;
    if (failure_.empty()) failure_ = why;
    if (engine_ && engine_->IsFinishingFiles()) {
        // A stop leaves the last frames to be written over the next ticks;
        // the command waits for them, so every file is listed complete.
        engine_->FinishFileGraph();
        session_->HandleEvents();
    }
    if (engine_) engine_->Stop();
    QCoreApplication::exit(exitCode);
}

void HeadlessCapture::PostFinishedFile(std::unique_ptr<FinishedFileRecord> record) {
    progress_ << "finished " << JoinPath(record->folder, record->fileName) << "\n";
    files_.push_back(std::move(record));
    if (phase_ == Phase::Waiting) phase_ = Phase::Recording;  // it began and ended between two ticks
}

void HeadlessCapture::TransportChanged(LONG mode) {
    if (mode == ED_MODE_PLAY || mode == ED_MODE_PLAY_SLOWEST_FWD || mode == ED_MODE_PLAY_SLOWEST_REV)
        sawPlaying_ = true;
}

void HeadlessCapture::CurrentFileChanged(const std::string& fileName) {
    if (fileName.empty()) return;
    progress_ << "writing " << fileName << "\n";
    // A fast tape may begin and end a recording between two ticks: the first
    // file begun is what tells that recording started.
    if (phase_ == Phase::Waiting) {
        phase_ = Phase::Recording;
        recordingSince_ = std::chrono::steady_clock::now();
    }
}

void HeadlessCapture::WriteFailed(const std::string& fileName) {
    failure_ = FirstLine(ErrorText("CaptureWriteFailed")) + " (" + fileName + ")";
}

void HeadlessCapture::GraphRunFailed() {
    graphFailed_ = true;
    failure_ = FirstLine(ErrorText("CaptureGraphFailed")) + " (the capture graph cannot run)";
}

void HeadlessCapture::PrintFiles() {
    // Standard output lists the files that are there when the capture ends;
    // one finished earlier whose folder was removed since is named on
    // standard error instead, so a script never gets a path that is gone.
    for (const auto& record : files_) {
        const std::string path = JoinPath(record->folder, record->fileName);
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            out_ << "file: " << path << " frames: " << FramesInFile(path) << "\n";
        else
            progress_ << "korvanta-capture: " << path << " was written but is gone\n";
    }
    out_ << std::flush;
}
