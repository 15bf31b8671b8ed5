#include "platform/media/filters/avisource/frame_positions.h"

#include <algorithm>

namespace {
constexpr LONGLONG kUnitsPerSecond = 10'000'000;
}

FramePositions::FramePositions(std::uint64_t frameCount, DWORD rate, DWORD scale)
    : frameCount_(frameCount),
      rate_(std::max<DWORD>(rate, 1)),
      unitsPerScale_(kUnitsPerSecond * std::max<DWORD>(scale, 1)),
      last_(frameCount == 0 ? 0 : frameCount - 1) {}

bool FramePositions::IsSupported(const GUID& format) {
    return format == TIME_FORMAT_FRAME || format == TIME_FORMAT_MEDIA_TIME;
}

REFERENCE_TIME FramePositions::FrameStart(std::uint64_t frame) const {
    return (LONGLONG(frame) * unitsPerScale_ + rate_ - 1) / rate_;
}

std::uint64_t FramePositions::FrameAt(REFERENCE_TIME time) const {
    return time <= 0 ? 0 : std::uint64_t(time * rate_ / unitsPerScale_);
}

LONGLONG FramePositions::Duration(const GUID& format) const {
    return format == TIME_FORMAT_FRAME ? LONGLONG(frameCount_) : FrameStart(frameCount_);
}

LONGLONG FramePositions::Current(const GUID& format) const {
    return format == TIME_FORMAT_FRAME ? LONGLONG(first_) : FrameStart(first_);
}

LONGLONG FramePositions::Stop(const GUID& format) const {
    if (frameCount_ == 0) return 0;
    return format == TIME_FORMAT_FRAME ? LONGLONG(last_) : FrameStart(last_ + 1);
}

HRESULT FramePositions::Convert(LONGLONG* target, const GUID& targetFormat, LONGLONG source,
                                const GUID& sourceFormat) const {
    if (!target) return E_POINTER;
    if (!IsSupported(targetFormat) || !IsSupported(sourceFormat)) return E_INVALIDARG;
    if (targetFormat == sourceFormat) {
        *target = source;
    } else if (targetFormat == TIME_FORMAT_FRAME) {
        *target = LONGLONG(FrameAt(source));
    } else {
        *target = FrameStart(std::uint64_t(std::max<LONGLONG>(source, 0)));
    }
    return S_OK;
}

std::uint64_t FramePositions::ClampFrame(LONGLONG frame) const {
    if (frameCount_ == 0 || frame <= 0) return 0;
    return std::min(std::uint64_t(frame), frameCount_ - 1);
}

std::uint64_t FramePositions::ToFrame(LONGLONG value, const GUID& format) const {
    return ClampFrame(format == TIME_FORMAT_FRAME ? value : LONGLONG(FrameAt(value)));
}

std::uint64_t FramePositions::ToLastFrame(LONGLONG stop, const GUID& format) const {
    if (format == TIME_FORMAT_FRAME) return ClampFrame(stop);
    // The frames that begin before the stop: frame f does when FrameStart(f) <= stop - 1.
    return ClampFrame(stop <= 0 ? 0 : LONGLONG(FrameAt(stop - 1)));
}

HRESULT FramePositions::Set(const GUID& format, LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                            DWORD stopFlags) {
    if (!IsSupported(format)) return E_INVALIDARG;
    const DWORD currentHow = currentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopHow = stopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentHow != AM_SEEKING_NoPositioning && !current) || (stopHow != AM_SEEKING_NoPositioning && !stop))
        return E_POINTER;
    if (currentHow == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;

    std::uint64_t first = first_;
    if (currentHow == AM_SEEKING_AbsolutePositioning) first = ToFrame(*current, format);
    if (currentHow == AM_SEEKING_RelativePositioning) first = ToFrame(Current(format) + *current, format);

    std::uint64_t last = last_;
    if (stopHow == AM_SEEKING_AbsolutePositioning) last = ToLastFrame(*stop, format);
    if (stopHow == AM_SEEKING_RelativePositioning) last = ToLastFrame(Stop(format) + *stop, format);
    if (stopHow == AM_SEEKING_IncrementalPositioning) {
        const LONGLONG newCurrent = format == TIME_FORMAT_FRAME ? LONGLONG(first) : FrameStart(first);
        last = ToLastFrame(newCurrent + *stop, format);
    }

    first_ = first;
    last_ = std::max(first, last);
    if ((currentFlags & AM_SEEKING_ReturnTime) && current) *current = FrameStart(first_);
    if ((stopFlags & AM_SEEKING_ReturnTime) && stop) *stop = Stop(TIME_FORMAT_MEDIA_TIME);
    return S_OK;
}
