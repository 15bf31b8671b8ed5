#pragma once
// DvClipSource: a source filter for graph tests that pushes the frames of a DV
// clip on pin "Video" (as interleaved DV for type 1, or as DV video) and, when
// given, each frame's PCM on pin "Audio", time-stamped one frame apart, then
// ends both streams.
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/source.h"
#include "platform/media/base/sourcestream.h"

namespace kvtest {

struct DvClipSourceConfig {
    std::vector<std::vector<BYTE>> frames;
    std::vector<std::vector<BYTE>> pcm;  // per frame; empty: no audio pin
    bool interleaved = false;            // MEDIATYPE_Interleaved (type 1) instead of MEDIATYPE_Video
    bool pal = true;
};

class DvClipSource : public CSource {
public:
    static ComPtr<DvClipSource> Create(const DvClipSourceConfig& config);
    IPin* Pin(int n) { return GetPin(n); }

private:
    DvClipSource(const DvClipSourceConfig& config, HRESULT* phr);
};

}  // namespace kvtest
