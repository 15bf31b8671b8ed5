#pragma once
// PcmBuffer: the bytes between the sound renderer's streaming thread and a
// QAudioSink that pulls them on its own thread. Push waits while the buffer
// is full; the sink's reads take what there is and never wait, applying the
// volume on the way out.
#include <QIODevice>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/media/formats.h"

class PcmBuffer : public QIODevice {
public:
    PcmBuffer(const WAVEFORMATEX& format, std::size_t capacity, QObject* parent);

    // Streaming thread: false once aborted.
    bool Push(const BYTE* data, std::size_t size);
    // Waits until the sink has taken every byte, or the buffer is aborted.
    void WaitUntilEmpty();
    void Abort();
    void SetVolume(double linear);
    // Paused, the sink reads nothing and the bytes stay.
    void SetPaused(bool paused);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    // Scales whole samples in place by volume.
    void ApplyVolume(char* data, qint64 size, double volume) const;

    const bool eightBit_;
    const std::size_t capacity_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::deque<char> bytes_;  // guarded by lock_
    double volume_ = 1.0;     // guarded by lock_
    bool abort_ = false;      // guarded by lock_
    bool paused_ = false;     // guarded by lock_
};
