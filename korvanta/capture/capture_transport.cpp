// CaptureEngine: the camcorder's tape transport, following modes changed on
// the camcorder itself, and the time-code poll.
#include "korvanta/capture/capture_engine.h"

namespace {

// The transport modes, by their IAMExtTransport values.
constexpr LONG kPlay = ED_MODE_PLAY;
constexpr LONG kStop = ED_MODE_STOP;
constexpr LONG kPause = ED_MODE_FREEZE;
constexpr LONG kFastForward = ED_MODE_FF;
constexpr LONG kRewind = ED_MODE_REW;
constexpr LONG kStepForward = ED_MODE_STEP_FWD;
constexpr LONG kStepBack = ED_MODE_STEP_REV;
constexpr LONG kSlowForward = ED_MODE_PLAY_SLOWEST_FWD;
constexpr LONG kSlowReverse = ED_MODE_PLAY_SLOWEST_REV;

constexpr auto kTimecodePollInterval = std::chrono::milliseconds(250);

bool IsActiveMode(LONG mode) { return mode != kStop && mode != kPause; }

}  // namespace

// The mode set is also remembered, so that PollMode notices when the
// camcorder leaves it by itself: a tape that runs out within a tick of being
// started would otherwise never be seen to stop, and its capture never end.
void CaptureEngine::SetMode(LONG mode) {
    if (!transport_ || FAILED(transport_->put_Mode(mode))) return;
    if (mode != kStepForward && mode != kStepBack) SetTransportModeValue(mode);
}

void CaptureEngine::SetTransportModeValue(LONG mode) {
    transportMode_ = mode;
    transportActive_ = IsActiveMode(mode);
}

// The graph runs before the tape moves, so the first frames played already
// find a running graph (the tape moves whether or not anyone watches). A
// graph that cannot run leaves the tape where it is: nothing played would be
// seen or recorded.
void CaptureEngine::Play() {
    if (transportMode_ == kPlay) return;
    if (!RunGraph()) return;
    SetMode(kPlay);
    if (capturing_) SwitchCaptureStream(true);
}

void CaptureEngine::Pause() {
    if (transportMode_ == kPause) return;
    SetMode(kPause);
}

void CaptureEngine::Stop() {
    if (transportMode_ == kStop) return;
    StopCapture(false);
    StopGraph();
    SetMode(kStop);
}

void CaptureEngine::SlowForward() {
    if (transportMode_ == kSlowForward) return;
    Play();
    if (graphRunState_ != 2) return;
    SetMode(kSlowForward);
    if (capturing_) SwitchCaptureStream(true);
}

void CaptureEngine::SlowReverse() {
    if (transportMode_ == kSlowReverse) return;
    Play();
    if (graphRunState_ != 2) return;
    SetMode(kSlowReverse);
    if (capturing_) SwitchCaptureStream(true);
}

void CaptureEngine::FastForward() {
    if (transportMode_ == kFastForward) return;
    Stop();
    SetMode(kFastForward);
    RunGraph();
}

void CaptureEngine::Rewind() {
    if (transportMode_ == kRewind) return;
    Stop();
    SetMode(kRewind);
}

void CaptureEngine::StepForward() {
    if (transportMode_ == kPause) SetMode(kStepForward);
}

void CaptureEngine::StepBack() {
    if (transportMode_ == kPause) SetMode(kStepBack);
}

bool CaptureEngine::PollMode() {
    LONG mode = 0;
    if (transport_) transport_->get_Mode(&mode);
    if (mode == kStepForward || mode == kStepBack || mode == transportMode_) return false;
    SetModeState(mode);
    return true;
}

void CaptureEngine::SetModeState(LONG mode) {
    switch (mode) {
        case kSlowForward: SlowForward(); break;
        case kSlowReverse: SlowReverse(); break;
        case kPlay: Play(); break;
        case kStop: Stop(); break;
        case kPause: Pause(); break;
        case kFastForward: FastForward(); break;
        case kRewind: Rewind(); break;
        default: break;
    }
    if (mode != kStepForward && mode != kStepBack) SetTransportModeValue(mode);
    ApplyPendingChanges();
}

bool CaptureEngine::IsVcrMode() const {
    LONG type = 0;
    return extDevice_ && SUCCEEDED(extDevice_->GetCapability(ED_DEVCAP_DEVICE_TYPE, &type, nullptr)) &&
           type == ED_DEVTYPE_VCR;
}

bool CaptureEngine::IsTransportActive() const { return IsActiveMode(transportMode_); }

bool CaptureEngine::IsPlaying() const {
    return IsActiveMode(transportMode_) && transportMode_ != kFastForward && transportMode_ != kRewind;
}

bool CaptureEngine::HasTimecode() const {
    std::scoped_lock lock(timecodeLock_);
    return timecodeValid_;
}

BcdTimecode CaptureEngine::TimecodeValue() const {
    std::scoped_lock lock(timecodeLock_);
    return timecode_;
}

void CaptureEngine::ReadTimecode() {
    // The reader is shared with the user-interface thread, which may let the
    // device go at any time; the poll holds its own reference while it reads.
    ComPtr<IAMTimecodeReader> reader;
    {
        std::scoped_lock lock(timecodeLock_);
        reader = timecodeReader_;
    }
    if (!reader) return;
    TIMECODE_SAMPLE sample{};
    sample.dwFlags = ED_DEVCAP_TIMECODE_READ;
    const HRESULT hr = reader->GetTimecode(&sample);
    const DWORD frames = sample.timecode.dwFrames;
    // A deck that has no time code to give answers 00:00:05.00 with user
    // bits 0x500; a zero reading is no time code either.
    const bool valid = hr == S_OK && frames != 0 && !(frames == 0x500 && sample.dwUser == 0x500) &&
                       IsValidTimecode(frames);
    std::scoped_lock lock(timecodeLock_);
    if (timecodeReader_ != reader) return;  // the device changed meanwhile
    timecodeValid_ = valid;
    timecode_ = valid ? frames : 0;
}

void CaptureEngine::PollTimecode() {
    std::unique_lock lock(timecodeLock_);
    while (pollRunning_) {
        pollWake_.wait_for(lock, kTimecodePollInterval, [this] { return !pollRunning_; });
        if (!pollRunning_) break;
        if (!transportActive_) continue;
        lock.unlock();
        ReadTimecode();
        lock.lock();
    }
}
