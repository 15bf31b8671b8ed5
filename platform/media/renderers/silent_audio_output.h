#pragma once
// SilentAudioOutput: an AudioOutput for a machine without a sound device. It
// plays nothing but consumes the bytes at the format's rate, a little ahead
// of time like a device buffer, so graphs run at the same pace as with sound
// (on CI, for example). A gap in the stream restarts its clock, as a device
// that ran dry would.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/media/renderers/audio_output.h"

class SilentAudioOutput : public AudioOutput {
public:
    explicit SilentAudioOutput(const WAVEFORMATEX& format);

    bool Write(const BYTE* data, std::size_t size) override;
    void Drain() override;
    void Abort() override;
    void SetVolume(double) override {}
    // Its clock stands still while paused.
    void SetPaused(bool paused) override;

private:
    using Clock = std::chrono::steady_clock;
    // lock_ held: when the first `bytes` bytes will have been played.
    Clock::time_point PlayedAt(double bytes) const;
    // lock_ held by lock: waits until the first `bytes` bytes have been played; false once aborted.
    bool WaitUntilPlayed(std::unique_lock<std::mutex>& lock, double bytes);

    const double bytesPerSecond_;
    const double bufferBytes_;  // how far writing may run ahead of playing
    std::mutex lock_;
    std::condition_variable aborted_;
    Clock::time_point start_;  // guarded by lock_: when byte 0 was (or would have been) played
    double written_ = 0;       // guarded by lock_
    bool started_ = false;     // guarded by lock_
    bool abort_ = false;       // guarded by lock_
    bool paused_ = false;      // guarded by lock_
    Clock::time_point pausedAt_;  // guarded by lock_
};
