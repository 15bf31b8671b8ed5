#pragma once
// DvClipSource: a source filter that delivers the frames of a raw DV file as
// interleaved DV samples, one frame per sample, 40 ms apart, cycling through
// the file until it has delivered the number of samples asked for. Its one
// output pin is "Output".
#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/source.h"
#include "platform/media/base/sourcestream.h"

namespace kvtest {

class DvClipSource : public CSource {
public:
    static ComPtr<DvClipSource> Create(const std::filesystem::path& clip, LONG samples);

    IPin* OutputPin() { return GetPin(0); }

private:
    DvClipSource(std::vector<std::vector<std::uint8_t>> frames, LONG samples, HRESULT* phr);
};

}  // namespace kvtest
