// CaptureEngine: the capture commands given to the frame server, and FileGraph
// following the file boundaries that the frame server queues: stopped at the
// end of every file, given the next name and run again.
#include <chrono>
#include <filesystem>
#include <thread>

#include "dvshared/frame_queue.h"
#include "korvanta/capture/capture_engine.h"
#include "korvanta/capture/capture_folder.h"
#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/media/evcode.h"

namespace {

using namespace std::chrono_literals;

// How long finishing waits for FileGraph to take the next queued item (or
// for a file's end to reach the file writer) before it gives the remaining
// frames up as unwritable.
constexpr auto kStalledWriteLimit = 5s;
// How long beginning a finish may work before it leaves the rest to the
// ticks: usually long enough for the last file's end to arrive, short
// enough not to hold up the live picture.
constexpr auto kFinishBeginBudget = 40ms;

// The last part of a path written with either separator.
std::string LeafName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void CaptureEngine::SetSceneThreshold(SceneThreshold seconds) {
    if (relaySink_) relaySink_->SetSceneThreshold(seconds);
}

void CaptureEngine::SetFilePrefix(const std::string& baseName) {
    if (relaySink_) relaySink_->SetFilePrefix(bstr_t(baseName));
}

void CaptureEngine::StartCapture(bool alreadyStarted) {
    CompleteFinishing();
    if (!capturing_) {
        thumbnails_.ClearAndWait();
        SwitchCaptureStream(true);
        capturing_ = true;
    }
    if (!alreadyStarted && relaySink_) relaySink_->SetCaptureMode(StartNow);
}

void CaptureEngine::ArmStartOnScene() {
    CompleteFinishing();
    if (!capturing_) SwitchCaptureStream(true);
    if (relaySink_) relaySink_->SetCaptureMode(StartOnScene);
}

void CaptureEngine::ArmStartOnDefinedScene() {
    CompleteFinishing();
    if (!capturing_) SwitchCaptureStream(true);
    if (relaySink_) relaySink_->SetCaptureMode(StartOnDefinedScene);
}

void CaptureEngine::StopCapture(bool alreadyStopped) {
    if (capturing_) {
        SwitchCaptureStream(false);
        capturing_ = false;
    }
    if (!alreadyStopped) {
        if (relaySink_) relaySink_->SetCaptureMode(StopNow);
    } else {
        ApplyPendingChanges();
    }
}

void CaptureEngine::ArmStopOnScene() {
    if (relaySink_) relaySink_->SetCaptureMode(StopOnScene);
}

void CaptureEngine::ArmStopOnDefinedScene() {
    if (relaySink_) relaySink_->SetCaptureMode(StopOnDefinedScene);
}

std::unique_ptr<RelayEvent> CaptureEngine::NextEvent() {
    RelayEvent* event = nullptr;
    if (!relaySink_ || relaySink_->GetNextEvent(&event) != S_OK) return nullptr;
    return std::unique_ptr<RelayEvent>(event);
}

bool CaptureEngine::GetRecording() const {
    std::uint8_t recording = 0;
    return relaySink_ && SUCCEEDED(relaySink_->GetRecording(&recording)) && recording != 0;
}

std::int64_t CaptureEngine::GetFrameCount() const {
    std::int64_t count = 0;
    if (relaySink_) relaySink_->GetFrameCount(&count);
    return count;
}

std::string CaptureEngine::GetFileName() const {
    bstr_t name;
    if (relaySink_) relaySink_->GetFileName(&name);
    return name.utf8();
}

std::string CaptureEngine::GetFolder() const {
    bstr_t folder;
    if (relaySink_) relaySink_->GetFolder(&folder);
    return folder.utf8();
}

void CaptureEngine::Tick() {
    HandleGraphEvents();
    if (GetRecording() && (HasTimecode() || (!IsVcrMode() && IsPlaying())))
        thumbnails_.Tick([this](bool asked) { return GrabFrame(asked); }, GetFrameCount(), frameTimeMs_);
    PumpFileEvents();
    if (GetRecording())
        HandleFileCommand();
    else if (finishing_ && FinishStep())
        finishing_ = false;
}

void CaptureEngine::ClearThumbnailsAndGrab() {
    thumbnails_.ClearAndGrab([this](bool asked) { return GrabFrame(asked); }, GetFrameCount(), frameTimeMs_);
}

ThumbnailStrip::Grab CaptureEngine::GrabFrame(bool asked) {
    if (!IsTransportActive() || !stillGrab_) return {};
    return GrabThumbnail(stillGrab_.Get(), asked, thumbWidth_, thumbHeight_);
}

// One file command at the head of the queue. A file's end is acted on only
// once FileGraph has written the file's last frame (its EC_COMPLETE); until
// then the item stays and a later call tries again.
bool CaptureEngine::HandleFileCommand() {
    // After a write failure no further file is opened: the capture is being
    // stopped, and FinishFileGraph gives up what is still queued.
    if (!queue_ || fileFailed_) return false;
    FrameQueue::ItemPtr head;
    if (!queue_->TakeFirst(head, true) || !head || head->kind == QueueFrame) return false;
    if (head->kind == QueueEndOfFile && !FileEnded()) return false;
    if (!queue_->RemoveFirstIf(head)) return false;
    CloseFile();
    if (head->kind == QueueNewFile) OpenFile(*head);
    return true;
}

bool CaptureEngine::FileEnded() {
    PumpFileEvents();
    return !fileRunning_ || fileComplete_ || fileFailed_;
}

void CaptureEngine::PumpFileEvents() {
    if (!fileEvent_) return;
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (fileEvent_->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        fileEvent_->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) fileComplete_ = true;
        if ((code == EC_ERRORABORT || code == EC_STREAM_ERROR_STOPPED) && fileRunning_ && !fileFailed_) {
            // The file cannot be written on (a full disk, a vanished folder):
            // what was written stays in a closed, readable file, and the
            // capture stops rather than pretend to go on.
            fileFailed_ = true;
            writeFailure_ = writtenFiles_.empty() ? std::string() : writtenFiles_.back().requestedName;
            if (relaySink_) relaySink_->SetCaptureMode(StopNow);
        }
    }
}

void CaptureEngine::OpenFile(const FrameQueueItem& item) {
    if (!fileSink_ || !fileControl_) return;
    const std::string folder = item.folder.utf8();
    const std::string name = item.name.utf8();
    fileSink_->SetFileName(bstr_t(CaptureFilePath(folder, name)), nullptr);
    PumpFileEvents();  // nothing of the previous file may count for this one
    fileComplete_ = false;
    fileFailed_ = false;
    writtenFiles_.push_back({folder, name, {}, false, false});
    fileRunning_ = true;
    if (FAILED(fileControl_->Run())) {
        fileFailed_ = true;
        writeFailure_ = name;
        if (relaySink_) relaySink_->SetCaptureMode(StopNow);
    }
}

void CaptureEngine::CloseFile() {
    if (!fileControl_) return;
    fileControl_->Stop();
    if (!fileRunning_) return;
    fileRunning_ = false;
    if (writtenFiles_.empty()) return;
    WrittenFile& file = writtenFiles_.back();
    file.closed = true;
    LPOLESTR written = nullptr;
    if (fileSink_ && SUCCEEDED(fileSink_->GetCurFile(&written, nullptr)) && written) {
        file.writtenName = LeafName(Utf16ToUtf8(written));
        CoTaskMemFree(written);
    }
}

void CaptureEngine::BeginFinishFileGraph() {
    finishing_ = true;
    finishProgress_ = std::chrono::steady_clock::now();
    finishCount_ = queue_ ? queue_->Count() : 0;
    const auto end = finishProgress_ + kFinishBeginBudget;
    while (!FinishStep()) {
        if (std::chrono::steady_clock::now() >= end) return;
        std::this_thread::sleep_for(2ms);
    }
    finishing_ = false;
}

void CaptureEngine::FinishFileGraph() {
    if (!finishing_) BeginFinishFileGraph();
    CompleteFinishing();
}

void CaptureEngine::CompleteFinishing() {
    while (finishing_ && !FinishStep()) std::this_thread::sleep_for(2ms);
    finishing_ = false;
}

bool CaptureEngine::FinishStep() {
    // Every frame queued before the capture ended belongs in a file: the
    // queue is worked off item by item, boundaries included, as long as
    // FileGraph keeps taking frames.
    if (queue_ && queue_->HasItems()) {
        PumpFileEvents();
        while (HandleFileCommand()) finishProgress_ = std::chrono::steady_clock::now();
        const std::uint32_t count = queue_->Count();
        if (count != finishCount_) {
            finishCount_ = count;
            finishProgress_ = std::chrono::steady_clock::now();
        }
        const bool writable = fileRunning_ && !fileFailed_;
        if (queue_->HasItems() && writable && std::chrono::steady_clock::now() - finishProgress_ <= kStalledWriteLimit)
            return false;
    }
    if (queue_) queue_->ClearAll();
    CloseFile();
    fileFailed_ = false;  // the failed file is closed; the next capture opens files again
    if (fileControl_) {
        OAFilterState state = State_Stopped;
        HRESULT hr = fileControl_->GetState(0, &state);
        for (int tries = 0; tries < 10 && (state == State_Running || hr == VFW_S_STATE_INTERMEDIATE); ++tries) {
            std::this_thread::sleep_for(10ms);
            hr = fileControl_->GetState(0, &state);
        }
    }
    finishing_ = false;
    ApplyPendingChanges();
    return true;
}

std::optional<std::string> CaptureEngine::WrittenFileName(const std::string& folder, const std::string& name) {
    for (WrittenFile& file : writtenFiles_) {
        if (file.claimed || file.folder != folder || file.requestedName != name) continue;
        if (!file.closed) return std::nullopt;
        file.claimed = true;
        const std::string written = file.writtenName.empty() ? name : file.writtenName;
        while (!writtenFiles_.empty() && writtenFiles_.front().claimed) writtenFiles_.pop_front();
        return written;
    }
    // Not opened yet: the file's start may still wait in the queue.
    if (queue_ && queue_->HasItems()) return std::nullopt;
    return name;
}

std::optional<std::string> CaptureEngine::TakeWriteFailure() { return std::exchange(writeFailure_, std::nullopt); }

std::uint32_t CaptureEngine::QueuedItems() const { return queue_ ? queue_->Count() : 0; }
