#include "platform/media/renderers/pcm_buffer.h"

#include <algorithm>
#include <cstring>

PcmBuffer::PcmBuffer(const WAVEFORMATEX& format, std::size_t capacity, QObject* parent)
    : QIODevice(parent), eightBit_(format.wBitsPerSample == 8), capacity_(std::max<std::size_t>(capacity, 1)) {}

bool PcmBuffer::Push(const BYTE* data, std::size_t size) {
    std::unique_lock lock(lock_);
    while (size > 0) {
        changed_.wait(lock, [this] { return abort_ || bytes_.size() < capacity_; });
        if (abort_) return false;
        const std::size_t part = std::min(size, capacity_ - bytes_.size());
        bytes_.insert(bytes_.end(), data, data + part);
        data += part;
        size -= part;
    }
    return true;
}

void PcmBuffer::WaitUntilEmpty() {
    std::unique_lock lock(lock_);
    changed_.wait(lock, [this] { return abort_ || bytes_.empty(); });
}

void PcmBuffer::Abort() {
    {
        std::scoped_lock lock(lock_);
        abort_ = true;
        bytes_.clear();
    }
    changed_.notify_all();
}

void PcmBuffer::SetVolume(double linear) {
    std::scoped_lock lock(lock_);
    volume_ = linear;
}

void PcmBuffer::SetPaused(bool paused) {
    std::scoped_lock lock(lock_);
    paused_ = paused;
}

qint64 PcmBuffer::bytesAvailable() const {
    std::scoped_lock lock(lock_);
    if (paused_) return QIODevice::bytesAvailable();
    return static_cast<qint64>(bytes_.size()) + QIODevice::bytesAvailable();
}

qint64 PcmBuffer::readData(char* data, qint64 maxSize) {
    double volume = 1.0;
    qint64 taken = 0;
    {
        std::scoped_lock lock(lock_);
        if (paused_) return 0;
        // Whole 16-bit samples only, so a sample is never split between reads.
        taken = std::min<qint64>(maxSize, static_cast<qint64>(bytes_.size())) & (eightBit_ ? ~qint64{0} : ~qint64{1});
        std::copy_n(bytes_.begin(), taken, data);
        bytes_.erase(bytes_.begin(), bytes_.begin() + taken);
        volume = volume_;
    }
    changed_.notify_all();
    ApplyVolume(data, taken, volume);
    return taken;
}

void PcmBuffer::ApplyVolume(char* data, qint64 size, double volume) const {
    if (volume >= 1.0) return;
    if (eightBit_) {
        // 8-bit PCM is unsigned around 128.
        for (qint64 i = 0; i < size; ++i) {
            const int centred = static_cast<unsigned char>(data[i]) - 128;
            data[i] = static_cast<char>(128 + static_cast<int>(centred * volume));
        }
        return;
    }
    for (qint64 i = 0; i + 1 < size; i += 2) {
        std::int16_t sample;
        std::memcpy(&sample, data + i, 2);
        sample = static_cast<std::int16_t>(sample * volume);
        std::memcpy(data + i, &sample, 2);
    }
}
