#pragma once
// AviReader: reads DV AVI files of type 1 and type 2, ours or other programs',
// OpenDML or not. Opening walks the chunk headers of every RIFF (seeking over
// the data), which also finds the frames of a file cut off by a crash,
// whatever its indexes say; the last frame read is the last one whole on disk.
//
// Damaged input gets a clear HRESULT, never a crash: VFW_E_FILE_TOO_SHORT for
// a file too short for its headers, VFW_E_INVALID_FILE_FORMAT for anything
// that is not an AVI, VFW_E_UNSUPPORTED_STREAM for an AVI whose first stream
// is not DV video. Every size read from the file is checked against the file.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/com/hresult.h"
#include "platform/com/unique_fd.h"
#include "platform/media/filters/avi/avi_writer.h"

class AviReader {
public:
    HRESULT Open(const std::filesystem::path& path);
    // The same over a descriptor open for reading (the reader takes it).
    HRESULT Open(UniqueFd file);

    DvAviType Type() const { return type_; }
    const DvSystem& System() const { return *system_; }
    // The audio stream of a type-2 file; none for type 1 or a type 2 without one.
    const std::optional<WAVEFORMATEX>& Audio() const { return audio_; }
    // The stream format of a type-1 file (its AAUX and VAUX packs); zero when the file gives none.
    const DVINFO& DvInfo() const { return dvInfo_; }
    std::uint64_t FrameCount() const { return frames_.size(); }
    // The largest frame, and the most PCM stored with one frame, so a reader's buffers fit every frame.
    DWORD LargestFrame() const { return largestFrame_; }
    std::uint64_t LargestPcm() const { return largestPcm_; }

    // Frame `index` and, for type 2 with audio, the PCM stored with it.
    // E_INVALIDARG past the last frame; a read error of the system as its HRESULT.
    HRESULT ReadFrame(std::uint64_t index, std::vector<BYTE>& frame, std::vector<BYTE>* pcm = nullptr) const;
    // The PCM stored with frame `index` alone (empty without sound), for a reader that wants no picture.
    HRESULT ReadSound(std::uint64_t index, std::vector<BYTE>& pcm) const;

private:
    struct Extent {
        std::uint64_t offset;  // of the chunk's data
        DWORD size;
    };
    struct FrameEntry {
        Extent video;
        std::vector<Extent> audio;  // the audio chunks that follow it, before the next frame
    };

    HRESULT ReadAt(std::uint64_t offset, std::size_t size, std::vector<BYTE>& out) const;
    HRESULT ReadHeaders(std::uint64_t begin, std::uint64_t end);
    HRESULT ReadStreamList(std::uint64_t begin, std::uint64_t end, int stream);
    void ScanMovi(std::uint64_t begin, std::uint64_t end);

    UniqueFd file_;
    std::uint64_t fileSize_ = 0;
    DvAviType type_ = DvAviType::Type2;
    const DvSystem* system_ = &kDvSystem625;
    std::optional<WAVEFORMATEX> audio_;
    DVINFO dvInfo_{};
    int streams_ = 0;
    bool videoIsDv_ = false;
    std::vector<FrameEntry> frames_;
    DWORD largestFrame_ = 0;
    std::uint64_t largestPcm_ = 0;
};
