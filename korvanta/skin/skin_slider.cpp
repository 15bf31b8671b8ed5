#include "korvanta/skin/skin_slider.h"

#include <QPainter>

#include <algorithm>
#include <limits>

#include "korvanta/skin/skin_frames.h"
#include "korvanta/skin/skin_image.h"
#include "korvanta/skin/skin_owner.h"

namespace {

constexpr int kThumbImage = 189;
constexpr int kThumbSize = 9;
// Thumb cells of the thumb image: normal, hot, disabled.
constexpr int kThumbNormalCell = 0;
constexpr int kThumbHotCell = 1;
constexpr int kThumbDisabledCell = 2;

// value out of maximum as pixels of length, with value held to 0..maximum.
// The product may not fit 64 bits for very large maxima; those take the
// extended-precision path, whose rounding is far below a pixel.
int ScaleToLength(std::int64_t value, std::int64_t maximum, int length) {
    value = std::clamp<std::int64_t>(value, 0, maximum);
    if (length <= 0) return 0;
    if (value <= std::numeric_limits<std::int64_t>::max() / length) return static_cast<int>(value * length / maximum);
    return static_cast<int>(static_cast<long double>(value) * length / static_cast<long double>(maximum));
}

}  // namespace

void SkinSlider::SetRect(int left, int top, int right, int bottom) {
    outer_ = {left + 4, top, right - 4, bottom};
    const int mid = (outer_.top + outer_.bottom) / 2;
    track_ = {outer_.left + 4, mid - 1, outer_.right - 4, mid + 2};
    const int thumbTop = (track_.top + track_.bottom) / 2 - 5;
    thumbRange_ = {track_.left - 4, thumbTop, track_.right + 5, thumbTop + kThumbSize};
    if (centred_)
        MoveThumb(MiddleOffset(), false);
    else
        MoveThumb(maximum_ > 0 ? ScaleToLength(value_, maximum_, TrackLength()) : 0, false);
}

void SkinSlider::SetCentred(bool centred) {
    centred_ = centred;
    if (centred_) MoveThumb(MiddleOffset(), true);
}

void SkinSlider::SetValue(std::int64_t value, std::int64_t maximum, bool redraw) {
    if (maximum <= 0) return;
    value_ = value;
    maximum_ = maximum;
    MoveThumb(ScaleToLength(value, maximum, TrackLength()), redraw);
}

int SkinSlider::Position() const {
    const int offset = thumb_.left + 4 - track_.left;
    return centred_ ? offset - MiddleOffset() : offset;
}

int SkinSlider::Range() const { return centred_ ? TrackLength() / 2 : TrackLength(); }

int SkinSlider::TrackLength() const { return std::max(track_.right - track_.left, 0); }

void SkinSlider::Hover(QPoint point, bool redraw) {
    if (state_ == kStateDisabled) return;
    ChangeState(thumb_.Contains(point) ? kStateHot : kStateNormal, redraw);
}

bool SkinSlider::Drag(QPoint point, bool isPress) {
    if (state_ == kStateDisabled) return false;
    const bool inRange = thumbRange_.Contains(point);
    if (!inRange && !dragging_) return false;
    // A press starts a drag and moves continue it; a second press during a
    // drag, or a move without one, is not the slider's.
    if (isPress == dragging_) return false;
    dragging_ = true;
    if (inRange) ChangeState(kStateHot, true);
    MoveThumb(std::clamp(point.x() - thumbRange_.left - 4, 0, TrackLength()), true);
    return true;
}

void SkinSlider::SpringBack() {
    if (centred_ && dragging_) MoveThumb(MiddleOffset(), true);
}

void SkinSlider::SetState(int state, bool redraw) {
    if (state != kStateNormal && state != kStateHot && state != kStateDisabled) return;
    ChangeState(state, redraw);
}

void SkinSlider::ChangeState(int state, bool redraw) {
    if (state == state_) return;
    state_ = state;
    if (redraw) InvalidateThumb();
}

void SkinSlider::MoveThumb(int offset, bool redraw) {
    const SkinRect moved = {track_.left + offset - 4, thumbRange_.top, track_.left + offset + 5, thumbRange_.bottom};
    if (moved == thumb_) return;
    if (redraw) InvalidateThumb();
    thumb_ = moved;
    if (redraw) InvalidateThumb();
}

void SkinSlider::InvalidateThumb() const {
    if (owner_) owner_->InvalidateArea(thumb_);
}

void SkinSlider::Draw(QPainter& dc) const {
    DrawTrack(dc);
    if (centred_) DrawCentreMark(dc);
    DrawThumb(dc);
}

void SkinSlider::DrawTrack(QPainter& dc) const {
    Draw3dRect(dc, track_, skin_colours::kDarkEdge, skin_colours::kLightEdge);
}

void SkinSlider::DrawCentreMark(QPainter& dc) const {
    const int width = track_.right - track_.left;
    const int x = (track_.left + track_.right) / 2 - 1 + (width % 2 != 0 ? 1 : 0);
    const int y = (track_.top + track_.bottom) / 2 - 4;
    DrawFrameRect(dc, {x, y, x + 3, y + 7}, skin_colours::kCentreMark);
}

void SkinSlider::DrawThumb(QPainter& dc) const {
    const int cell = state_ == kStateHot        ? kThumbHotCell
                     : state_ == kStateDisabled ? kThumbDisabledCell
                                                : kThumbNormalCell;
    SharedSkinImage(kThumbImage).DrawCell(dc, thumb_.left, thumb_.top, cell);
}
