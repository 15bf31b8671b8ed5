#include "platform/media/renderers/qt_audio_output.h"

#include <QAudioFormat>
#include <QAudioSink>

#include "platform/media/renderers/pcm_buffer.h"

namespace {
// What the buffer between the streaming thread and the sink holds.
constexpr double kBufferSeconds = 0.2;

QAudioFormat SinkFormat(const WAVEFORMATEX& format) {
    QAudioFormat sinkFormat;
    sinkFormat.setSampleRate(static_cast<int>(format.nSamplesPerSec));
    sinkFormat.setChannelCount(format.nChannels);
    sinkFormat.setSampleFormat(format.wBitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return sinkFormat;
}
}  // namespace

QtAudioOutput::QtAudioOutput(const QAudioDevice& device, const WAVEFORMATEX& format)
    : home_(std::make_unique<QObject>()) {
    home_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        home_.get(),
        [&] {
            buffer_ = new PcmBuffer(format, static_cast<std::size_t>(format.nAvgBytesPerSec * kBufferSeconds),
                                    home_.get());
            buffer_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            sink_ = new QAudioSink(device, SinkFormat(format), home_.get());
            sink_->start(buffer_);
        },
        Qt::BlockingQueuedConnection);
}

QtAudioOutput::~QtAudioOutput() {
    buffer_->Abort();
    QMetaObject::invokeMethod(home_.get(), [this] { sink_->stop(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    home_.reset();  // its thread has finished, so it may go from here
}

bool QtAudioOutput::Write(const BYTE* data, std::size_t size) { return buffer_->Push(data, size); }

void QtAudioOutput::Drain() { buffer_->WaitUntilEmpty(); }

void QtAudioOutput::Abort() { buffer_->Abort(); }

void QtAudioOutput::SetVolume(double linear) { buffer_->SetVolume(linear); }

void QtAudioOutput::SetPaused(bool paused) {
    buffer_->SetPaused(paused);
    QMetaObject::invokeMethod(
        home_.get(),
        [this, paused] {
            if (paused) sink_->suspend();
            else sink_->resume();
        },
        Qt::QueuedConnection);
}
