#pragma once
// CRendererPosition: a renderer's IMediaSeeking. Everything passes upstream
// as in CPosPassThru, except the current position: once the renderer has
// presented a sample (or holds one on screen while paused) the position is
// that sample's media time, in the caller's time format, so a player reads
// the frame it shows rather than where the last seek began.
#include <functional>
#include <optional>

#include "platform/media/base/pospassthru.h"

class CRendererPosition : public CPosPassThru {
public:
    // presented: the media time of the sample last presented, if any.
    CRendererPosition(IUnknown* outer, HRESULT* phr, IPin* pin,
                      std::function<std::optional<REFERENCE_TIME>()> presented);

    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;

private:
    // The presented position in the upstream time format; false when none is known.
    bool Presented(LONGLONG* current);

    const std::function<std::optional<REFERENCE_TIME>()> presented_;
};
