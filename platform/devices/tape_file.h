#pragma once
// TapeFile: the cassette in a virtual deck, a raw DV stream (what `ffmpeg -f dv`
// writes): whole frames back to back, 144000 bytes each for 625/50 and 120000
// for 525/60. The system is taken from the first frame's header block; a
// partial frame at the end (a recording cut short) is not part of the tape.
//
// Frames are read on demand, so a long tape costs no memory, and a file that
// shrinks while in use reads as a shorter tape instead of faulting.
#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/com/hresult.h"
#include "platform/com/unique_fd.h"

class TapeFile {
public:
    static constexpr std::uint32_t kFrameBytes625 = 144000;
    static constexpr std::uint32_t kFrameBytes525 = 120000;

    TapeFile() = default;
    TapeFile(TapeFile&&) noexcept = default;
    TapeFile& operator=(TapeFile&&) noexcept = default;

    // S_OK; STG_E_FILENOTFOUND for a missing or unreadable
    // file; VFW_E_FILE_TOO_SHORT when it holds less than one frame;
    // VFW_E_INVALID_FILE_FORMAT when its first frame is not a DV frame.
    HRESULT Open(const std::filesystem::path& path);

    bool IsOpen() const { return static_cast<bool>(fd_); }
    bool Is625() const { return is625_; }
    std::uint32_t FrameBytes() const { return is625_ ? kFrameBytes625 : kFrameBytes525; }
    std::int64_t FrameCount() const { return frameCount_; }

    // Reads frame index into out (FrameBytes() long). False when the frame
    // lies beyond the tape or can no longer be read in full.
    bool ReadFrame(std::int64_t index, std::span<std::uint8_t> out) const;

    // True when the block starts like a DV frame: a header DIF block followed
    // by the subcode and VAUX blocks of the first DIF sequence.
    static bool LooksLikeDvFrame(std::span<const std::uint8_t> frame);

private:
    UniqueFd fd_;
    bool is625_ = true;
    std::int64_t frameCount_ = 0;
};
