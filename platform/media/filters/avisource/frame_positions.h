#pragma once
// FramePositions: the span an AVI source plays, kept in frames and offered to
// IMediaSeeking in the two time formats the source knows: TIME_FORMAT_FRAME
// (frame numbers) and TIME_FORMAT_MEDIA_TIME (100 ns units).
//
// A stop given in frames is the last frame played, so a current position
// equal to the stop plays exactly that frame (how a player shows one frame
// while paused). A stop given in media time ends the span: the frames that
// begin before it play. At least the current frame always plays.
//
// Frame f begins at ceil(f * 10^7 * scale / rate) and the time t lies in frame
// floor(t * rate / (10^7 * scale)), so a frame number survives the trip
// through media time exactly, at 29.97 frames per second too.
#include <cstdint>

#include "platform/media/strmif.h"

class FramePositions {
public:
    // `rate` / `scale` frames per second.
    FramePositions(std::uint64_t frameCount, DWORD rate, DWORD scale);

    static bool IsSupported(const GUID& format);

    std::uint64_t FrameCount() const { return frameCount_; }
    std::uint64_t First() const { return first_; }
    // The last frame to play; never before First(). Meaningless for an empty file.
    std::uint64_t Last() const { return last_; }

    REFERENCE_TIME FrameStart(std::uint64_t frame) const;
    std::uint64_t FrameAt(REFERENCE_TIME time) const;

    // In `format` (one IsSupported accepts).
    LONGLONG Duration(const GUID& format) const;
    LONGLONG Current(const GUID& format) const;
    LONGLONG Stop(const GUID& format) const;
    HRESULT Convert(LONGLONG* target, const GUID& targetFormat, LONGLONG source, const GUID& sourceFormat) const;

    // IMediaSeeking::SetPositions in `format`: absolute, relative or (stop only)
    // incremental, clamped to the file; AM_SEEKING_ReturnTime writes the media
    // time reached back. E_INVALIDARG for an unknown positioning.
    HRESULT Set(const GUID& format, LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags);

private:
    std::uint64_t ToFrame(LONGLONG value, const GUID& format) const;
    std::uint64_t ToLastFrame(LONGLONG stop, const GUID& format) const;
    std::uint64_t ClampFrame(LONGLONG frame) const;

    std::uint64_t frameCount_;
    LONGLONG rate_;
    LONGLONG unitsPerScale_;  // 10^7 * scale: one second of 100 ns units, times the scale
    std::uint64_t first_ = 0;
    std::uint64_t last_;
};
