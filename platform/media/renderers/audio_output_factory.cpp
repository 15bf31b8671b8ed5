#include "platform/media/renderers/audio_output_factory.h"

#include <QCoreApplication>
#include <QMediaDevices>

#include "platform/media/renderers/qt_audio_output.h"
#include "platform/media/renderers/silent_audio_output.h"

std::shared_ptr<AudioOutput> MakeAudioOutput(const WAVEFORMATEX& format) {
    if (QCoreApplication::instance()) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull()) return std::make_shared<QtAudioOutput>(device, format);
    }
    return std::make_shared<SilentAudioOutput>(format);
}
