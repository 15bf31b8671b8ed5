#pragma once
// DV AVI files for the source's tests, written by our AviWriter from the
// frames (and per-frame PCM) of a clip, with a camcorder's DVINFO for type 1.
#include <filesystem>
#include <vector>

#include "platform/media/filters/avi/avi_writer.h"

namespace kvtest {

// What a 625/50 camcorder announces: 48 kHz sound, 4:3 picture.
inline constexpr DVINFO kDvInfo625{0xD0E000D0, 0xFFA0CF03, 0xD0E001D0, 0xFFA0CF03, 0xFF20FFFF, 0xFFFD8003, {0, 0}};

// Type 2 gets a 48 kHz stereo sound stream from `pcm` unless it is empty.
void WriteDvAvi(const std::filesystem::path& path, DvAviType type, const std::vector<std::vector<BYTE>>& frames,
                const std::vector<std::vector<BYTE>>& pcm);

}  // namespace kvtest
