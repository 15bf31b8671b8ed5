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
    aborted_.wait_until(lock, PlayedAt(std::max(0.0, written_ - bufferBytes_)), [this] { return abort_; });
    if (abort_) return false;
    written_ += static_cast<double>(size);
    return true;
}

void SilentAudioOutput::Drain() {
    std::unique_lock lock(lock_);
    if (!started_) return;
    aborted_.wait_until(lock, PlayedAt(written_), [this] { return abort_; });
}

void SilentAudioOutput::Abort() {
    {
        std::scoped_lock lock(lock_);
        abort_ = true;
    }
    aborted_.notify_all();
}
