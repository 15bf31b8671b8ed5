#pragma once
// TapeTransport: the mechanics of a deck, without clocks or threads. The
// deck's player calls Advance once per tick of its pacer (one frame period
// of play, divided by the deck's speed factor) and gets the frame, if any,
// that goes out on that tick.
//
// The head position is kept in fifths of a frame, so that slow play (one
// fifth of play speed) moves it by one unit a tick, play by five and winding
// (twenty times play speed) by a hundred.
//
// A VCR plays its tape once: play, slow and fast forward stop at its end,
// rewind and slow reverse at its start. A camera delivers its live picture
// (the tape looped) on every tick whatever the mode; its modes are only
// remembered, since a camera has no tape to move.
//
// Not thread-safe: the deck guards it with its own lock.
#include <cstdint>
#include <optional>

#include "platform/com/hresult.h"

class TapeTransport {
public:
    static constexpr std::int64_t kUnitsPerFrame = 5;
    static constexpr std::int64_t kWindFramesPerTick = 20;

    TapeTransport(std::int64_t frameCount, bool camera);

    // IAMExtTransport::put_Mode: the ED_MODE_ values a DV deck takes. The
    // steps move the head one frame and leave the deck paused; they are
    // refused with VFW_E_WRONG_STATE unless the deck is paused. An unknown
    // mode is E_INVALIDARG.
    HRESULT SetMode(LONG mode);
    LONG Mode() const { return mode_; }

    // The frame under the head: the one shown last (a camera: the one coming next).
    std::int64_t HeadFrame() const;

    struct Tick {
        std::optional<std::int64_t> frame;  // the frame to deliver, if any
        std::int64_t missed = 0;            // frames that were due but are skipped (late ticks)
    };
    // Moves the tape by ticks (at least 1) ticks and says what to deliver:
    // the pacer passes more than one when it fell behind, and the frames of
    // the ticks in between count as missed.
    Tick Advance(std::int64_t ticks);

private:
    Tick MoveAndShow(std::int64_t units, std::int64_t ticks);
    Tick Wind(std::int64_t units);
    // The farthest head position: the last fifth of the last frame.
    std::int64_t LastUnit() const { return frameCount_ * kUnitsPerFrame - 1; }

    const std::int64_t frameCount_;
    const bool camera_;
    LONG mode_;
    std::int64_t head_ = 0;         // in units, 0 .. LastUnit()
    bool shownSinceMode_ = false;   // a frame has been shown since the last mode change
    std::int64_t liveNext_ = 0;     // camera: the next frame of the loop
};
