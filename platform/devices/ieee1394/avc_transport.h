#pragma once
// AvcTransport: a camcorder's tape transport driven through AV/C, on a worker
// thread of its own. Every call answers within kAnswerTime, whatever the
// device does: it may answer nothing, reject a command (a step outside
// pause), not implement it, or keep answering INTERIM; the worker alone
// waits for the device.
//
// Between commands the worker asks for the transport state every
// kPollInterval, so that get_Mode follows buttons pressed on the camcorder.
// A camcorder in camera mode (a camera subunit, or the transport recording)
// refuses every transport command: an AV/C play there may record over the tape.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/com/hresult.h"
#include "platform/devices/ieee1394/fw_bus.h"

class AvcTransport {
public:
    static constexpr std::chrono::milliseconds kAnswerTime{1000};
    static constexpr std::chrono::milliseconds kCommandTimeout{400};
    static constexpr std::chrono::milliseconds kPollInterval{250};

    // The AV/C quadlets of the nine transport commands and of the status asked.
    static std::optional<std::uint32_t> CommandOfMode(LONG mode);
    static constexpr std::uint32_t kTransportState = 0x0120D07F;
    static constexpr std::uint32_t kOutputSignalMode = 0x012078FF;
    // The ED_MODE_ value of a transport-state answer; nothing for a state
    // that has none (no tape, unknown); record is reported by Recording.
    static std::optional<LONG> ModeOfState(std::uint32_t answer);
    static bool Recording(std::uint32_t answer) { return ((answer >> 8) & 0xFF) == 0xC2; }

    // link must outlive the transport. The worker first asks the device
    // for a camera subunit; no transport command goes out before.
    explicit AvcTransport(IDvLink& link);
    ~AvcTransport();
    AvcTransport(const AvcTransport&) = delete;
    AvcTransport& operator=(const AvcTransport&) = delete;

    // put_Mode: S_OK when the device accepted; VFW_E_WRONG_STATE when it
    // rejected; E_NOTIMPL when it does not implement it; VFW_E_TIMEOUT when
    // no answer came in time; E_ACCESSDENIED in camera mode; E_INVALIDARG
    // for a mode that is no transport command.
    HRESULT SetMode(LONG mode);
    // get_Mode: the last state polled (or commanded since); E_FAIL while unknown.
    HRESULT GetMode(LONG* mode) const;
    bool CameraMode() const;
    // The tape's time code as last polled; nothing when the deck gave none.
    std::optional<std::uint32_t> TapeTimecode() const;

    // Sends any command through the worker, with the same bounded wait.
    AvcReply Ask(std::uint32_t command);

private:
    struct Job {
        std::uint32_t command = 0;
        bool transport = false;  // refused, unsent, in camera mode
        bool done = false;
        bool refused = false;
        AvcReply reply;
    };
    std::shared_ptr<Job> Submit(std::uint32_t command, bool transport);
    void Run(std::stop_token stop);
    void Poll();

    IDvLink& link_;

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;       // a job for the worker
    std::condition_variable answered_;       // a job done, for its caller
    std::deque<std::shared_ptr<Job>> jobs_;  // guarded by mutex_
    std::optional<LONG> mode_;               // guarded by mutex_
    bool recording_ = false;                 // guarded by mutex_
    bool cameraSubunit_ = false;             // guarded by mutex_
    std::optional<std::uint32_t> timecode_;  // guarded by mutex_
    std::jthread worker_;                    // last: stopped first
};
