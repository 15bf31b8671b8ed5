#include "filters/relaysink/scene_splitter.h"

#include "filters/relaysink/recording_clock.h"
#include "filters/relaysink/scene_file_name.h"

namespace {

// The largest time code values a frame may carry and still be written as it
// is. Hours go to 25 because camcorders count past midnight on long tapes.
constexpr std::int32_t kMaxTcFrames = 30;
constexpr std::int32_t kMaxTcSeconds = 59;
constexpr std::int32_t kMaxTcMinutes = 59;
constexpr std::int32_t kMaxTcHours = 25;

bool TimeCodeInRange(const DvFrameInfo& info) {
    return info.tcFrames >= 0 && info.tcFrames <= kMaxTcFrames && info.tcSeconds >= 0 &&
           info.tcSeconds <= kMaxTcSeconds && info.tcMinutes >= 0 && info.tcMinutes <= kMaxTcMinutes &&
           info.tcHours >= 0 && info.tcHours <= kMaxTcHours;
}

bool SameTimeCode(const DvFrameInfo& a, const DvFrameInfo& b) {
    return a.tcHours == b.tcHours && a.tcMinutes == b.tcMinutes && a.tcSeconds == b.tcSeconds &&
           a.tcFrames == b.tcFrames;
}

}  // namespace

void SceneSplitter::SetFolder(const bstr_t& folder) {
    std::scoped_lock hold(stateLock_);
    folder_ = folder;
}

void SceneSplitter::SetFilePrefix(const bstr_t& prefix) {
    std::scoped_lock hold(stateLock_);
    prefix_ = prefix;
}

void SceneSplitter::SetSceneThreshold(std::int32_t seconds) {
    std::scoped_lock hold(stateLock_);
    threshold_ = seconds;
}

void SceneSplitter::SetCaptureMode(std::int32_t mode) {
    std::scoped_lock hold(stateLock_);
    mode_ = mode;
    if (recording_ && mode == StopNow) Stop();
}

bool SceneSplitter::Recording() const {
    std::scoped_lock hold(stateLock_);
    return recording_;
}

bool SceneSplitter::FileWide() const {
    std::scoped_lock hold(stateLock_);
    return fileWide_;
}

bstr_t SceneSplitter::FileName() const {
    std::scoped_lock hold(stateLock_);
    return fileName_;
}

bstr_t SceneSplitter::Folder() const {
    std::scoped_lock hold(stateLock_);
    return folder_;
}

std::int64_t SceneSplitter::FrameCount() const {
    std::scoped_lock hold(stateLock_);
    return static_cast<std::int64_t>(frameCount_);
}

void SceneSplitter::OnSample(std::uint8_t* data, std::uint32_t length, bool discontinuity) {
    std::scoped_lock hold(stateLock_);
    reader_.Attach(data, length);
    if (!reader_.IsComplete()) {
        reader_.Attach(nullptr, 0);
        return;
    }
    // From here on the reader covers exactly one frame, so the queued copy
    // holds the frame and nothing of what may follow it in the buffer.
    reader_.Attach(data, static_cast<std::uint32_t>(reader_.FrameSize()));
    reader_.FillInfo(current_);
    if (firstFrame_) {
        previous_ = current_;
        firstFrame_ = false;
    }

    if (recording_)
        DecideWhileRecording();
    else
        DecideWhileIdle();
    previous_ = current_;

    if (recording_ && !sameTimeCode_) QueueFrame(discontinuity);
    sameTimeCode_ = false;
    reader_.Attach(nullptr, 0);
}

// A stop armed for the next scene comes first: a scene whose picture also
// changes between 4:3 and 16:9 is still the scene the capture ends at.
void SceneSplitter::DecideWhileRecording() {
    if (IsJump()) jumpSeen_ = true;
    const bool definedJump = IsDefinedJump();
    if ((mode_ == StopOnScene && jumpSeen_) || (mode_ == StopOnDefinedScene && definedJump)) {
        Stop();
        return;
    }
    if ((current_.wide != 0) != fileWide_) {
        fileWide_ = current_.wide != 0;
        NewFile();
        return;
    }
    // A file's sound has one format, which its header states: a recording
    // made at another sampling frequency or quantisation starts a file of
    // its own. A frame that states no format changes nothing.
    const std::int32_t sound = reader_.SoundFormat();
    if (sound >= 0 && fileSound_ >= 0 && sound != fileSound_) {
        NewFile();
        return;
    }
    if (fileSound_ < 0) fileSound_ = sound;
    if (definedJump) {
        NewFile();
        return;
    }
    if (SameTimeCode(current_, previous_) && TimeCodeInRange(current_)) sameTimeCode_ = true;
}

void SceneSplitter::DecideWhileIdle() {
    if (IsJump()) jumpSeen_ = true;
    if (mode_ == StartNow || (mode_ == StartOnScene && jumpSeen_))
        Start();
    else if (mode_ == StartOnDefinedScene && IsDefinedJump())
        Start();
}

bool SceneSplitter::IsJump() const {
    if (!RecordingDatesDiffer(current_, previous_)) return false;
    const std::int64_t seconds = RecordingSecondsBetween(current_, previous_);
    return seconds > 1 || seconds < 0;
}

bool SceneSplitter::IsDefinedJump() const {
    if (threshold_ < 1 || !RecordingDatesDiffer(current_, previous_)) return false;
    const std::int64_t seconds = RecordingSecondsBetween(current_, previous_);
    return seconds > threshold_ || seconds < 0;
}

void SceneSplitter::Start() {
    recording_ = true;
    fileWide_ = current_.wide != 0;
    events_.Append(RELAY_EVENT_STARTED, bstr_t(), bstr_t());
    NewFile();
}

void SceneSplitter::NewFile() {
    queue_.PushEndOfFile();
    frameCount_ = 0;
    events_.Append(RELAY_EVENT_FILE_ENDED, fileName_, fileFolder_);
    fileName_ = SceneFileName(prefix_, current_);
    fileSound_ = reader_.SoundFormat();
    newFilePending_ = true;
    jumpSeen_ = true;
}

void SceneSplitter::Stop() {
    recording_ = false;
    sameTimeCode_ = false;
    queue_.PushEndOfFile();
    events_.Append(RELAY_EVENT_STOPPED, fileName_, fileFolder_);
}

void SceneSplitter::QueueFrame(bool discontinuity) {
    if (discontinuity) frameCount_ = 0;

    // A time code no camcorder writes is replaced by the frame's position in
    // the file. The repair goes into a private copy: the sample belongs to
    // the upstream filter, whose allocator may be read-only or shared.
    const DvFrameReader* frame = &reader_;
    if (!TimeCodeInRange(current_) && repaired_.CopyFrom(reader_)) {
        repaired_.WriteTimeCodeFromFrameCount(frameCount_);
        frame = &repaired_;
    }

    if (newFilePending_) {
        fileFolder_ = folder_;
        // Without its new-file item the frame would land in the previous
        // file; it waits for memory instead, and the next frame tries again.
        if (!queue_.PushNewFile(fileFolder_, fileName_)) return;
        newFilePending_ = false;
    }
    // A frame whose copy cannot be allocated is lost; the counts stay those
    // of the frames actually queued.
    if (!queue_.PushFrame(*frame)) return;
    ++frameCount_;
    jumpSeen_ = false;
}

void SceneSplitter::EndOfStreaming() {
    std::scoped_lock hold(stateLock_);
    if (recording_) Stop();
    frameCount_ = 0;
    firstFrame_ = true;
}
