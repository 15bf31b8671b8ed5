#pragma once
// A drawn slider: a 3-pixel sunken track and a 9-pixel thumb from the shared
// thumb image (189). A centred slider is bipolar: its position is a signed
// offset from the middle, and it springs back there when let go.
#include <QPoint>

#include <cstdint>

#include "korvanta/skin/skin_rect.h"
#include "korvanta/skin/skin_state.h"

class QPainter;
class SkinOwner;

class SkinSlider {
public:
    void SetOwner(SkinOwner* owner) { owner_ = owner; }
    // Lays the slider out in the rectangle and puts the thumb back at the
    // last value set, or in the middle for a centred slider.
    void SetRect(int left, int top, int right, int bottom);
    void SetCentred(bool centred);
    bool IsCentred() const { return centred_; }

    // Moves the thumb to value out of maximum along the track; ignored when
    // maximum is not positive. Values outside 0 to maximum stop at the ends.
    void SetValue(std::int64_t value, std::int64_t maximum, bool redraw);
    // The thumb's offset from the track's start (0 to Range()); for a
    // centred slider its signed offset from the middle, about -Range() to
    // Range() (one more on the right of an odd track).
    int Position() const;
    // The usable length: the track's length, or half of it when centred.
    int Range() const;

    // The mouse moved without a drag: the thumb is hot while the mouse is on
    // it. Nothing changes while the slider is disabled.
    void Hover(QPoint point, bool redraw);
    // A press (isPress) starts a drag when it lands in the thumb's strip; a
    // move continues a running drag. The thumb follows the mouse, clamped to
    // the track. Returns whether the slider took the event.
    bool Drag(QPoint point, bool isPress);
    // The owner ends a drag on release, after reading the position.
    void SetDragging(bool dragging) { dragging_ = dragging; }
    bool IsDragging() const { return dragging_; }
    // A centred slider being dragged returns to the middle.
    void SpringBack();

    // 0 normal, 1 hot (mouse on the thumb) or 3 disabled; others are ignored.
    void SetState(int state, bool redraw);
    int GetState() const { return state_; }

    void Draw(QPainter& dc) const;
    bool HitThumbRange(QPoint point) const { return thumbRange_.Contains(point); }
    bool HitOuter(QPoint point) const { return outer_.Contains(point); }
    const SkinRect& Outer() const { return outer_; }

private:
    void DrawTrack(QPainter& dc) const;
    void DrawCentreMark(QPainter& dc) const;
    void DrawThumb(QPainter& dc) const;

    // The track's length; 0 for a rectangle too small to hold one.
    int TrackLength() const;
    int MiddleOffset() const { return TrackLength() / 2; }
    // Moves the thumb centre to offset pixels from the track's start.
    void MoveThumb(int offset, bool redraw);
    void ChangeState(int state, bool redraw);
    void InvalidateThumb() const;

    SkinOwner* owner_ = nullptr;
    bool centred_ = false;
    int state_ = kStateNormal;
    bool dragging_ = false;
    SkinRect outer_;
    SkinRect track_;
    SkinRect thumb_;
    SkinRect thumbRange_;
    // The last SetValue, so that a new layout keeps the thumb's place.
    std::int64_t value_ = 0;
    std::int64_t maximum_ = 0;
};
