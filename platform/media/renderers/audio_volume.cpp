#include "platform/media/renderers/audio_volume.h"

#include <cmath>

double LinearVolume(LONG volume) {
    if (volume <= kVolumeSilence) return 0.0;
    if (volume >= kVolumeFull) return 1.0;
    return std::pow(10.0, volume / 2000.0);
}
