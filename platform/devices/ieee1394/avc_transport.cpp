#include "platform/devices/ieee1394/avc_transport.h"

#include "platform/devices/edevdefs.h"

namespace {

constexpr int kAccepted = 0x9;
constexpr int kRejected = 0xA;
constexpr int kNotImplemented = 0x8;
constexpr int kStable = 0xC;
constexpr std::size_t kMaxWaitingJobs = 4;

}  // namespace

std::optional<std::uint32_t> AvcTransport::CommandOfMode(LONG mode) {
    switch (mode) {
        case ED_MODE_PLAY: return 0x0020C375;
        case ED_MODE_FREEZE: return 0x0020C37D;
        case ED_MODE_STOP: return 0x0020C460;
        case ED_MODE_FF: return 0x0020C475;
        case ED_MODE_REW: return 0x0020C465;
        case ED_MODE_PLAY_SLOWEST_FWD: return 0x0020C331;
        case ED_MODE_PLAY_SLOWEST_REV: return 0x0020C341;
        case ED_MODE_STEP_FWD: return 0x0020C330;
        case ED_MODE_STEP_REV: return 0x0020C340;
        default: return std::nullopt;
    }
}

// Operand 2 (bits 15..8) is the state, operand 3 (bits 7..0) its mode.
std::optional<LONG> AvcTransport::ModeOfState(std::uint32_t answer) {
    const std::uint32_t state = (answer >> 8) & 0xFF;
    const std::uint32_t mode = answer & 0xFF;
    if (state == 0xC3) {  // play
        if (mode == 0x75 || mode == 0x38 || mode == 0x48) return ED_MODE_PLAY;
        if (mode == 0x7D || mode == 0x6D) return ED_MODE_FREEZE;
        if (mode >= 0x30 && mode <= 0x3F) return mode < 0x38 ? ED_MODE_PLAY_SLOWEST_FWD : ED_MODE_FF;
        if (mode >= 0x40 && mode <= 0x4F) return mode < 0x48 ? ED_MODE_PLAY_SLOWEST_REV : ED_MODE_REW;
        if (mode == 0x65) return ED_MODE_PLAY;  // reverse play at normal speed: still playing
        return std::nullopt;
    }
    if (state == 0xC4) {  // wind
        if (mode == 0x60) return ED_MODE_STOP;
        if (mode == 0x75) return ED_MODE_FF;
        if (mode == 0x65 || mode == 0x45) return ED_MODE_REW;
        return std::nullopt;
    }
    if (state == 0xC1) return ED_MODE_STOP;  // load: the cassette is going in or out
    return std::nullopt;
}

AvcTransport::AvcTransport(IDvLink& link) : link_(link), worker_([this](std::stop_token stop) { Run(stop); }) {}

AvcTransport::~AvcTransport() {
    worker_.request_stop();
    wake_.notify_all();
}

bool AvcTransport::CameraMode() const {
    std::scoped_lock lock(mutex_);
    return cameraSubunit_ || recording_;
}

AvcReply AvcTransport::Ask(std::uint32_t command) {
    const auto job = Submit(command, false);
    return job && job->done ? job->reply : AvcReply{};
}

// Queues the command and waits for it at most kAnswerTime; null when the
// queue is full.
std::shared_ptr<AvcTransport::Job> AvcTransport::Submit(std::uint32_t command, bool transport) {
    auto job = std::make_shared<Job>();
    job->command = command;
    job->transport = transport;
    std::unique_lock lock(mutex_);
    // A device that answers nothing holds the worker; commands beyond a few
    // waiting ones are not queued up behind it.
    if (jobs_.size() >= kMaxWaitingJobs) return nullptr;
    jobs_.push_back(job);
    wake_.notify_all();
    answered_.wait_for(lock, kAnswerTime, [&] { return job->done; });
    return job;
}

HRESULT AvcTransport::SetMode(LONG mode) {
    const auto command = CommandOfMode(mode);
    if (!command) return E_INVALIDARG;
    if (CameraMode()) return E_ACCESSDENIED;
    const auto job = Submit(*command, true);
    if (!job || !job->done) return VFW_E_TIMEOUT;
    if (job->refused) return E_ACCESSDENIED;
    switch (job->reply.Code()) {
        case kAccepted:
            if (mode != ED_MODE_STEP_FWD && mode != ED_MODE_STEP_REV) {
                std::scoped_lock lock(mutex_);
                mode_ = mode;  // until the next poll says otherwise
            }
            return S_OK;
        case kRejected: return VFW_E_WRONG_STATE;
        case kNotImplemented: return E_NOTIMPL;
        case -1: return VFW_E_TIMEOUT;
        default: return E_FAIL;
    }
}

HRESULT AvcTransport::GetMode(LONG* mode) const {
    if (!mode) return E_POINTER;
    std::scoped_lock lock(mutex_);
    if (!mode_) return E_FAIL;
    *mode = *mode_;
    return S_OK;
}

void AvcTransport::Run(std::stop_token stop) {
    const bool camera = link_.HasCameraSubunit();
    auto nextPoll = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    cameraSubunit_ = camera;
    while (!stop.stop_requested()) {
        wake_.wait_until(lock, stop, nextPoll, [this] { return !jobs_.empty(); });
        if (stop.stop_requested()) break;
        if (!jobs_.empty()) {
            const std::shared_ptr<Job> job = jobs_.front();
            // Checked here, where the camera subunit is known and the last
            // state was read: an AV/C play may record over the tape.
            const bool refuse = job->transport && (cameraSubunit_ || recording_);
            lock.unlock();
            const AvcReply reply = refuse ? AvcReply{} : link_.Avc(job->command, kCommandTimeout);
            lock.lock();
            jobs_.pop_front();
            job->refused = refuse;
            job->reply = reply;
            job->done = true;
            answered_.notify_all();
            continue;
        }
        lock.unlock();
        Poll();
        lock.lock();
        nextPoll = std::chrono::steady_clock::now() + kPollInterval;
    }
    // Callers still waiting get their deadline's answer.
    jobs_.clear();
}

std::optional<std::uint32_t> AvcTransport::TapeTimecode() const {
    std::scoped_lock lock(mutex_);
    return timecode_;
}

void AvcTransport::Poll() {
    const AvcReply reply = link_.Avc(kTransportState, kCommandTimeout);
    // Winding shows no frames: the deck's own reading is then the only time code.
    const std::optional<std::uint32_t> timecode = link_.TapeTimecode();
    std::scoped_lock lock(mutex_);
    timecode_ = timecode;
    if (reply.Code() != kStable) {
        // No answer, or a deck in local mode: the mode is unknown, never guessed.
        if (reply.Code() == -1) mode_.reset();
        return;
    }
    recording_ = Recording(*reply.quadlet);
    mode_ = ModeOfState(*reply.quadlet);
}
