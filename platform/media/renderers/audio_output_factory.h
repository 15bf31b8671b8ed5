#pragma once
// Chooses the sound renderer's output: the machine's default sound device
// when Qt finds one (which needs a Qt application object), otherwise the
// clocked silent output.
#include <memory>

#include "platform/media/renderers/audio_output.h"

std::shared_ptr<AudioOutput> MakeAudioOutput(const WAVEFORMATEX& format);
