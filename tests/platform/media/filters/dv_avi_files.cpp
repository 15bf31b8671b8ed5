#include "dv_avi_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>

namespace kvtest {

void WriteDvAvi(const std::filesystem::path& path, DvAviType type, const std::vector<std::vector<BYTE>>& frames,
                const std::vector<std::vector<BYTE>>& pcm) {
    DvAviFormat format;
    format.type = type;
    format.dvInfo = kDvInfo625;
    const bool withSound = type == DvAviType::Type2 && !pcm.empty();
    if (withSound) format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    AviWriter writer;
    ASSERT_EQ(writer.Open(UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)), format), S_OK);
    for (std::size_t i = 0; i < frames.size(); ++i)
        ASSERT_EQ(writer.WriteFrame(frames[i], withSound ? pcm[i] : std::vector<BYTE>{}), S_OK);
    ASSERT_EQ(writer.Close(), S_OK);
}

}  // namespace kvtest
