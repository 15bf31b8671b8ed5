#pragma once
// QtAudioOutput: an AudioOutput that plays through a QAudioSink on the
// machine's default sound device. The sink lives on a thread of its own with
// an event loop and pulls from a PcmBuffer, so the streaming thread only
// ever waits on the buffer and never on Qt.
#include <QAudioDevice>
#include <QObject>
#include <QThread>

#include <memory>

#include "platform/media/renderers/audio_output.h"

class PcmBuffer;
class QAudioSink;

class QtAudioOutput : public AudioOutput {
public:
    QtAudioOutput(const QAudioDevice& device, const WAVEFORMATEX& format);
    ~QtAudioOutput() override;

    bool Write(const BYTE* data, std::size_t size) override;
    void Drain() override;
    void Abort() override;
    void SetVolume(double linear) override;
    // The buffer stops feeding the sink and the sink suspends, so the device's own buffer stops too.
    void SetPaused(bool paused) override;

private:
    QThread thread_;
    std::unique_ptr<QObject> home_;  // lives on thread_; parent of the sink and the buffer
    PcmBuffer* buffer_ = nullptr;    // owned by home_; thread-safe
    QAudioSink* sink_ = nullptr;     // owned by home_; used on thread_ only
};
