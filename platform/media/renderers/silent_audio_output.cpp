#include "platform/media/renderers/silent_audio_output.h"

#include <algorithm>

namespace {
// A sound device holds about this much ahead of what is heard.
constexpr double kBufferSeconds = 0.2;
}  // namespace

SilentAudioOutput::SilentAudioOutput(const WAVEFORMATEX& format)
    : bytesPerSecond_(std::max<double>(format.nAvgBytesPerSec, 1)), bufferBytes_(bytesPerSecond_ * kBufferSeconds) {}

SilentAudioOutput::Clock::time_point SilentAudioOutput::PlayedAt(double bytes) const {
    return start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(bytes / bytesPerSecond_));
}

bool SilentAudioOutput::Write(const BYTE*, std::size_t size) {
    std::unique_lock lock(lock_);
    if (abort_) return false;
    const Clock::time_point now = Clock::now();
    // Never started, or ran dry: what is written now starts playing now.
    if (!started_ || PlayedAt(written_) < now) {
        start_ = now - std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(written_ / bytesPerSecond_));
        started_ = true;
    }
    if (!WaitUntilPlayed(lock, std::max(0.0, written_ - bufferBytes_))) return false;
    written_ += static_cast<double>(size);
    return true;
}

void SilentAudioOutput::Drain() {
    std::unique_lock lock(lock_);
    if (!started_) return;
    WaitUntilPlayed(lock, written_);
}

bool SilentAudioOutput::WaitUntilPlayed(std::unique_lock<std::mutex>& lock, double bytes) {
    for (;;) {
        if (abort_) return false;
        if (paused_) {
            aborted_.wait(lock);
            continue;
        }
        const Clock::time_point due = PlayedAt(bytes);
        if (Clock::now() >= due) return true;
        aborted_.wait_until(lock, due);
    }
}

void SilentAudioOutput::SetPaused(bool paused) {
    {
        std::scoped_lock lock(lock_);
        if (paused == paused_) return;
        paused_ = paused;
        const Clock::time_point now = Clock::now();
        // The time spent paused is not played: the clock resumes where it stood.
        if (paused) pausedAt_ = now;
        else start_ += now - pausedAt_;
    }
    aborted_.notify_all();
}

void SilentAudioOutput::Abort() {
    {
        std::scoped_lock lock(lock_);
        abort_ = true;
    }
    aborted_.notify_all();
}
