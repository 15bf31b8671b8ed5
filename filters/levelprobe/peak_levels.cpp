#include "filters/levelprobe/peak_levels.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Only one sample frame in this many is examined: enough to follow a meter's
// peak on the live capture path at a sixteenth of the reads.
constexpr std::size_t kFrameStep = 16;

int Magnitude(const BYTE* sample, int bytesPerSample) {
    if (bytesPerSample == 1) return std::abs(int{sample[0]} - 128);
    const auto value = static_cast<std::int16_t>(sample[0] | (sample[1] << 8));
    return std::abs(int{value});
}

}  // namespace

PeakLevels MeasurePeakLevels(const BYTE* data, LONG length, PcmLayout layout) {
    const int bytes = layout.bytesPerSample;
    const int channels = layout.channels;
    if (!data || length <= 0 || (bytes != 1 && bytes != 2) || (channels != 1 && channels != 2)) return {};

    const auto frameBytes = static_cast<std::size_t>(bytes * channels);
    const auto end = static_cast<std::size_t>(length);
    int firstPeak = 0;
    int secondPeak = 0;
    // A trailing partial frame is left alone: its second channel (or the high
    // byte of its sample) would lie past the data.
    for (std::size_t offset = 0; offset + frameBytes <= end; offset += frameBytes * kFrameStep) {
        firstPeak = std::max(firstPeak, Magnitude(data + offset, bytes));
        if (channels == 2) secondPeak = std::max(secondPeak, Magnitude(data + offset + bytes, bytes));
    }

    const double fullScale = bytes == 1 ? 128.0 : 32768.0;
    const double first = firstPeak / fullScale;
    return {first, channels == 2 ? secondPeak / fullScale : first};
}
