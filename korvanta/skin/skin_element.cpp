#include "korvanta/skin/skin_element.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "korvanta/skin/skin_frames.h"
#include "korvanta/skin/skin_owner.h"

void SkinElement::Draw(QPainter& dc) const {
    DrawFrame(dc);
    DrawCaption(dc);
}

void SkinElement::DrawFrame(QPainter& dc) const {
    using namespace skin_colours;
    if (!frame_) {
        if (checked_) DrawFrameRect(dc, rect_, kCheckedFrame);
        return;
    }
    switch (state_) {
    case kStateHot:
        if (checked_)
            Draw3dRect(dc, rect_, kCheckedLightEdge, kCheckedDarkEdge);
        else
            Draw3dRect(dc, rect_, kLightEdge, kDarkEdge);
        break;
    case kStatePressed:
        Draw3dRect(dc, rect_.Offset(1, 1), kDarkEdge, kLightEdge);
        break;
    default:
        DrawFrameRect(dc, rect_, checked_ ? kCheckedFrame : kFlatFrame);
        break;
    }
}

void SkinElement::DrawCaption(QPainter& dc) const {
    if (caption_.empty()) return;
    const QPoint origin = textPosition_ + StateShift();
    const QRect area(origin, QPoint(rect_.right - 1, rect_.bottom - 1));
    if (area.isEmpty()) return;
    dc.save();
    dc.setFont(CaptionFont());
    dc.setBackgroundMode(Qt::TransparentMode);
    // A disabled element's caption is greyed with its image, so a command
    // that cannot be given now reads as such.
    if (state_ == kStateDisabled) dc.setPen(QColor(128, 128, 128));
    dc.drawText(area, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(caption_));
    dc.restore();
}

QFont SkinElement::CaptionFont() const { return owner_ ? owner_->OwnerFont() : QFont(); }

QPoint SkinElement::StateShift() const {
    if (!shift_) return {};
    if (state_ == kStateHot) return {-1, -1};
    if (state_ == kStatePressed) return {1, 1};
    return {};
}

bool SkinElement::HitTest(QPoint point) const { return rect_.Contains(point); }

void SkinElement::Layout() {
    // Measured in the font the caption is drawn in, so that a centred or
    // right-aligned caption really sits where its alignment says.
    const QSize size =
        caption_.empty() ? QSize() : QFontMetrics(CaptionFont()).size(0, QString::fromStdString(caption_));
    switch (textAlignH_) {
    case kAlignLeft: textPosition_.setX(rect_.left + margin_); break;
    case kAlignCentre: textPosition_.setX((rect_.left + rect_.right) / 2 - size.width() / 2); break;
    case kAlignRight: textPosition_.setX(rect_.right - margin_ - size.width()); break;
    default: break;
    }
    switch (textAlignV_) {
    case kAlignTop: textPosition_.setY(rect_.top + margin_); break;
    case kAlignCentre: textPosition_.setY((rect_.top + rect_.bottom) / 2 - size.height() / 2); break;
    case kAlignBottom: textPosition_.setY(rect_.bottom - margin_ - size.height()); break;
    default: break;
    }
}

void SkinElement::SetRect(const SkinRect& rect) {
    rect_ = rect;
    Layout();
}

void SkinElement::OffsetY(int dy) { SetRect(rect_.Offset(0, dy)); }

void SkinElement::SetCaption(std::string text, bool redraw) {
    caption_ = std::move(text);
    Layout();
    if (redraw) Invalidate();
}

void SkinElement::SetTextAlign(int horizontal, int vertical) {
    textAlignH_ = horizontal;
    textAlignV_ = vertical;
    Layout();
}

void SkinElement::SetMargin(int pixels) {
    margin_ = pixels;
    Layout();
}

void SkinElement::SetFrame(bool frame) { frame_ = frame; }

void SkinElement::SetShift(bool shift) { shift_ = shift; }

void SkinElement::SetOwner(SkinOwner* owner) {
    owner_ = owner;
    Layout();
}

void SkinElement::SetState(int state, bool redraw) {
    if (state < kStateNormal || state > kStateDisabled) return;
    ChangeState(state, redraw);
}

void SkinElement::ChangeState(int state, bool redraw) {
    if (state == state_) return;
    state_ = state;
    if (redraw) Invalidate();
}

void SkinElement::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Invalidate();
}

bool SkinElement::Track(bool buttonHeld, bool redraw) {
    if (!buttonHeld) {
        if (state_ == kStateHot || state_ == kStateDisabled) return false;
        ChangeState(kStateHot, redraw);
        return true;
    }
    // A held button presses a hot element, or one whose press began here and
    // that the mouse left and came back to; a press that began elsewhere
    // does not.
    if (state_ == kStateHot || (state_ == kStateNormal && armed_)) {
        armed_ = true;
        ChangeState(kStatePressed, redraw);
        return true;
    }
    return false;
}

void SkinElement::Leave(bool redraw) {
    if (state_ == kStateHot || state_ == kStatePressed) ChangeState(kStateNormal, redraw);
}

void SkinElement::Release(bool redraw) {
    armed_ = false;
    if (state_ != kStateDisabled) ChangeState(kStateNormal, redraw);
}

void SkinElement::Invalidate() const {
    // A pressed element draws its frame one pixel down and right.
    if (owner_) owner_->InvalidateArea({rect_.left, rect_.top, rect_.right + 1, rect_.bottom + 1});
}
