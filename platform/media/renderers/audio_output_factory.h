#pragma once
// Makes the sound renderer's outputs: for the machine's default sound device
// when Qt finds one, otherwise clocked silent outputs. The device is chosen
// when streaming starts, on the thread that starts it; outputs are made
// later, on the streaming thread, for whatever format then arrives.
#include <QAudioDevice>

#include <memory>

#include "platform/media/renderers/audio_output.h"

class AudioOutputFactory {
public:
    // Asks Qt only on the Qt application's own thread, where its device list
    // lives; on any other thread, or without a Qt application, the outputs
    // will be silent.
    static AudioOutputFactory ForDefaultDevice();

    std::shared_ptr<AudioOutput> Make(const WAVEFORMATEX& format) const;

private:
    QAudioDevice device_;  // null: silent outputs
};
