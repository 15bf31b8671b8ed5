#include "platform/media/renderers/audio_output_factory.h"

#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>

#include "platform/media/renderers/qt_audio_output.h"
#include "platform/media/renderers/silent_audio_output.h"

AudioOutputFactory AudioOutputFactory::ForDefaultDevice() {
    AudioOutputFactory factory;
    const QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread())
        factory.device_ = QMediaDevices::defaultAudioOutput();
    return factory;
}

std::shared_ptr<AudioOutput> AudioOutputFactory::Make(const WAVEFORMATEX& format) const {
    if (!device_.isNull()) return std::make_shared<QtAudioOutput>(device_, format);
    return std::make_shared<SilentAudioOutput>(format);
}
