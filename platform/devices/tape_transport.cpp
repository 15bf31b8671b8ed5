#include "platform/devices/tape_transport.h"

#include <algorithm>

#include "platform/devices/edevdefs.h"

TapeTransport::TapeTransport(std::int64_t frameCount, bool camera)
    : frameCount_(std::max<std::int64_t>(frameCount, 1)), camera_(camera), mode_(ED_MODE_STOP) {}

std::int64_t TapeTransport::HeadFrame() const { return camera_ ? liveNext_ : head_ / kUnitsPerFrame; }

HRESULT TapeTransport::SetMode(LONG mode) {
    switch (mode) {
        case ED_MODE_PLAY:
        case ED_MODE_STOP:
        case ED_MODE_FREEZE:
        case ED_MODE_FF:
        case ED_MODE_REW:
        case ED_MODE_PLAY_SLOWEST_FWD:
        case ED_MODE_PLAY_SLOWEST_REV:
            if (mode != mode_) shownSinceMode_ = false;
            mode_ = mode;
            return S_OK;
        case ED_MODE_STEP_FWD:
        case ED_MODE_STEP_REV: {
            if (mode_ != ED_MODE_FREEZE) return VFW_E_WRONG_STATE;
            if (camera_) return S_OK;
            const std::int64_t step = mode == ED_MODE_STEP_FWD ? 1 : -1;
            const std::int64_t frame = std::clamp(head_ / kUnitsPerFrame + step, std::int64_t{0}, frameCount_ - 1);
            head_ = frame * kUnitsPerFrame;
            return S_OK;
        }
        default:
            return E_INVALIDARG;
    }
}

TapeTransport::Tick TapeTransport::Advance(std::int64_t ticks) {
    ticks = std::max<std::int64_t>(ticks, 1);
    if (camera_) {
        const std::int64_t frame = (liveNext_ + ticks - 1) % frameCount_;
        liveNext_ = (frame + 1) % frameCount_;
        return {frame, ticks - 1};
    }
    switch (mode_) {
        case ED_MODE_PLAY: return MoveAndShow(kUnitsPerFrame, ticks);
        case ED_MODE_PLAY_SLOWEST_FWD: return MoveAndShow(1, ticks);
        case ED_MODE_PLAY_SLOWEST_REV: return MoveAndShow(-1, ticks);
        case ED_MODE_FREEZE: return {HeadFrame(), ticks - 1};
        case ED_MODE_FF: return Wind(kWindFramesPerTick * kUnitsPerFrame * ticks);
        case ED_MODE_REW: return Wind(-kWindFramesPerTick * kUnitsPerFrame * ticks);
        default: return {};
    }
}

// Play and slow play: the head moves by units a tick and shows the frame it
// is over; the first tick after a mode change shows the frame under the head
// before moving. Leaving the tape stops the deck with the head on the last
// (or first) frame, which was shown on the tick before.
TapeTransport::Tick TapeTransport::MoveAndShow(std::int64_t units, std::int64_t ticks) {
    const std::int64_t moves = shownSinceMode_ ? ticks : ticks - 1;
    shownSinceMode_ = true;
    const std::int64_t target = head_ + units * moves;
    if (target < 0 || target > LastUnit()) {
        head_ = std::clamp(target, std::int64_t{0}, LastUnit());
        mode_ = ED_MODE_STOP;
        return {};
    }
    head_ = target;
    return {HeadFrame(), ticks - 1};
}

// Winding shows nothing and stops at either end of the tape.
TapeTransport::Tick TapeTransport::Wind(std::int64_t units) {
    head_ = std::clamp(head_ + units, std::int64_t{0}, LastUnit());
    if (head_ == 0 || head_ == LastUnit()) mode_ = ED_MODE_STOP;
    return {};
}
