#include "platform/system/media_runtime.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

bool MediaRuntimeVersion(std::uint32_t* version, std::uint32_t* revision) {
    if (!avcodec_find_decoder(AV_CODEC_ID_DVVIDEO)) return false;
    const unsigned installed = avcodec_version();
    *version = (AV_VERSION_MAJOR(installed) << 16) | AV_VERSION_MINOR(installed);
    *revision = AV_VERSION_MICRO(installed);
    return true;
}
